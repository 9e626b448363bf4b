#include "screen_measure.h"

#include <cmath>

namespace kavlo {
namespace {

constexpr double kInchesPerMetre = 1.0 / 0.0254;

}  // namespace

QImage screenImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(kScreenDpi * kInchesPerMetre));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

ScreenMeasure::ScreenMeasure() : FontSurface(screenImage(16, 16)) {}

}  // namespace kavlo
