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
    std::string frame(int zwd) {
        FormatLines lines;
        lines.frame = "100, 80, " + std::to_string(zwd) + ", 10, 5, 3, 0";
        return dir_.write("f" + std::to_string(zwd) + ".dat", lines.text());
    }

    // The row top (mm) each drawn slot's frame started at, from its z edge's top point.
    std::map<int, float> rowTops(const RenderRig& rig) {
        std::map<int, float> tops;
        int slot = 0;
        for (const auto& op : rig.surface.ops()) {
            if (op.op == "Slot") {
                slot = op.slot;
            } else if (op.op == "MoveToEx" && slot != 0 && !tops.count(slot)) {
                tops[slot] = static_cast<float>(op.points[0].y) / 100 - 5;
            }
        }
        return tops;
    }

    TempDir dir_;
};

TEST_F(CompositionTest, RowsMoveDownByWhatWasDrawn) {
    using Tops = std::map<int, float>;
    struct Case {
        const char* name;
        std::array<int, 7> zwd;  // per slot, 0 = no format file
        Tops tops;
        float pageBottom;
    };
    const Case cases[] = {
        {"only slot 1", {0, 60, 0, 0, 0, 0, 0}, {{1, 10}}, 125},
        {"taller right graph", {0, 60, 90, 60, 0, 0, 0}, {{1, 10}, {2, 10}, {3, 155}}, 270},
        {"slots 1 and 4", {0, 60, 0, 0, 60, 0, 0}, {{1, 10}, {4, 125}}, 240},
        {"slot 6 keeps the row", {0, 0, 0, 0, 0, 0, 60}, {{6, 10}}, 125},
    };
    for (const auto& c : cases) {
        RenderRig rig(test::scaledScreen(100));
        PageSetup setup;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (c.zwd[static_cast<std::size_t>(slot)] > 0) {
                setup.file(FileKind::Format, slot) = frame(c.zwd[static_cast<std::size_t>(slot)]);
            }
        }
        const PageOutcome outcome = composePage(rig.ctx(), setup);
        EXPECT_TRUE(outcome.allDrawn) << c.name;
        EXPECT_EQ(rowTops(rig), c.tops) << c.name;
        EXPECT_NEAR(rig.g.PageBottom, c.pageBottom, 0.01) << c.name;
        // Slot 2's column starts at 120 mm: the frame 10 mm right of it.
        for (const auto& op : rig.surface.ops()) {
            if (op.op == "MoveToEx") {
                EXPECT_TRUE(op.points[0].x == 3500 || op.points[0].x == 13000) << c.name;
                break;
            }
        }
        EXPECT_TRUE(rig.messages.messages.empty()) << c.name;
    }
}

TEST_F(CompositionTest, NamesAreClearedAsTheSlotsRequire) {
    RenderRig rig(screenProfile());
    PageSetup setup;
    const std::string missing = (dir_.path() / "gone.dat").string();
    setup.file(FileKind::Format, 1) = frame(60);
    setup.file(FileKind::Numeric, 1) = missing;
    setup.file(FileKind::Comment, 1) = frame(60);
    setup.file(FileKind::Format, 2) = frame(60);
    setup.file(FileKind::Comment, 2) = missing;
    setup.file(FileKind::Numeric, 3) = frame(60);  // no format file: the others go too
    setup.file(FileKind::Comment, 3) = frame(60);
    setup.file(FileKind::Format, 4) = missing;
    const PageOutcome outcome = composePage(rig.ctx(), setup);
    EXPECT_FALSE(outcome.allDrawn);
    EXPECT_EQ(setup.file(FileKind::Numeric, 1), "");
    EXPECT_NE(setup.file(FileKind::Comment, 1), "");  // the graph was skipped: no comment read
    EXPECT_EQ(setup.file(FileKind::Comment, 2), "");
    EXPECT_EQ(setup.file(FileKind::Numeric, 3), "");
    EXPECT_EQ(setup.file(FileKind::Comment, 3), "");
    EXPECT_EQ(setup.file(FileKind::Format, 4), "");
    std::vector<std::string> titles;
    for (const auto& message : rig.messages.messages) {
        titles.push_back(message.title);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{" 1st Graph Data Error", " 2nd Comment Data Error",
                                                " 4th Format Data Error"}));
}

TEST_F(CompositionTest, AnOverfullPageIsReportedAndTheHeaderDrawnLast) {
    RenderRig rig(screenProfile());
    PageSetup setup;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        setup.file(FileKind::Format, slot) = frame(90);
    }
    setup.header.text = "Header";
    composePage(rig.ctx(), setup);
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].title, "Format Data Error");
    EXPECT_EQ(rig.messages.messages[0].text, "ページを越えます。印刷は１ページ目だけになります。");
    const auto& ops = rig.surface.ops();
    const auto header = std::find_if(ops.begin(), ops.end(),
                                     [](const RecordedOp& op) { return op.op == "Header"; });
    ASSERT_NE(header, ops.end());
    EXPECT_EQ(
        std::count_if(header, ops.end(), [](const RecordedOp& op) { return op.op == "TextOutA"; }),
        1);
    EXPECT_FLOAT_EQ(rig.g.PxPerMmX, 56.69291f / 15);
}

}  // namespace
}  // namespace kavlo
