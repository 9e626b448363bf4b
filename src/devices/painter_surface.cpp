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

}  // namespace

PainterSurface::PainterSurface(QPainter& painter, PainterOptions options)
    : painter_(painter), options_(options) {
    painter_.setRenderHint(QPainter::Antialiasing, options_.antialias);
}

// The painter's pen and brush change only when the drawing asks for other ones: a surface of
// many facets would spend most of its time setting them again.
void PainterSurface::usePen(double minimumWidth) {
    // Widths 0 and 1 both mean the thinnest line the device draws.
    const double width = std::max({1.0, static_cast<double>(pen().width), minimumWidth});
    if (appliedPen_ && appliedPen_->color == pen().color && appliedPen_->width == width) {
        return;
    }
    painter_.setPen(QPen(toQColor(pen().color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    appliedPen_ = AppliedPen{pen().color, width};
}

void PainterSurface::useBrush() {
    if (appliedBrush_ == brush().color) {
        return;
    }
    painter_.setBrush(toQColor(brush().color));
    appliedBrush_ = brush().color;
}

const QPolygon& PainterSurface::toPolygon(std::span<const DevicePoint> points) {
    polygon_.resize(static_cast<qsizetype>(points.size()));
    for (std::size_t k = 0; k < points.size(); ++k) {
        polygon_[static_cast<qsizetype>(k)] = QPoint(points[k].x, points[k].y);
    }
    return polygon_;
}

void PainterSurface::Polygon(std::span<const DevicePoint> points) {
    if (points.empty()) {
        return;
    }
    const bool seam = pen().color == brush().color;
    usePen(seam ? std::max(options_.minimumStrokeWidth, options_.minimumSeamWidth)
                : options_.minimumStrokeWidth);
    useBrush();
    painter_.drawPolygon(toPolygon(points));
}

void PainterSurface::Polyline(std::span<const DevicePoint> points) {
    if (points.size() < 2) {
        return;
    }
    usePen(options_.minimumStrokeWidth);
    painter_.drawPolyline(toPolygon(points));
}

void PainterSurface::MoveToEx(std::int32_t x, std::int32_t y) {
    current_ = QPointF(x, y);
}

void PainterSurface::LineTo(std::int32_t x, std::int32_t y) {
    const QPointF target(x, y);
    usePen(options_.minimumStrokeWidth);
    painter_.drawLine(current_, target);
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
