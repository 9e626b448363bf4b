#include "painter_surface.h"

#include <QPainter>
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "text_outline.h"

namespace kavlo {
namespace {

QColor toQColor(Rgb color) {
    return QColor(color.r, color.g, color.b);
}

}  // namespace

PainterSurface::PainterSurface(QPainter& painter, PainterOptions options)
    : PainterSurface(painter, options,
                     QSizeF(painter.device()->width(), painter.device()->height()),
                     painter.device()) {}

PainterSurface::PainterSurface(QPainter& painter, PainterOptions options, QSizeF page,
                               QPaintDevice* fonts)
    : FontSurface(fonts), painter_(painter), options_(options), page_(QPointF(), page) {
    painter_.setRenderHint(QPainter::Antialiasing, options_.antialias);
    // The painter spends thousands of instructions on each small facet and its outline, most
    // of a scaled page's time. The page at its own size keeps the painter's pixels.
    QPaintDevice* device = painter_.device();
    if (!options_.antialias && painter_.transform().type() == QTransform::TxScale &&
        device->devType() == QInternal::Image &&
        static_cast<QImage*>(device)->format() == QImage::Format_RGB32) {
        facets_.emplace(*static_cast<QImage*>(device));
        if (painter_.transform().m11() > 0 &&
            painter_.transform().m11() == painter_.transform().m22()) {
            outlines_.emplace(*static_cast<QImage*>(device));
        }
    }
}

// The painter's pen and brush change only when the drawing asks for other ones: a surface of
// many facets would spend most of its time setting them again.
void PainterSurface::usePen(bool seam) {
    const double width = strokeWidth(pen(), options_, seam);
    // A one-unit edge in the facet's own colour only closes seams: one device pixel does that
    // at any scale, without the stroker that would cost more than the fill.
    const AppliedPen wanted{pen().color, width, seam && width <= 1.0};
    if (appliedPen_ == wanted) {
        return;
    }
    QPen applied(toQColor(pen().color), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    applied.setCosmetic(wanted.cosmetic);
    painter_.setPen(applied);
    appliedPen_ = wanted;
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

QRect PainterSurface::reach(std::span<const DevicePoint> points) const {
    auto [left, right] = std::ranges::minmax(points, {}, &DevicePoint::x);
    auto [top, bottom] = std::ranges::minmax(points, {}, &DevicePoint::y);
    // Round caps and joins reach half the widest stroke out; a pixel more for the rounding.
    const int margin = static_cast<int>(std::ceil(strokeWidth(pen(), options_, true))) + 2;
    return QRect(QPoint(left.x, top.y), QPoint(right.x, bottom.y))
        .adjusted(-margin, -margin, margin, margin);
}

// Called only while the ink is tracked: the callers skip working out the box otherwise.
void PainterSurface::inked(const QRect& box) {
    *ink_ |= box;
}

const std::vector<QPointF>& PainterSurface::toImage(std::span<const DevicePoint> points) {
    const QTransform& scale = painter_.transform();
    mapped_.resize(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        mapped_[k] = scale.map(QPointF(points[k].x, points[k].y));
    }
    return mapped_;
}

void PainterSurface::polygon(std::span<const DevicePoint> points) {
    if (points.empty()) {
        return;
    }
    const bool seam = pen().color == brush().color;
    // The curtains that hide the lines behind a curve reach far below the graph, over white.
    if (ink_ && seam && brush().color == kWhite) {
        const QRect shown = reach(points) & *ink_;
        if (shown.isEmpty()) {
            return;
        }
        if (facets_) {
            // The pixels a whole draw fills, where they can differ from white.
            facets_->fill(toImage(points), qRgb(255, 255, 255),
                          painter_.transform().mapRect(QRectF(shown)).toAlignedRect());
            return;
        }
        usePen(seam);
        useBrush();
        painter_.setClipRect(shown);
        painter_.drawPolygon(toPolygon(points));
        painter_.setClipping(false);
        return;
    }
    if (ink_) {
        inked(reach(points));
    }
    const Rgb fill = brush().color;
    if (seam && facets_) {
        facets_->fill(toImage(points), qRgb(fill.r, fill.g, fill.b));
        return;
    }
    // Fewer points make a line or a dot, which the painter draws in its own way.
    const std::optional<double> width = imagePenWidth();
    if (width && points.size() >= 3) {
        facets_->fill(toImage(points), qRgb(fill.r, fill.g, fill.b));
        strokeInImage(true, *width);
        return;
    }
    usePen(seam);
    useBrush();
    painter_.drawPolygon(toPolygon(points));
}

// The pen's width in image pixels where it is stroked straight into the image. The painter
// draws a pen of a pixel or less as a thin line that never breaks, which a round stroke that
// narrow would.
std::optional<double> PainterSurface::imagePenWidth() const {
    if (!outlines_) {
        return std::nullopt;
    }
    const double width = strokeWidth(pen(), options_, false) * painter_.transform().m11();
    return width > 1 ? std::optional(width) : std::nullopt;
}

// The points last mapped to the image, in the pen's colour.
void PainterSurface::strokeInImage(bool closed, double width) {
    const Rgb ink = pen().color;
    outlines_->stroke(mapped_, closed, width, qRgb(ink.r, ink.g, ink.b));
}

void PainterSurface::polyline(std::span<const DevicePoint> points) {
    if (points.size() < 2) {
        return;
    }
    if (ink_) {
        inked(reach(points));
    }
    // Stream lines of a dense grid cost the painter as much as a mesh's outlines. Lines of one
    // point over and over are dots, which the painter draws its own way.
    const std::optional<double> width = imagePenWidth();
    if (width && std::ranges::adjacent_find(points, std::not_equal_to{}) != points.end()) {
        toImage(points);
        strokeInImage(false, *width);
        return;
    }
    usePen(false);
    painter_.drawPolyline(toPolygon(points));
}

void PainterSurface::moveTo(std::int32_t x, std::int32_t y) {
    current_ = QPointF(x, y);
}

void PainterSurface::lineTo(std::int32_t x, std::int32_t y) {
    const QPointF target(x, y);
    if (ink_) {
        const std::array<DevicePoint, 2> ends{
            {{static_cast<std::int32_t>(current_.x()), static_cast<std::int32_t>(current_.y())},
             {x, y}}};
        inked(reach(ends));
    }
    usePen(false);
    painter_.drawLine(current_, target);
    current_ = target;
}

// Copy-pen is the only raster mode the pages use, and it is the painter's normal composition.
void PainterSurface::setRasterOperation(int /*mode*/) {}

void PainterSurface::drawText(std::int32_t x, std::int32_t y, const std::string& text) {
    if (ink_) {
        // Turned any way about its point the text stays within its diagonal of it; the height
        // again for glyphs that reach past their cells.
        const TextExtent extent = textExtent(text);
        const int r = std::abs(extent.cx) + 2 * std::abs(extent.cy) + 4;
        inked(QRect(x - r, y - r, 2 * r + 1, 2 * r + 1));
    }
    const DeviceFont& current = deviceFont();
    if (drawsAsOutline(current, page_.size())) {
        QTransform placement;
        placement.translate(x, y);
        placement.rotate(-font().escapement / 10.0);
        fillTextOutline(painter_, placement, current, QString::fromUtf8(text), page_);
        return;
    }
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

}  // namespace kavlo
