#pragma once

#include <QByteArray>
#include <QImage>

namespace kavlo {

// The image as PNG bytes with its resolution, for files and the clipboard; empty on failure.
// An image of at most 256 colours is stored as packed palette indexes, others as Sub-filtered
// rows, lightly deflated: a page is mostly runs of one colour, which this shrinks well at a
// fraction of the cost of trying every filter on every row.
QByteArray encodePng(const QImage& image);

}  // namespace kavlo
