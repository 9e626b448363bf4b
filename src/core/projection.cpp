#include "projection.h"

#include <cmath>
#include <limits>

namespace kavlo {

double sinDeg(float degrees) {
    return std::sin(static_cast<double>(degrees * kRadPerDeg));
}
double cosDeg(float degrees) {
    return std::cos(static_cast<double>(degrees * kRadPerDeg));
}

FrameGeometry frameGeometry(const FormatSettings& settings, double turnSteps, float us, float vs) {
    FrameGeometry frame;
    frame.FXD = static_cast<float>(settings.FXD + 5.0 * turnSteps);
    frame.FYD = static_cast<float>(settings.FYD - 5.0 * turnSteps);
    FrameCorners& c = frame.corners;
    c.TopX = settings.XSF + us;
    const double xRise = settings.XWD * sinDeg(frame.FXD);
    const double yRise = settings.YWD * sinDeg(frame.FYD);
    const float rowTop = settings.YSP + vs;
    c.TopY = xRise > yRise ? rowTop : static_cast<float>(rowTop + yRise - xRise);
    c.OrgX = c.TopX;
    c.OrgY = c.TopY + settings.ZWD;
    c.XEndX = static_cast<float>(settings.XWD * cosDeg(frame.FXD) + c.OrgX);
    c.XEndY = static_cast<float>(settings.XWD * sinDeg(frame.FXD) + c.OrgY);
    c.YEndX = static_cast<float>(settings.YWD * cosDeg(frame.FYD) + c.XEndX);
    c.YEndY = static_cast<float>(c.XEndY - settings.YWD * sinDeg(frame.FYD));
    return frame;
}

void placeFrame(PlacedGraph& g, double turnSteps, float us, float vs) {
    const FrameGeometry frame = frameGeometry(g, turnSteps, us, vs);
    g.FXD = frame.FXD;
    g.FYD = frame.FYD;
    static_cast<FrameCorners&>(g) = frame.corners;
}

std::optional<float> settleZScale(PlacedGraph& g, double zoom) {
    if (g.ZMN == g.ZMX) {
        g.ZMN = g.DataZMin;
        g.ZMX = g.DataZMax;
    }
    g.ZMX = static_cast<float>(std::pow(kZoomBase, zoom) * g.ZMX);
    const float range = g.ZMX - g.ZMN;
    if (!(range > 0)) {
        return std::nullopt;
    }
    const float zscl = g.ZWD / range;
    if (!std::isfinite(zscl)) {
        return std::nullopt;
    }
    return zscl;
}

float heightAboveFloor(const PlacedGraph& g, float z) {
    return g.LDR > 0 ? z - g.ZMN : g.ZMX - z;
}

std::int32_t deviceRound(double value) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) {
        return 0;
    }
    // Points far off the page are clamped rather than wrapped round.
    if (value <= lo || value >= hi) {
        return static_cast<std::int32_t>(value <= lo ? lo : hi);
    }
    // Well inside 2^51, adding and taking away 1.5 * 2^52 rounds to the nearest whole number,
    // halves to even, as nearbyint does, without its call: a page rounds millions of points.
    constexpr double kRounder = 0x1.8p52;
    return static_cast<std::int32_t>((value + kRounder) - kRounder);
}

DevicePoint toDevice(PagePoint p, float unitsPerMmX, float unitsPerMmY) {
    return {deviceRound(p.x * unitsPerMmX), deviceRound(p.y * unitsPerMmY)};
}

}  // namespace kavlo
