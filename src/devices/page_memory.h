#pragma once

#include <QImage>

namespace kavlo {

// An image of `width` × `height` in `format` whose pixels live in memory mapped for it alone,
// in huge pages where the system allows: a page image of megabytes is then touched in a few
// faults rather than one per 4 KiB. Null when the memory cannot be had.
QImage imageOnMappedMemory(int width, int height, QImage::Format format);

}  // namespace kavlo
