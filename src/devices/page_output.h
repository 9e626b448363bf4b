#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QRect>
#include <filesystem>
#include <functional>

#include "byte_sink.h"
#include "core/atomic_file.h"
#include "painter_surface.h"
#include "png_encoder.h"
#include "render/device_profile.h"
#include "render/page_pass.h"
#include "screen_measure.h"

namespace kavlo {

using DrawCallback = std::function<void(DrawSurface&)>;
// Draws page `page` (from 0) of a document of several.
using PageDrawCallback = std::function<void(int page, DrawSurface&)>;

// Thinnest vector stroke, twips: one-twip strokes all but vanish in viewers.
constexpr double kVectorMinimumStroke = 8.0;
// Shared edges of filled facets are covered this wide (mm) in vector output, which hides the
// seams viewers show between smoothed polygons at every usual zoom.
constexpr double kSeamWidthMm = 0.25;
// Strokes of the vector pictures, SVG and EMF alike, in twips.
constexpr StrokeOptions kVectorStrokes{true, kVectorMinimumStroke, kSeamWidthMm* kTwipsPerMm};

// A white image of the page's `window` (twips) at `dpi` dots per inch, extent / 1440 inches
// each way, painted by `paint` in the image's own pixels.
QImage pageImage(const TwipsWindow& window, int dpi, const std::function<void(QPainter&)>& paint);

// The page as the screen shows it, white, crisp lines: at 96 dots per inch one pixel per 15
// twips, at other resolutions the same page scaled.
QImage renderScreenPage(const DrawCallback& draw, int dpi = kScreenDpi);
// The resolution of the screen page on a screen of `devicePixelRatio` device pixels to a pixel:
// whole dots per inch, as `render --dpi` takes them.
int screenPageDpi(double devicePixelRatio);
// A white screen page at `dpi` dots per inch, ready for drawOnScreenPage; null when the memory
// cannot hold it.
QImage blankScreenPage(int dpi = kScreenDpi);
// Draws on `page`, a screen page at `dpi` dots per inch, to the same pixels renderScreenPage draws:
// text is measured with the extents kept in `extents`, which keeps the new ones, and the page is
// white outside `ink` (96-DPI pixels), which grows with the drawing.
void drawOnScreenPage(QImage& page, TextExtentCache& extents, QRect& ink, const DrawCallback& draw,
                      int dpi = kScreenDpi);
// The screen page as a PNG file.
WriteResult writePngImage(const std::filesystem::path& path, const QImage& image);

// The printer's strokes at the given resolution: seams of filled facets covered.
PainterOptions printerPainterOptions(int dpi);

// One PDF page in `layout` at `dpi` onto `device` through QPdfWriter, the painter's origin at
// the layout's margins: the page the PDF surface is measured against. False when it cannot be
// written.
bool paintPdfPage(QIODevice& device, const QPageLayout& layout, int dpi,
                  const std::function<void(QPainter&)>& paint);

// The page of PDF files: A4 without margins.
QPageLayout a4Layout();

// `pageCount` pages of PDF in `layout` at `dpi`, handed to `sink` as they are drawn, the
// surface's origin at the layout's margins: the printer's document, in a file or for CUPS. Each
// page's drawing is freed once the page is written. False when it cannot be finished.
bool drawPdfDocument(const QPageLayout& layout, int dpi, const ByteSink& sink, int pageCount,
                     const PageDrawCallback& draw);

// A4 pages of PDF at the given resolution, straight from the drawing.
WriteResult writePdfPages(const std::filesystem::path& path, int dpi, int pageCount,
                          const PageDrawCallback& draw);

// A vector picture of the part of the page in the window, drawn in twips with the window's
// top-left at the picture's origin. Empty on failure.
QByteArray renderSvgPicture(const DrawCallback& draw,
                            QRect windowTwips = QRect(0, 0, kPageWidthTwips, kPageHeightTwips));
WriteResult writeSvgPicture(const std::filesystem::path& path, const DrawCallback& draw,
                            QRect windowTwips = QRect(0, 0, kPageWidthTwips, kPageHeightTwips));

}  // namespace kavlo
