#include "page_output.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

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

bool drawSvg(QIODevice& output, const DrawCallback& draw, QRect window) {
    QSvgGenerator generator;
    generator.setOutputDevice(&output);
    generator.setResolution(1440);
    generator.setSize(window.size());
    generator.setViewBox(QRect(QPoint(0, 0), window.size()));
    QPainter painter;
    if (!painter.begin(&generator)) {
        return false;
    }
    painter.translate(-window.left(), -window.top());
    PainterSurface surface(painter,
                           PainterOptions{true, kSvgMinimumStroke, kSeamWidthMm * kTwipsPerMm});
    draw(surface);
    return painter.end();
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
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !drawSvg(buffer, draw, windowTwips)) {
        return {};
    }
    return bytes;
}

bool writeSvgPicture(const QString& path, const DrawCallback& draw, QRect windowTwips) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !drawSvg(file, draw, windowTwips)) {
        return false;
    }
    return file.commit();
}

ScreenMeasure::ScreenMeasure()
    : image_(screenImage(16, 16)),
      painter_(&image_),
      surface_(painter_, PainterOptions{false, 1.0}) {}

}  // namespace kavlo
