#include "render/frame_labels.h"

#include <gtest/gtest.h>

#include "core/projection.h"
#include "render_rig.h"

namespace kavlo {
namespace {

using test::flatFrameWithGrid;
using test::RenderRig;

void noLabels(GraphState& g) {
    g.XNS = g.YNS = g.ZNS = g.XLS = g.YLS = g.ZLS = 0;
}

TEST(FrameLabelsTest, EdgesAndPenWidthsPerDevice) {
    struct Case {
        DeviceProfile profile;
        std::int16_t lwd;
        int zEdge;
        int edges;
    };
    const Case cases[] = {
        {test::scaledScreen(2), 1, 2, 2}, {screenProfile(), 5, 2, 2},
        {printerProfile(600), 1, 4, 2},   {printerProfile(600), 2, 5, 2},
        {metafileProfile(), 1, 16, 8},
    };
    for (const auto& c : cases) {
        RenderRig rig(c.profile);
        flatFrameWithGrid(rig.g);
        noLabels(rig.g);
        rig.g.LWD = c.lwd;
        rig.g.PageBottom = 20;
        FrmDrw(rig.ctx());
        const auto pens = rig.ops("CreatePen");
        ASSERT_EQ(pens.size(), 2u);
        EXPECT_EQ(pens[0].width, c.zEdge) << c.profile.name << " LWD " << c.lwd;
        EXPECT_EQ(pens[1].width, c.edges) << c.profile.name << " LWD " << c.lwd;
        EXPECT_EQ(pens[0].rgb, kBlack);
        EXPECT_TRUE(rig.ops("TextOutA").empty());
        EXPECT_EQ(rig.g.PageBottom, 75);
        EXPECT_EQ(rig.g.FrameBottom, 75);
        EXPECT_EQ(rig.surface.liveObjects(), 0);
    }

    // One connected line: down the z edge, along x, along y.
    RenderRig rig(test::scaledScreen(2));
    flatFrameWithGrid(rig.g);
    noLabels(rig.g);
    FrmDrw(rig.ctx());
    std::vector<DevicePoint> path;
    for (const auto& op : rig.surface.ops()) {
        if (op.op == "MoveToEx" || op.op == "LineTo") {
            path.push_back(op.points[0]);
        }
    }
    EXPECT_EQ(path,
              (std::vector<DevicePoint>{{70, 30}, {70, 150}, {70, 150}, {270, 150}, {430, 150}}));
}

TEST(FrameLabelsTest, BottomsFollowTheLowerFloorCorner) {
    RenderRig rig(test::scaledScreen(2));
    flatFrameWithGrid(rig.g);
    noLabels(rig.g);
    rig.g.FXD = 30;  // x end 50 mm lower than the origin, y end 40 mm above it
    rig.g.FYD = 30;
    applyTurnAndOrigin(rig.g, 1, 25, 10);
    Axs(rig.g);
    rig.g.PageBottom = 300;
    FrmDrw(rig.ctx());
    EXPECT_FLOAT_EQ(rig.g.FrameBottom, rig.g.XEndY);
    EXPECT_NEAR(rig.g.FrameBottom, 125, 1e-3);
    EXPECT_EQ(rig.g.PageBottom, 300);  // only ever grows
}

struct DrawnText {
    std::string text;
    DevicePoint at;
    int escapement;
    int width;
};

// Each text drawn with the font current at that moment.
std::vector<DrawnText> drawnTexts(const RenderRig& rig) {
    std::vector<DrawnText> texts;
    std::map<ObjectId, RecordedOp> fonts;
    ObjectId current = 0;
    for (const auto& op : rig.surface.ops()) {
        if (op.op == "CreateFontA") {
            fonts.insert_or_assign(op.id, op);
        } else if (op.op == "SelectObject" && fonts.count(op.id)) {
            current = op.id;
        } else if (op.op == "TextOutA") {
            const RecordedOp& font = fonts.at(current);
            texts.push_back({op.text, op.points[0], font.escapement, font.width});
        }
    }
    return texts;
}

TEST(FrameLabelsTest, LabelsInOrderWithTheirPlacesAndTurns) {
    RenderRig rig(test::scaledScreen(2));
    GraphState& g = rig.g;
    flatFrameWithGrid(g);
    g.FXD = 30;  // the x title turns along the x edge; the origin stays at (35, 75)
    applyTurnAndOrigin(g, 1, 25, 10);
    Axs(g);
    g.XNS = g.YNS = g.ZNS = 3;  // fonts 6 wide: 3 mm a character here
    g.XLS = g.YLS = g.ZLS = 4;
    g.XMN = 0;
    g.XMX = 10;
    g.XND = 1;
    g.YMN = 0;
    g.YMX = 8;
    g.ZND = 1;
    g.XLB = "X";
    g.YLB = "Y";
    g.ZLB = "Z";
    FrmDrw(rig.ctx());
    const auto texts = drawnTexts(rig);
    std::vector<std::string> order;
    for (const auto& t : texts) {
        order.push_back(t.text);
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"0.0", "10.0", "X", "0", "8", "Y", "0.0", "10.0", "Z"}));
    ASSERT_EQ(texts.size(), 9u);
    // "0.0" is 9 mm wide and ends a tenth of its width before the origin corner.
    EXPECT_EQ(texts[0].at, (DevicePoint{50, 150}));
    EXPECT_EQ(texts[0].escapement, 0);
    EXPECT_EQ(texts[0].width, 6);
    EXPECT_EQ(texts[2].escapement, -300);
    EXPECT_EQ(texts[5].escapement, 0);
    // z numbers end half a digit left of the z edge: at the floor and at the top.
    EXPECT_EQ(texts[6].at, (DevicePoint{49, 144}));
    EXPECT_EQ(texts[7].at, (DevicePoint{43, 27}));
    EXPECT_EQ(texts[8].escapement, 900);
    EXPECT_EQ(rig.surface.liveObjects(), 0);

    // Equal ends hide the x numbers; a reversed axis swaps the z numbers' ends.
    RenderRig reversed(test::scaledScreen(2));
    reversed.g = g;
    reversed.g.XMX = reversed.g.XMN;
    reversed.g.LDR = -1;
    FrmDrw(reversed.ctx());
    const auto swapped = drawnTexts(reversed);
    ASSERT_EQ(swapped.size(), 7u);
    EXPECT_EQ(swapped[0].text, "X");
    EXPECT_EQ(swapped[4].text, "10.0");
    EXPECT_EQ(swapped[4].at, (DevicePoint{43, 144}));
    EXPECT_EQ(swapped[5].text, "0.0");
    EXPECT_EQ(swapped[5].at, (DevicePoint{49, 27}));
}

TEST(FrameLabelsTest, PrinterFitsAndMetafileMeasuresOnTheScreen) {
    // The printer's numbers are fitted to "10" as wide as on the screen: with the recording
    // surface's metrics the fit lands on the screen width times the device ratio.
    RenderRig printer(printerProfile(1440));  // one dot per twip: 15 dots per screen pixel
    flatFrameWithGrid(printer.g);
    noLabels(printer.g);
    printer.g.ZNS = 3;
    FrmDrw(printer.ctx());
    const auto printed = drawnTexts(printer);
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_NEAR(printed[0].width, 90, 1);

    RenderRig meta(metafileProfile());
    flatFrameWithGrid(meta.g);
    noLabels(meta.g);
    meta.g.ZNS = 3;
    FrmDrw(meta.ctx());
    const auto drawn = drawnTexts(meta);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].width, 90);
    // Measured with the 6-pixel screen font, not with the 90-twip device font.
    EXPECT_FALSE(meta.screenMeasure.ops().empty());
    for (const auto& op : meta.screenMeasure.ops()) {
        if (op.op == "CreateFontA") {
            EXPECT_EQ(op.width, 6);
        }
    }
}

}  // namespace
}  // namespace kavlo
