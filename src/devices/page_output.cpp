#include "page_output.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>

#include "svg_surface.h"

namespace kavlo {

namespace {

constexpr int kScreenDpi = 96;
constexpr double kInchesPerMetre = 1.0 / 0.0254;

QImage screenImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(kScreenDpi * kInchesPerMetre));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

int screenPixels(int twips) {
    return static_cast<int>(std::nearbyint(static_cast<double>(twips) / kScreenTwipsPerPixel));
}

QByteArray drawSvg(const DrawCallback& draw, QRect window) {
    SvgSurface surface(window, StrokeOptions{true, kSvgMinimumStroke, kSeamWidthMm * kTwipsPerMm});
    draw(surface);
    return surface.finish();
}

}  // namespace

QImage renderScreenPage(const DrawCallback& draw) {
    QImage image = screenImage(screenPixels(kPageWidthTwips), screenPixels(kPageHeightTwips));
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterSurface surface(painter, PainterOptions{false, 1.0});
    draw(surface);
    return image;
}

bool writePdfPage(const QString& path, int dpi, const DrawCallback& draw) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(dpi);
        QPainter painter;
        if (!painter.begin(&writer)) {
            return false;
        }
        PainterSurface surface(painter, PainterOptions{true, 1.0, kSeamWidthMm * dpi / 25.4});
        draw(surface);
        if (!painter.end()) {
            return false;
        }
    }
    return file.commit();
}

QByteArray renderSvgPicture(const DrawCallback& draw, QRect windowTwips) {
    return drawSvg(draw, windowTwips);
}

bool writeSvgPicture(const QString& path, const DrawCallback& draw, QRect windowTwips) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray svg = drawSvg(draw, windowTwips);
    return file.write(svg) == svg.size() && file.commit();
}

ScreenMeasure::ScreenMeasure()
    : image_(screenImage(16, 16)),
      painter_(&image_),
      surface_(painter_, PainterOptions{false, 1.0}) {}

}  // namespace kavlo
