#include "render/frame_labels.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "core/projection.h"
#include "render_rig.h"

namespace kavlo {
namespace {

using test::RenderRig;

// The test frame with every number and title size 0, so nothing is labelled.
void bareFrame(PlacedGraph& g) {
    test::flatFrameWithGrid(g);
    g.XNS = g.YNS = g.ZNS = g.XLS = g.YLS = g.ZLS = 0;
}

TEST(FrameLabelsTest, EdgesPenWidthsAndBottoms) {
    // Profile, LWD, then the z edge's and the other edges' pen widths.
    const std::tuple<DeviceProfile, std::int16_t, int, int> cases[] = {
        {test::scaledScreen(2), 1, 2, 2}, {screenProfile(), 5, 2, 2},
        {printerProfile(600), 1, 4, 2},   {printerProfile(600), 2, 5, 2},
        {metafileProfile(), 1, 16, 8},
    };
    for (const auto& [profile, lwd, zEdge, edges] : cases) {
        SCOPED_TRACE(profile.name + " LWD " + std::to_string(lwd));
        RenderRig rig(profile);
        bareFrame(rig.g);
        rig.g.LWD = lwd;
        drawFrame(rig.ctx(), rig.g);
        EXPECT_EQ(rig.each("CreatePen", &RecordedOp::width), (std::vector<int>{zEdge, edges}));
        EXPECT_EQ(rig.each("CreatePen", &RecordedOp::rgb), std::vector<Rgb>(2, kBlack));
        EXPECT_TRUE(rig.ops("TextOutA").empty());
        EXPECT_EQ(std::pair(pageBottomWithFrame(20, rig.g), frameBottom(rig.g)),
                  std::pair(75.f, 75.f));
        EXPECT_EQ(rig.surface.liveObjects(), 0);
        // One connected line: down the z edge, along x, along y.
        std::vector<std::vector<DevicePoint>> corners;
        for (const PagePoint p : {PagePoint{35, 15}, {35, 75}, {35, 75}, {135, 75}, {215, 75}}) {
            corners.push_back({toDevice(p, profile.unitsPerMmX, profile.unitsPerMmY)});
        }
        EXPECT_EQ(test::each(rig.surface, {"MoveToEx", "LineTo"}, &RecordedOp::points), corners);
    }

    // The bottoms follow the lower floor corner: turned by 6 steps (FXD 30, FYD -30) the y end
    // lies 40 mm below the x end at 125 mm.
    PlacedGraph turned;
    bareFrame(turned);
    placeFrame(turned, 6, 25, 10);
    EXPECT_NEAR(frameBottom(turned), 165, 1e-3);
    EXPECT_NEAR(pageBottomWithFrame(0, turned), 165, 1e-3);
    EXPECT_EQ(pageBottomWithFrame(300, turned), 300);  // only ever grows
}

// Text, place x and y, escapement and font width.
using DrawnText = std::tuple<std::string, int, int, int, int>;

// Each text drawn with the font current at that moment.
std::vector<DrawnText> drawnTexts(const RenderRig& rig) {
    std::vector<DrawnText> texts;
    std::map<ObjectId, RecordedOp> fonts;
    RecordedOp font("none");
    for (const auto& op : rig.surface.ops()) {
        if (op.op == "CreateFontA") {
            fonts.insert_or_assign(op.id, op);
        } else if (op.op == "SelectObject" && fonts.count(op.id)) {
            font = fonts.at(op.id);
        } else if (op.op == "TextOutA") {
            texts.emplace_back(op.text, op.points[0].x, op.points[0].y, font.escapement,
                               font.width);
        }
    }
    return texts;
}

TEST(FrameLabelsTest, LabelsInOrderWithTheirPlacesAndTurns) {
    RenderRig rig(test::scaledScreen(2));
    test::flatFrameWithGrid(rig.g);
    rig.g.FXD = 30;  // the x title turns along the x edge; the origin stays at (35, 75)
    placeFrame(rig.g, 0, 25, 10);
    rig.g.XNS = rig.g.YNS = rig.g.ZNS = 3;  // fonts 6 wide: 3 mm a character here
    rig.g.XLS = rig.g.YLS = rig.g.ZLS = 4;
    std::tie(rig.g.XMX, rig.g.YMX, rig.g.XND, rig.g.ZND) = std::tuple(10.0f, 8.0f, 1, 1);
    std::tie(rig.g.XLB, rig.g.YLB, rig.g.ZLB) = std::tuple("X", "Y", "Z");
    drawFrame(rig.ctx(), rig.g);
    // "0.0" is 9 mm wide and ends a tenth of its width before the origin corner; z numbers end
    // half a digit left of the z edge, at the floor and at the top.
    const std::vector<DrawnText> texts = {
        {"0.0", 50, 150, 0, 6}, {"10.0", 211, 247, 0, 6}, {"X", 147, 198, -300, 8},
        {"0", 242, 251, 0, 6},  {"8", 402, 251, 0, 6},    {"Y", 324, 253, 0, 8},
        {"0.0", 49, 144, 0, 6}, {"10.0", 43, 27, 0, 6},   {"Z", 46, 94, 900, 8}};
    EXPECT_EQ(drawnTexts(rig), texts);
    EXPECT_EQ(rig.surface.liveObjects(), 0);

    // Equal ends hide the x numbers; a reversed axis swaps the z numbers' ends.
    RenderRig reversed(test::scaledScreen(2));
    reversed.g = rig.g;
    reversed.g.XMX = reversed.g.XMN;
    reversed.g.LDR = -1;
    drawFrame(reversed.ctx(), reversed.g);
    std::vector<DrawnText> swapped(texts.begin() + 2, texts.end());
    swapped[4] = {"10.0", 43, 144, 0, 6};
    swapped[5] = {"0.0", 49, 27, 0, 6};
    EXPECT_EQ(drawnTexts(reversed), swapped);
}

TEST(FrameLabelsTest, PrinterFitsAndMetafileMeasuresOnTheScreen) {
    // Printer numbers fit "10" to its screen width times the device ratio (15 dots a pixel at a
    // dot a twip); the metafile measures with the 6-pixel screen font, not its 90-twip one.
    const std::pair<DeviceProfile, int> cases[] = {{printerProfile(1440), 1},
                                                   {metafileProfile(), 0}};
    for (const auto& [profile, slack] : cases) {
        RenderRig rig(profile);
        bareFrame(rig.g);
        rig.g.ZNS = 3;
        drawFrame(rig.ctx(), rig.g);
        const auto drawn = drawnTexts(rig);
        ASSERT_EQ(drawn.size(), 2u) << profile.name;
        EXPECT_NEAR(std::get<4>(drawn[0]), 90, slack) << profile.name;
        const auto screenFonts = test::each(rig.screenMeasure, {"CreateFontA"}, &RecordedOp::width);
        EXPECT_FALSE(screenFonts.empty()) << profile.name;
        EXPECT_EQ(screenFonts, std::vector<int>(screenFonts.size(), 6)) << profile.name;
    }
}

}  // namespace
}  // namespace kavlo
