#pragma once

#include <QPointF>
#include <QPolygon>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

#include "facet_fill.h"
#include "font_surface.h"
#include "round_stroke.h"
#include "stroke_style.h"

class QPainter;
class QPaintDevice;

namespace kavlo {

using PainterOptions = StrokeOptions;

// Draws the page operations on a QPainter, in the painter's device units, as the page routines
// expect of every device: solid round-capped pens, filled and outlined polygons, text on a
// transparent background turned about the top-left of its first cell.
class PainterSurface final : public FontSurface {
  public:
    PainterSurface(QPainter& painter, PainterOptions options);
    // Draws in units the painter's transform takes to its device: `page` is the page in those
    // units, and fonts are sized and measured for `fonts`.
    PainterSurface(QPainter& painter, PainterOptions options, QSizeF page, QPaintDevice* fonts);

    void polygon(std::span<const DevicePoint> points) override;
    void polyline(std::span<const DevicePoint> points) override;
    void moveTo(std::int32_t x, std::int32_t y) override;
    void lineTo(std::int32_t x, std::int32_t y) override;
    void setRasterOperation(int mode) override;

    void drawText(std::int32_t x, std::int32_t y, const std::string& text) override;

    // Measures text with the extents kept in `extents`, alive as long as the surface.
    using FontSurface::shareExtents;
    // On a page that was white outside `ink` (device units, alive as long as the surface):
    // white fills draw only inside it, for outside it they change no pixel, and every other
    // drawing widens it.
    void keepInk(QRect& ink) { ink_ = &ink; }

  private:
    // The box the points span with a pen's reach around it.
    QRect reach(std::span<const DevicePoint> points) const;
    // Adds the box to the ink, if it is kept.
    void inked(const QRect& box);
    void usePen(bool seam);
    void useBrush();
    const QPolygon& toPolygon(std::span<const DevicePoint> points);
    const std::vector<QPointF>& toImage(std::span<const DevicePoint> points);
    std::optional<double> imagePenWidth() const;
    void strokeInImage(bool closed, double width);

    struct AppliedPen {
        Rgb color;
        double width = 0;
        bool cosmetic = false;
        friend bool operator==(const AppliedPen&, const AppliedPen&) = default;
    };

    QPainter& painter_;
    PainterOptions options_;
    std::optional<AppliedPen> appliedPen_;
    std::optional<Rgb> appliedBrush_;
    QPolygon polygon_;
    // On a scaled crisp page, facets in their own colour are filled straight into the image.
    std::optional<FacetFill> facets_;
    // Where the scale is the same both ways, so a round pen stays round, outlines too.
    std::optional<RoundStroke> outlines_;
    std::vector<QPointF> mapped_;
    QPointF current_;
    // The device's page in its units: text larger than it is drawn as outlines clipped to it.
    QRectF page_;
    QRect* ink_ = nullptr;
};

}  // namespace kavlo
