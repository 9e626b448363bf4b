#include "core/projection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <tuple>
#include <utility>

#include "core/placed_graph.h"

namespace kavlo {
namespace {

// The worked example: a 100 x 80 floor at 30 degrees, 60 mm high, turned by the slot's steps.
PlacedGraph frame(float fxd = 30, float fyd = 30, double steps = 0) {
    PlacedGraph g;
    std::tie(g.XWD, g.YWD, g.ZWD, g.FXD, g.FYD) = std::tuple(100.0f, 80.0f, 60.0f, fxd, fyd);
    std::tie(g.XSF, g.YSP, g.NX, g.NY) = std::tuple(10.0f, 5.0f, 5, 4);
    placeFrame(g, steps, 25, 10);
    return g;
}

TEST(ProjectionTest, FrameHangsFromItsHighestCorner) {
    const std::tuple<float, float, double, float, float, float> cases[] = {
        {30, 30, 0, 30, 30, 15}, {30, 60, 0, 30, 60, 34.28203f},   // 15 + 80 sin 60 - 100 sin 30
        {30, 30, 2, 40, 20, 15}, {30, 30, -2, 20, 40, 32.22100f},  // 15 + 80 sin 40 - 100 sin 20
        {85, 5, 2, 95, -5, 15},  // turned angles are not limited to 0..90 again
    };
    for (const auto& [fxd, fyd, steps, turnedFxd, turnedFyd, topY] : cases) {
        SCOPED_TRACE(testing::Message() << fxd << ", " << fyd << " turned " << steps);
        const PlacedGraph g = frame(fxd, fyd, steps);
        const double fx = turnedFxd * std::numbers::pi / 180;
        const double fy = turnedFyd * std::numbers::pi / 180;
        EXPECT_EQ(std::tuple(g.FXD, g.FYD, g.TopX), std::tuple(turnedFxd, turnedFyd, 35.0f));
        EXPECT_NEAR(g.TopY, topY, 1e-3);
        EXPECT_NEAR(std::min(g.TopY, g.YEndY - g.ZWD), 15, 1e-4);
        EXPECT_NEAR(g.OrgY, g.TopY + 60, 1e-4);
        EXPECT_NEAR(g.XEndX, 35 + 100 * std::cos(fx), 1e-3);
        EXPECT_NEAR(g.XEndY, g.OrgY + 100 * std::sin(fx), 1e-3);
        EXPECT_NEAR(g.YEndX, g.XEndX + 80 * std::cos(fy), 1e-3);
        EXPECT_NEAR(g.YEndY, g.XEndY - 80 * std::sin(fy), 1e-3);
    }
    // Angles go through the single-precision 0.0174532, not pi/180: at 100 mm the difference
    // (about 2.4e-4 mm) is far above float resolution.
    const float xEndY = frame().XEndY;
    EXPECT_NEAR(xEndY, 75 + 100 * std::sin(static_cast<double>(30.0f * 0.0174532f)), 2e-5);
    EXPECT_GT(std::abs(xEndY - (75 + 100 * std::sin(std::numbers::pi / 6))), 1e-4);
}

TEST(ProjectionTest, ZScaleFromRangeAndZoomSpansTheFrameHeight) {
    // NAN: no scale, the range vanishes.
    const std::tuple<float, float, float, float, double, float, float> cases[] = {
        {0, 10, -1, 1, 0, 0, 10},
        {0, 10, -1, 1, 2, 0, 20.000001f},  // two zoom steps double the top
        {4, 4, -2, 3, 0, -2, 3},           // equal limits take the data range
        {5, 10, 0, 1, -4, NAN, NAN},
        {3, 3, 7, 7, 0, NAN, NAN},
    };
    for (const auto& [zmn, zmx, dataMin, dataMax, zoom, settledZmn, settledZmx] : cases) {
        SCOPED_TRACE(testing::Message() << zmn << " to " << zmx << ", zoom " << zoom);
        PlacedGraph g = frame();
        std::tie(g.ZMN, g.ZMX, g.DataZMin, g.DataZMax) = std::tie(zmn, zmx, dataMin, dataMax);
        const auto zscl = settleZScale(g, zoom);
        ASSERT_EQ(zscl.has_value(), !std::isnan(settledZmx));
        if (zscl) {
            EXPECT_FLOAT_EQ(g.ZMN, settledZmn);
            EXPECT_NEAR(g.ZMX, settledZmx, 2e-6 * std::abs(settledZmx));
            EXPECT_FLOAT_EQ(*zscl, g.ZWD / (g.ZMX - g.ZMN));
            // Reversed, the largest value lies on the floor and the smallest at the frame top.
            for (const std::int16_t ldr : {1, 3, -1, -3}) {
                g.LDR = ldr;
                EXPECT_FLOAT_EQ(heightAboveFloor(g, ldr < 0 ? g.ZMX : g.ZMN), 0) << ldr;
                EXPECT_FLOAT_EQ(*zscl * heightAboveFloor(g, ldr < 0 ? g.ZMN : g.ZMX), g.ZWD) << ldr;
            }
        }
    }
}

TEST(ProjectionTest, DeviceRoundingHalvesToEvenAndClamps) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    // clang-format off
    const std::pair<double, std::int32_t> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.6, -3}, {NAN, 0}, {-0.0, 0},
        {INFINITY, kMax}, {-1e12, kMin}, {2147483647.5, kMax}, {2147483646.5, 2147483646},
        {-2147483647.5, kMin}, {-2147483646.5, -2147483646}, {0.49999999999999994, 0},
        {1e9 + 0.5, 1000000000}};
    // clang-format on
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(deviceRound(value), expected) << value;
    }
    // Screen scale at 15 twips per pixel.
    const float px = 56.69291f / 15;
    EXPECT_EQ(toDevice({100, 279}, px, px), (DevicePoint{378, 1054}));
    EXPECT_EQ(toDevice({10.5f, 3.25f}, 2, 4), (DevicePoint{21, 13}));
}

}  // namespace
}  // namespace kavlo
