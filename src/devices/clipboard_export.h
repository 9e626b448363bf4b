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

// What the clipboard holds for the request's selection (or the whole page): the SVG device's
// picture as image/svg+xml and the same region at kClipboardImageDpi as image/png, made when
// first asked for. The page's outcome goes to `outcome`.
std::unique_ptr<QMimeData> pagePictureMimeData(const PageRequest& request, PageOutcome& outcome);

}  // namespace kavlo
