#include <gtest/gtest.h>

#include "render/plot_dispatcher.h"
#include "render_rig.h"

namespace kavlo {
namespace {

using test::RenderRig;
using Points = std::vector<DevicePoint>;

// The curves (polylines) and curtains (polygons) drawn, in order, and the count of all ops.
struct Drawn {
    std::vector<Points> curves, curtains;
    std::size_t ops = 0;
};

Drawn drawStreamLines(std::int16_t ipl, std::int16_t ldr, float zmn = 0, double zoomSteps = 0) {
    RenderRig rig(test::scaledScreen(2));
    test::flatFrameWithGrid(rig.g, ipl, ldr);
    rig.g.ZMN = zmn;
    rig.plot(zoomSteps);
    EXPECT_EQ(rig.surface.liveObjects(), 0);
    return {rig.each("Polyline", &RecordedOp::points), rig.each("Polygon", &RecordedOp::points),
            rig.surface.ops().size()};
}

TEST(StreamLinesTest, LinesAlongXRunBackToFrontBetweenTheTwoEdgeLines) {
    const Drawn drawn = drawStreamLines(0, 1);
    // Heights 6 mm per z unit over the floor line y = 75 mm, 2 units per mm.
    const std::vector<Points> curves = {
        {{70, 150}, {230, 114}},              // the x-min edge, along y
        {{430, 90}, {330, 102}, {230, 114}},  // the back line (y max), from x max
        {{270, 126}, {170, 138}, {70, 150}},  // the front line (y min)
        {{270, 126}, {430, 90}},              // the x-max edge
    };
    EXPECT_EQ(drawn.curves, curves);
    // Each curtain runs down to 300 mm below the lowest floor corner at both ends.
    std::vector<Points> curtains = curves;
    for (Points& curtain : curtains) {
        curtain.insert(curtain.begin(), {curtain.front().x, 750});
        curtain.push_back({curtain.back().x, 750});
    }
    EXPECT_EQ(drawn.curtains, curtains);
}

TEST(StreamLinesTest, LinesAlongYReversedAxisRefinementAndEmptyRange) {
    const Drawn alongY = drawStreamLines(0, 2);
    const std::vector<Points> curves = {
        {{430, 90}, {330, 102}, {230, 114}},  // the y-max edge first
        {{70, 150}, {230, 114}},              // x index 1, 2, 3 along y
        {{170, 138}, {330, 102}},
        {{270, 126}, {430, 90}},
        {{270, 126}, {170, 138}, {70, 150}},  // the y-min edge last
    };
    EXPECT_EQ(alongY.curves, curves);

    // Reversed: z = 10 lies on the floor, z = 0 at the top of the 60 mm frame.
    const Drawn reversed = drawStreamLines(0, -1);
    EXPECT_EQ(reversed.curves.front(), (Points{{70, 30}, {230, 66}}));
    EXPECT_EQ(reversed.curves[1], (Points{{430, 90}, {330, 78}, {230, 66}}));

    // One point inserted per interval, at half steps, on the spline through the values.
    const Drawn refined = drawStreamLines(1, 1);
    EXPECT_EQ(refined.curves.front(), (Points{{70, 150}, {150, 132}, {230, 114}}));
    EXPECT_EQ(refined.curves[1],
              (Points{{430, 90}, {380, 96}, {330, 102}, {280, 108}, {230, 114}}));

    // A zoom that shrinks ZMX 10 to 2.5, below ZMN 5, leaves nothing to draw.
    EXPECT_EQ(drawStreamLines(0, 1, 5, -4).ops, 0u);
}

TEST(StreamLinesTest, EachDeviceDrawsCurtainsInWhiteAndCurvesInBlackWithItsWidth) {
    const std::pair<DeviceProfile, int> cases[] = {
        {screenProfile(), 1}, {printerProfile(600), 2}, {metafileProfile(), 8}};
    for (const auto& [profile, width] : cases) {
        RenderRig rig(profile);
        test::flatFrameWithGrid(rig.g);  // LWD = 2
        rig.plot();
        const auto pens = rig.ops("CreatePen");
        const auto brushes = rig.ops("CreateSolidBrush");
        // A white pen and brush for each curtain, a black pen for its curve.
        EXPECT_EQ(rig.each("CreatePen", &RecordedOp::width), std::vector<int>(8, width));
        const Rgb w = kWhite, b = kBlack;
        EXPECT_EQ(rig.each("CreatePen", &RecordedOp::rgb),
                  (std::vector<Rgb>{w, b, w, b, w, b, w, b}));
        EXPECT_EQ(rig.each("CreateSolidBrush", &RecordedOp::rgb), std::vector<Rgb>(4, kWhite));
        // The polygon is filled and edged with the curtain's own pen and brush.
        const auto& ops = rig.surface.ops();
        ASSERT_GE(ops.size(), 5u);
        EXPECT_EQ(
            std::tie(ops[1].op, ops[1].id, ops[3].op, ops[3].id, ops[4].op),
            std::tuple("SelectObject", pens.at(0).id, "SelectObject", brushes.at(0).id, "Polygon"));
    }
}

}  // namespace
}  // namespace kavlo
