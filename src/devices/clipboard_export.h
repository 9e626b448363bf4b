#pragma once

#include <QByteArray>
#include <QImage>
#include <memory>

#include "render/page_pass.h"

class QMimeData;

namespace kavlo {

// The image beside the vector picture, for programs that paste only images.
constexpr int kClipboardImageDpi = 300;

// The vector picture of `window` rasterised at `dpi`, white behind: extent / 1440 inches each
// way.
QImage rasterisePicture(const QByteArray& svg, const TwipsWindow& window, int dpi);

// What the clipboard holds for a vector picture of `window`: the SVG as image/svg+xml and the
// same region at kClipboardImageDpi as image/png, made when first asked for.
std::unique_ptr<QMimeData> pictureMimeData(const QByteArray& svg, const TwipsWindow& window);

}  // namespace kavlo
