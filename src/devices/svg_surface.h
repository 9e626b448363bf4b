#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <string>

#include "font_mapping.h"
#include "render/object_surface.h"
#include "stroke_style.h"

namespace kavlo {

// Writes the page operations straight into an SVG picture in device units (twips), one element
// a call, the window's top-left at the picture's origin. Text is measured with the installed
// fonts at 1440 dots per inch and written with the family actually used.
class SvgSurface final : public ObjectSurface {
  public:
    SvgSurface(QRect window, StrokeOptions options);

    void Polygon(std::span<const DevicePoint> points) override;
    void Polyline(std::span<const DevicePoint> points) override;
    void MoveToEx(std::int32_t x, std::int32_t y) override;
    void LineTo(std::int32_t x, std::int32_t y) override;
    void SetROP2(int mode) override;
    void SetBkMode(int mode) override;
    void TextOutA(std::int32_t x, std::int32_t y, const std::string& text) override;
    TextExtent GetTextExtentPoint32A(const std::string& text) override;

    // The whole document; the surface takes no more drawing after it.
    QByteArray finish();

  private:
    void points(std::span<const DevicePoint> points);
    void stroke(bool seam);

    StrokeOptions options_;
    QImage metricsDevice_;
    CurrentFont currentFont_;
    std::string out_;
    DevicePoint current_;
};

}  // namespace kavlo
