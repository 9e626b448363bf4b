#pragma once

#include <QImage>

#include "font_surface.h"

namespace kavlo {

constexpr int kScreenDpi = 96;

// An image with the screen's resolution, so that fonts sized for it measure as on the screen.
QImage screenImage(int width, int height);

// Measures text with the screen's fonts and draws nothing: the screen measure of the printer
// and metafile passes, and the whole device of a pass that only reads the page's files.
class ScreenMeasure final : public FontSurface {
  public:
    ScreenMeasure();

    DrawSurface& surface() { return *this; }

    void polygon(std::span<const DevicePoint> /*points*/) override {}
    void polyline(std::span<const DevicePoint> /*points*/) override {}
    void moveTo(std::int32_t /*x*/, std::int32_t /*y*/) override {}
    void lineTo(std::int32_t /*x*/, std::int32_t /*y*/) override {}
    void setRasterOperation(int /*mode*/) override {}
    void drawText(std::int32_t /*x*/, std::int32_t /*y*/, const std::string& /*text*/) override {}
};

}  // namespace kavlo
