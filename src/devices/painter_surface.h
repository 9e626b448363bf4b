#pragma once

#include <QFontMetricsF>
#include <QPointF>
#include <QPolygon>
#include <optional>

#include "font_mapping.h"
#include "render/object_surface.h"

class QPainter;

namespace kavlo {

struct PainterOptions {
    bool antialias = false;
    // Thinnest stroke drawn, device units; vector viewers barely show very thin strokes.
    double minimumStrokeWidth = 1.0;
    // Thinnest edge of a polygon outlined in its own fill colour. Viewers smooth the edges of
    // adjacent polygons one by one, which lets the background shine through as hairline seams
    // unless the shared edges are covered generously.
    double minimumSeamWidth = 1.0;
};

// Draws the page operations on a QPainter, in the painter's device units, with the behaviour of
// the original device context: solid round-capped pens, filled and outlined polygons, text on a
// transparent background turned about the top-left of its first cell.
class PainterSurface final : public ObjectSurface {
  public:
    PainterSurface(QPainter& painter, PainterOptions options);

    void Polygon(std::span<const DevicePoint> points) override;
    void Polyline(std::span<const DevicePoint> points) override;
    void MoveToEx(std::int32_t x, std::int32_t y) override;
    void LineTo(std::int32_t x, std::int32_t y) override;
    void SetROP2(int mode) override;
    void SetBkMode(int mode) override;

    void TextOutA(std::int32_t x, std::int32_t y, const std::string& text) override;
    TextExtent GetTextExtentPoint32A(const std::string& text) override;

  private:
    void fontSelected() override;
    void usePen(double minimumWidth);
    void useBrush();
    const QPolygon& toPolygon(std::span<const DevicePoint> points);
    const DeviceFont& deviceFont();

    struct AppliedPen {
        Rgb color;
        double width = 0;
    };

    QPainter& painter_;
    PainterOptions options_;
    std::optional<AppliedPen> appliedPen_;
    std::optional<Rgb> appliedBrush_;
    QPolygon polygon_;
    QPointF current_;
    DeviceFont deviceFont_;
    // Made once per font: text is measured far more often than fonts change.
    std::optional<QFontMetricsF> metrics_;
    bool fontStale_ = true;
};

}  // namespace kavlo
