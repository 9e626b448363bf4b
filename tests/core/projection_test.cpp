#include "core/projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "core/graph_state.h"

namespace kavlo {
namespace {

// The frame of the worked example: a 100 x 80 floor at 30 degrees, 60 mm high.
GraphState exampleFrame(float fxd = 30, float fyd = 30) {
    GraphState g;
    g.XWD = 100;
    g.YWD = 80;
    g.ZWD = 60;
    g.FXD = fxd;
    g.FYD = fyd;
    g.XSF = 10;
    g.YSP = 5;
    g.NX = 5;
    g.NY = 4;
    g.LDR = 1;
    return g;
}

GraphState placedFrame(float fxd = 30, float fyd = 30, int slot = 1) {
    GraphState g = exampleFrame(fxd, fyd);
    applyTurnAndOrigin(g, slot, 25, 10);
    Axs(g);
    return g;
}

double exactSin(double degrees) {
    return std::sin(degrees * std::numbers::pi / 180);
}
double exactCos(double degrees) {
    return std::cos(degrees * std::numbers::pi / 180);
}

TEST(ProjectionTest, CornersOfWorkedExample) {
    const GraphState g = placedFrame();
    EXPECT_FLOAT_EQ(g.TopX, 35);
    EXPECT_FLOAT_EQ(g.TopY, 15);
    EXPECT_FLOAT_EQ(g.OrgX, 35);
    EXPECT_FLOAT_EQ(g.OrgY, 75);
    EXPECT_NEAR(g.XEndX, 35 + 100 * exactCos(30), 1e-3);
    EXPECT_NEAR(g.XEndY, 125, 1e-3);
    EXPECT_NEAR(g.YEndX, g.XEndX + 80 * exactCos(30), 1e-3);
    EXPECT_NEAR(g.YEndY, 85, 1e-3);
    // The y-end edge top stays below the origin edge top.
    EXPECT_GT(g.YEndY - g.ZWD, g.TopY);

    // The angles go through the single-precision factor 0.0174532, not pi/180: at 100 mm the
    // difference (about 2.4e-4 mm) is far above float resolution.
    const double sin30 = std::sin(static_cast<double>(30.0f * 0.0174532f));
    EXPECT_NEAR(g.XEndY, 75 + 100 * sin30, 2e-5);
    EXPECT_GT(std::abs(g.XEndY - (75 + 100 * exactSin(30))), 1e-4);
}

TEST(ProjectionTest, SteepYEdgeLowersTheOrigin) {
    const GraphState g = placedFrame(30, 60);
    EXPECT_NEAR(g.TopY, 15 + 80 * exactSin(60) - 50, 1e-3);
    EXPECT_NEAR(g.OrgY, g.TopY + 60, 1e-4);
    EXPECT_NEAR(g.YEndY - g.ZWD, 15, 1e-4);
}

TEST(ProjectionTest, FlatAnglesCollapseFloorToALine) {
    const GraphState g = placedFrame(0, 0);
    EXPECT_FLOAT_EQ(g.TopY, 15);
    EXPECT_FLOAT_EQ(g.OrgY, 75);
    EXPECT_FLOAT_EQ(g.XEndY, 75);
    EXPECT_FLOAT_EQ(g.YEndY, 75);
    EXPECT_FLOAT_EQ(g.XEndX, 135);
    EXPECT_FLOAT_EQ(g.YEndX, 215);
    const PagePoint p = gridPagePoint(g, 2, 1.5f, 1, 3);
    EXPECT_FLOAT_EQ(p.x, 35 + 50 + 40);
    EXPECT_FLOAT_EQ(p.y, 72);
}

TEST(ProjectionTest, TurnStepsOfTheSlotTurnTheFrame) {
    GraphState g = exampleFrame();
    g.TurnSteps[2] = 2;
    g.TurnSteps[3] = -7;
    applyTurnAndOrigin(g, 2, 25, 10);
    Axs(g);
    EXPECT_FLOAT_EQ(g.FXD, 40);
    EXPECT_FLOAT_EQ(g.FYD, 20);
    EXPECT_FLOAT_EQ(g.TopY, 15);
    EXPECT_NEAR(g.XEndY, 75 + 100 * exactSin(40), 1e-3);
    EXPECT_NEAR(g.YEndX, g.XEndX + 80 * exactCos(20), 1e-3);

    // Turning the other way makes the y edge the higher one.
    GraphState back = exampleFrame();
    back.TurnSteps[1] = -2;
    applyTurnAndOrigin(back, 1, 25, 10);
    EXPECT_FLOAT_EQ(back.FXD, 20);
    EXPECT_FLOAT_EQ(back.FYD, 40);
    EXPECT_NEAR(back.TopY, 15 + 80 * exactSin(40) - 100 * exactSin(20), 1e-3);

    // Turned angles are not limited to 0..90 again.
    GraphState far = exampleFrame(85, 5);
    far.TurnSteps[4] = 2;
    applyTurnAndOrigin(far, 4, 0, 0);
    EXPECT_FLOAT_EQ(far.FXD, 95);
    EXPECT_FLOAT_EQ(far.FYD, -5);
}

TEST(ProjectionTest, ZScaleFromRangeAndZoom) {
    struct Case {
        const char* name;
        float zmn, zmx, dataMin, dataMax;
        double zoom;
        float expectZmn, expectZmx;
    };
    const Case cases[] = {
        {"user range, no zoom", 0, 10, -1, 1, 0, 0, 10},
        {"two zoom steps double the top", 0, 10, -1, 1, 2, 0, 20.000001f},
        {"one zoom step", 2, 10, -1, 1, 1, 2, 14.142136f},
        {"equal limits take the data range", 4, 4, -2, 3, 0, -2, 3},
        {"data range, then zoomed", 0, 0, -2, 3, -2, -2, 1.5f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GraphState g = exampleFrame();
        g.ZMN = c.zmn;
        g.ZMX = c.zmx;
        g.DataZMin = c.dataMin;
        g.DataZMax = c.dataMax;
        g.ZoomSteps[3] = c.zoom;
        g.ZoomSteps[1] = 5;  // another slot's zoom must not apply
        const auto zscl = settleZScale(g, 3);
        ASSERT_TRUE(zscl.has_value());
        EXPECT_FLOAT_EQ(g.ZMN, c.expectZmn);
        EXPECT_NEAR(g.ZMX, c.expectZmx, 2e-6 * std::abs(c.expectZmx));
        EXPECT_FLOAT_EQ(*zscl, g.ZWD / (g.ZMX - g.ZMN));
    }
}

TEST(ProjectionTest, NoZScaleWhenRangeVanishes) {
    struct Case {
        const char* name;
        float zmn, zmx, dataMin, dataMax;
        double zoom;
    };
    const Case cases[] = {
        {"zoomed top below the bottom", 5, 10, 0, 1, -4},
        {"flat data", 3, 3, 7, 7, 0},
        {"top zoomed onto zero bottom", 0, 0, 0, 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GraphState g = exampleFrame();
        g.ZMN = c.zmn;
        g.ZMX = c.zmx;
        g.DataZMin = c.dataMin;
        g.DataZMax = c.dataMax;
        g.ZoomSteps[2] = c.zoom;
        EXPECT_FALSE(settleZScale(g, 2).has_value());
    }
}

TEST(ProjectionTest, HeightAboveFloorFollowsZDirection) {
    GraphState g = exampleFrame();
    g.ZMN = -2;
    g.ZMX = 3;
    const float zscl = g.ZWD / (g.ZMX - g.ZMN);
    for (const std::int16_t ldr : {std::int16_t{1}, std::int16_t{3}}) {
        g.LDR = ldr;
        EXPECT_FLOAT_EQ(heightAboveFloor(g, -2), 0);
        EXPECT_FLOAT_EQ(heightAboveFloor(g, 1), 3);
        EXPECT_FLOAT_EQ(zscl * heightAboveFloor(g, 3), g.ZWD);
    }
    // Reversed: the largest value lies on the floor, the smallest at the top of the frame.
    for (const std::int16_t ldr : {std::int16_t{-1}, std::int16_t{-3}}) {
        g.LDR = ldr;
        EXPECT_FLOAT_EQ(heightAboveFloor(g, 3), 0);
        EXPECT_FLOAT_EQ(heightAboveFloor(g, 1), 2);
        EXPECT_FLOAT_EQ(zscl * heightAboveFloor(g, -2), g.ZWD);
    }
}

TEST(ProjectionTest, GridPointsLandOnCornersLiftedByHeight) {
    const GraphState g = placedFrame();
    const float zscl = 3;
    const struct {
        float u, v, h;
        float x, y;
    } cases[] = {
        {0, 0, 0, g.OrgX, g.OrgY},
        {4, 0, 0, g.XEndX, g.XEndY},
        {4, 3, 0, g.YEndX, g.YEndY},
        {0, 0, 2, g.OrgX, g.OrgY - 6},
        {4, 0, 2, g.XEndX, g.XEndY - 6},
        {4, 3, 20, g.YEndX, g.YEndY - 60},
        {0, 3, 0, g.OrgX + g.YEndX - g.XEndX, g.OrgY + g.YEndY - g.XEndY},
        {2, 1.5f, 1, (g.OrgX + g.YEndX) / 2, (g.OrgY + g.YEndY) / 2 - 3},
        {0.5f, 0, 0, g.OrgX + (g.XEndX - g.OrgX) / 8, g.OrgY + (g.XEndY - g.OrgY) / 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "u " << c.u << ", v " << c.v << ", h " << c.h);
        const PagePoint p = gridPagePoint(g, c.u, c.v, c.h, zscl);
        EXPECT_NEAR(p.x, c.x, 1e-4);
        EXPECT_NEAR(p.y, c.y, 1e-4);
    }
}

TEST(ProjectionTest, DeviceRoundingHalvesToEvenAndClamps) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        double value;
        std::int32_t expected;
    } cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-0.5, 0},
        {-1.5, -2},
        {-2.6, -3},
        {2147483647.5, kMax},
        {1e12, kMax},
        {-1e12, kMin},
        {std::numeric_limits<double>::infinity(), kMax},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(deviceRound(c.value), c.expected) << "value " << c.value;
    }
}

TEST(ProjectionTest, ToDeviceScalesEachAxis) {
    EXPECT_EQ(toDevice({10.5f, 3.25f}, 2, 4), (DevicePoint{21, 13}));
    EXPECT_EQ(toDevice({-1.25f, 0}, 2, 2), (DevicePoint{-2, 0}));
    // Screen scale at 15 twips per pixel.
    const float px = 56.69291f / 15;
    EXPECT_EQ(toDevice({100, 279}, px, px), (DevicePoint{378, 1054}));
}

}  // namespace
}  // namespace kavlo
