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

    void Polygon(std::span<const DevicePoint> /*points*/) override {}
    void Polyline(std::span<const DevicePoint> /*points*/) override {}
    void MoveToEx(std::int32_t /*x*/, std::int32_t /*y*/) override {}
    void LineTo(std::int32_t /*x*/, std::int32_t /*y*/) override {}
    void SetROP2(int /*mode*/) override {}
    void TextOutA(std::int32_t /*x*/, std::int32_t /*y*/, const std::string& /*text*/) override {}
};

}  // namespace kavlo
