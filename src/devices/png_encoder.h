#pragma once

#include <QByteArray>
#include <QImage>

namespace kavlo {

// The image as PNG bytes with its resolution, for files and the clipboard; empty on failure.
// Rows are Sub-filtered and lightly deflated: a page is mostly runs of one colour, which this
// shrinks well at a fraction of the cost of trying every filter on every row.
QByteArray encodePng(const QImage& image);

}  // namespace kavlo
