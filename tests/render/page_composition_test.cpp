#include "render/page_composition.h"

#include <gtest/gtest.h>

#include "render_rig.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::FormatLines;
using test::RenderRig;
using test::TempDir;

// Frames only (no numeric files): 100 x 80 mm floor at 30 degrees, so a frame's top lies
// YSP = 5 mm below its row top and its bottom 115 mm below it with ZWD = 60.
class CompositionTest : public testing::Test {
  protected:
    using Places = std::map<int, std::pair<float, float>>;

    std::string frame(int zwd) {
        const FormatLines lines{.frame = "100, 80, " + std::to_string(zwd) + ", 10, 5, 3, 0"};
        return dir_.write("f" + std::to_string(zwd) + ".dat", lines.text());
    }

    // Where each drawn slot's frame started, from its z edge's top point: its x and its row's
    // top, in mm.
    Places rowTops(const RenderRig& rig) {
        Places tops;
        int slot = 0;
        for (const auto& op : rig.surface.ops()) {
            if (op.op == "Slot") {
                slot = op.slot;
            } else if (op.op == "MoveToEx" && slot != 0 && !tops.count(slot)) {
                tops[slot] = {op.points[0].x / 100.f, op.points[0].y / 100.f - 5};
            }
        }
        return tops;
    }

    TempDir dir_;
};

TEST_F(CompositionTest, RowsMoveDownByWhatWasDrawnAndOnlyPastThePrintableBottomIsReported) {
    const std::vector<Message> none,
        overflow{{"Format Data Error", "ページを越えます。印刷は１ページ目だけになります。"}};
    const Places twoAndThree{{2, {130, 10}}, {3, {35, 155}}};
    // ZWD per slot (0: no format file), then where the frames start and the page bottom. Slot 3
    // ends 55 mm plus its ZWD below 155 mm; the printable part ends at 279 mm, above the 297.
    const std::tuple<std::array<int, 7>, Places, float, std::vector<Message>> cases[] = {
        {{0, 60, 0, 0, 0, 0, 0}, {{1, {35, 10}}}, 125, none},
        {{0, 60, 90, 60, 0, 0, 0}, {{1, {35, 10}}, {2, {130, 10}}, {3, {35, 155}}}, 270, none},
        {{0, 60, 0, 0, 60, 0, 0}, {{1, {35, 10}}, {4, {130, 125}}}, 240, none},
        {{0, 0, 0, 0, 0, 0, 60}, {{6, {130, 10}}}, 125, none},  // slot 6 keeps the row
        {{0, 0, 90, 69, 0, 0, 0}, twoAndThree, 279, none},
        {{0, 0, 90, 70, 0, 0, 0}, twoAndThree, 280, overflow},
    };
    for (const auto& [zwd, places, pageBottom, messages] : cases) {
        SCOPED_TRACE(testing::PrintToString(zwd));
        RenderRig rig(test::scaledScreen(100));
        PageSetup setup;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (const int z = zwd[static_cast<std::size_t>(slot)]; z > 0) {
                setup.file(FileKind::Format, slot) = frame(z);
            }
        }
        const PageOutcome outcome = composePage(rig.ctx(), setup, rig.steps);
        EXPECT_TRUE(outcome.allDrawn);
        EXPECT_EQ(rowTops(rig), places);
        EXPECT_NEAR(outcome.pageBottom, pageBottom, 0.01);
        EXPECT_EQ(rig.messages.messages, messages);
    }

    // A comment under slot 1 moves the next row down to its last row (rows 0.09 mm apart, from
    // three under the frame's 125 mm); the header comes after every slot.
    RenderRig rig(test::scaledScreen(100));
    PageSetup setup;
    setup.file(FileKind::Format, 1) = frame(60);
    setup.file(FileKind::Comment, 1) = dir_.write("c.txt", "one\ntwo\n");
    setup.file(FileKind::Format, 3) = frame(60);
    setup.header.text = "Header";
    const PageOutcome outcome = composePage(rig.ctx(), setup, rig.steps);
    const float commentBottom = rowTops(rig).at(3).second;
    EXPECT_NEAR(commentBottom, 125 + 5 * 0.09, 0.005);
    EXPECT_NEAR(outcome.pageBottom, commentBottom + 115, 0.01);
    EXPECT_EQ(rig.each("TextOutA", &RecordedOp::text).back(), "Header");
}

TEST_F(CompositionTest, NamesAreClearedAsTheSlotsRequire) {
    RenderRig rig(screenProfile());
    PageSetup setup;
    const std::string missing = (dir_.path() / "gone.dat").string();
    const std::string f = frame(60);
    setup.file(FileKind::Format, 1) = f;
    setup.file(FileKind::Numeric, 1) = missing;
    setup.file(FileKind::Comment, 1) = f;  // the graph is skipped: no comment read
    setup.file(FileKind::Format, 2) = f;
    setup.file(FileKind::Comment, 2) = missing;
    setup.file(FileKind::Numeric, 3) = f;  // no format file: the others go too
    setup.file(FileKind::Comment, 3) = f;
    setup.file(FileKind::Format, 4) = missing;
    EXPECT_FALSE(composePage(rig.ctx(), setup, rig.steps).allDrawn);
    using Files = decltype(setup.picker(FileKind::Format).files);
    EXPECT_EQ(setup.picker(FileKind::Format).files, (Files{"", f, f, "", "", "", ""}));
    EXPECT_EQ(setup.picker(FileKind::Numeric).files, Files{});
    EXPECT_EQ(setup.picker(FileKind::Comment).files, (Files{"", f, "", "", "", "", ""}));
    const std::string gone = "ファイルが存在しません。ご確認ください。 ";
    EXPECT_EQ(rig.messages.messages, (std::vector<Message>{{" 1st Graph Data Error", gone},
                                                           {" 2nd Comment Data Error", gone},
                                                           {" 4th Format Data Error", gone}}));
}

}  // namespace
}  // namespace kavlo
