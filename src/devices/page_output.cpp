#include "page_output.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "byte_sink.h"
#include "page_memory.h"
#include "pdf_surface.h"
#include "svg_surface.h"

namespace kavlo {

namespace {

constexpr double kTwipsPerInch = 1440;

int dotsFor(int twips, int dpi) {
    return std::max(1, static_cast<int>(std::lround(twips * dpi / kTwipsPerInch)));
}

// Draws an SVG picture, handing the document to `sink` as it grows.
bool drawSvg(const DrawCallback& draw, QRect window, ByteSink sink) {
    SvgSurface surface(window, kVectorStrokes, std::move(sink));
    draw(surface);
    return surface.finish();
}

}  // namespace

PainterOptions printerPainterOptions(int dpi) {
    return PainterOptions{true, 1.0, kSeamWidthMm * dpi / 25.4};
}

QImage pageImage(const TwipsWindow& window, int dpi, const std::function<void(QPainter&)>& paint) {
    QImage image = imageOnMappedMemory(dotsFor(window.width, dpi), dotsFor(window.height, dpi),
                                       QImage::Format_RGB32);
    if (image.isNull()) {
        return image;  // more than the memory holds
    }
    const auto dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter);
    return image;
}

namespace {

// Text is sized and measured as on the screen, whatever the image's resolution.
void paintScreenPage(QPainter& painter, int dpi, TextExtentCache* extents, QRect* ink,
                     const DrawCallback& draw) {
    if (dpi != kScreenDpi) {
        const double scale = static_cast<double>(dpi) / kScreenDpi;
        painter.scale(scale, scale);
    }
    QImage screen = screenImage(1, 1);
    PainterSurface surface(painter, PainterOptions{false, 1.0},
                           QSizeF(screenPixels(kPageWidthTwips), screenPixels(kPageHeightTwips)),
                           &screen);
    if (extents) {
        surface.shareExtents(*extents);
    }
    if (ink) {
        surface.keepInk(*ink);
    }
    draw(surface);
}

}  // namespace

QImage renderScreenPage(const DrawCallback& draw, int dpi) {
    return pageImage({0, 0, kPageWidthTwips, kPageHeightTwips}, dpi, [&](QPainter& painter) {
        paintScreenPage(painter, dpi, nullptr, nullptr, draw);
    });
}

int screenPageDpi(double devicePixelRatio) {
    return static_cast<int>(std::lround(kScreenDpi * devicePixelRatio));
}

QImage blankScreenPage(int dpi) {
    return pageImage({0, 0, kPageWidthTwips, kPageHeightTwips}, dpi, [](QPainter&) {});
}

void drawOnScreenPage(QImage& page, TextExtentCache& extents, QRect& ink, const DrawCallback& draw,
                      int dpi) {
    QPainter painter(&page);
    paintScreenPage(painter, dpi, &extents, &ink, draw);
}

WriteResult writePngImage(const std::filesystem::path& path, const QImage& image) {
    // Encoded in memory first: the PNG encoder leaks when its device fails mid-image, and a
    // page image compresses to little.
    const QByteArray bytes = encodePng(image);
    if (bytes.isEmpty()) {
        return {"ページの画像を PNG に変換できません。"};
    }
    return replaceFileAtomically(path, std::string_view(bytes.constData(), bytes.size()));
}

bool paintPdfPage(QIODevice& device, const QPageLayout& layout, int dpi,
                  const std::function<void(QPainter&)>& paint) {
    // Qt holds a page's whole content stream in memory and compresses it onto the device only
    // when the page ends; that much memory a big page costs whatever we do here.
    QPdfWriter writer(&device);
    writer.setPageLayout(layout);
    writer.setResolution(dpi);
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    // Text leaves what lies behind its character cells visible.
    painter.setBackgroundMode(Qt::TransparentMode);
    paint(painter);
    return painter.end();
}

QPageLayout a4Layout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

bool drawPdfDocument(const QPageLayout& layout, int dpi, const ByteSink& sink, int pageCount,
                     const PageDrawCallback& draw) {
    PdfDocument document(sink);
    for (int page = 0; page < pageCount; ++page) {
        PdfSurface surface(document, layout, dpi, printerPainterOptions(dpi));
        draw(page, surface);
        surface.finishPage();
    }
    return document.finish();
}

WriteResult writePdfPages(const std::filesystem::path& path, int dpi, int pageCount,
                          const PageDrawCallback& draw) {
    return writeStreamed(path, [&](const ByteSink& sink) {
        // A write that failed is told by the atomic writer.
        static_cast<void>(drawPdfDocument(a4Layout(), dpi, sink, pageCount, draw));
    });
}

QByteArray renderSvgPicture(const DrawCallback& draw, QRect windowTwips) {
    QByteArray svg;
    drawSvg(draw, windowTwips, appendingTo(svg));
    return svg;
}

WriteResult writeSvgPicture(const std::filesystem::path& path, const DrawCallback& draw,
                            QRect windowTwips) {
    return writeStreamed(path, [&](const ByteSink& sink) { drawSvg(draw, windowTwips, sink); });
}

}  // namespace kavlo
