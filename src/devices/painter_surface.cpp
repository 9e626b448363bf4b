#include "painter_surface.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygon>
#include <QString>
#include <algorithm>
#include <cmath>

namespace kavlo {

namespace {

QColor toQColor(Rgb color) {
    return QColor(color.r, color.g, color.b);
}

QPolygon toQPolygon(std::span<const DevicePoint> points) {
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const auto& point : points) {
        polygon.append(QPoint(point.x, point.y));
    }
    return polygon;
}

}  // namespace

PainterSurface::PainterSurface(QPainter& painter, PainterOptions options)
    : painter_(painter), options_(options) {}

void PainterSurface::applyPen(double minimumWidth) const {
    // Widths 0 and 1 both mean the thinnest line the device draws.
    const double width = std::max({1.0, static_cast<double>(pen().width), minimumWidth});
    QPen qpen(toQColor(pen().color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter_.setPen(qpen);
    painter_.setRenderHint(QPainter::Antialiasing, options_.antialias);
}

void PainterSurface::Polygon(std::span<const DevicePoint> points) {
    if (points.empty()) {
        return;
    }
    painter_.save();
    const bool seam = pen().color == brush().color;
    applyPen(seam ? std::max(options_.minimumStrokeWidth, options_.minimumSeamWidth)
                  : options_.minimumStrokeWidth);
    painter_.setBrush(toQColor(brush().color));
    painter_.drawPolygon(toQPolygon(points));
    painter_.restore();
}

void PainterSurface::Polyline(std::span<const DevicePoint> points) {
    if (points.size() < 2) {
        return;
    }
    painter_.save();
    applyPen(options_.minimumStrokeWidth);
    painter_.drawPolyline(toQPolygon(points));
    painter_.restore();
}

void PainterSurface::MoveToEx(std::int32_t x, std::int32_t y) {
    current_ = QPointF(x, y);
}

void PainterSurface::LineTo(std::int32_t x, std::int32_t y) {
    const QPointF target(x, y);
    painter_.save();
    applyPen(options_.minimumStrokeWidth);
    painter_.drawLine(current_, target);
    painter_.restore();
    current_ = target;
}

// Copy-pen is the only raster mode the pages use, and it is the painter's normal composition.
void PainterSurface::SetROP2(int /*mode*/) {}

// Text is always drawn without a background box, which is what the pages ask for.
void PainterSurface::SetBkMode(int /*mode*/) {}

void PainterSurface::fontSelected() {
    fontStale_ = true;
}

const DeviceFont& PainterSurface::deviceFont() {
    if (fontStale_) {
        deviceFont_ = makeDeviceFont(font(), painter_.device());
        metrics_.emplace(deviceFont_.font, painter_.device());
        fontStale_ = false;
    }
    return deviceFont_;
}

void PainterSurface::TextOutA(std::int32_t x, std::int32_t y, const std::string& text) {
    const DeviceFont& current = deviceFont();
    painter_.save();
    // Glyphs stay smoothed even where lines are crisp, as the system draws screen text.
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setFont(current.font);
    painter_.setPen(Qt::black);
    painter_.translate(x, y);
    painter_.rotate(-font().escapement / 10.0);
    painter_.scale(current.scaleX, 1.0);
    painter_.drawText(QPointF(0.0, current.ascent), QString::fromUtf8(text));
    painter_.restore();
}

TextExtent PainterSurface::GetTextExtentPoint32A(const std::string& text) {
    const DeviceFont& current = deviceFont();
    const double width = metrics_->horizontalAdvance(QString::fromUtf8(text)) * current.scaleX;
    return TextExtent{static_cast<std::int32_t>(std::nearbyint(width)),
                      static_cast<std::int32_t>(std::nearbyint(current.ascent + current.descent))};
}

}  // namespace kavlo
