#include "render/comments_header.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "render/comment_wrap.h"
#include "render_rig.h"
#include "test_files.h"

namespace kavlo {
namespace {

// The UTF-8 characters of `s`.
std::size_t characters(std::string_view s) {
    return static_cast<std::size_t>(
        std::ranges::count_if(s, [](unsigned char c) { return (c & 0xC0u) != 0x80u; }));
}

// One unit a character, so the width counts characters.
std::vector<std::string> wrap(const std::string& line, float width) {
    return wrapCommentLine(line, width,
                           [](const std::string& s) { return static_cast<float>(characters(s)); });
}

TEST(CommentWrapTest, RowsEndAtTheWidthAtLineFeedsOrAtTheEnd) {
    using Rows = std::vector<std::string>;
    EXPECT_EQ(wrap("abcdefg", 3), (Rows{"abc", "def", "g"}));
    EXPECT_EQ(wrap("", 3), (Rows{""}));
    EXPECT_EQ(wrap("a\nbc\n\nd", 3), (Rows{"a\n", "bc\n", "\n", "d"}));
    EXPECT_EQ(wrap("日本語の文章", 4), (Rows{"日本語の", "文章"}));
    EXPECT_EQ(wrap("abc", 0.5f), (Rows{"a", "b", "c"}));  // at least one character a row
    Rows full(71, std::string(140, 'x'));
    full.push_back(std::string(60, 'x'));
    EXPECT_EQ(wrap(std::string(10000, 'x'), 140), full);
}

struct CommentRig : test::RenderRig {
    explicit CommentRig(DeviceProfile p) : test::RenderRig(std::move(p)) {
        test::flatFrameWithGrid(g);  // frame 280 mm across with the extra 100 mm
        g.CSZ = 2;                   // 4-unit font: 2 mm a character, rows 3 mm apart
    }
};

TEST(CommentTest, RowsStartThreeLinesBelowTheFrameAndWrapAtTheFrameWidth) {
    test::TempDir dir;
    const std::string path = dir.write("c.txt", std::string(141, 'a') + "\r\nend\r\n\r\nlast\nrow");
    CommentRig rig(test::scaledScreen(2));
    const DrawnComment drawn = drawComment(rig.ctx(), rig.g, 1, path, 75);
    EXPECT_EQ(drawn.outcome, CommentOutcome::Drawn);
    std::vector<std::string> rows;
    for (const auto& op : rig.ops("TextOutA")) {
        const DevicePoint at = op.points.at(0);
        rows.push_back(op.text + " at " + std::to_string(at.x) + "," + std::to_string(at.y));
    }
    // A line feed ends its row undrawn; the empty line still takes a row.
    EXPECT_EQ(rows, (std::vector<std::string>{std::string(140, 'a') + " at 50,168", "a at 50,174",
                                              "end at 50,180", "last at 50,192", "row at 50,198"}));
    EXPECT_FLOAT_EQ(drawn.bottom, 102);
    EXPECT_EQ(rig.surface.liveObjects(), 0);

    // At true scale a 4-pixel character is 1.06 mm: the screen wraps 280 mm at 265 of them,
    // the printer, with its font fitted to the same width, wraps XWD + 100 mm at 189.
    const std::string wide = dir.write("wide.txt", std::string(300, 'b'));
    for (const auto& [profile, chars] :
         {std::pair{screenProfile(), 265u}, {printerProfile(1440), 189u}}) {
        CommentRig device(profile);
        ASSERT_EQ(drawComment(device.ctx(), device.g, 1, wide, 75).outcome, CommentOutcome::Drawn);
        EXPECT_EQ(device.ops("TextOutA").at(0).text.size(), chars) << profile.name;
    }
}

TEST(CommentTest, RowsBelowWhatTheOutputShowsAreNotDrawn) {
    test::TempDir dir;
    std::string lines;
    for (int k = 0; k < 20000; ++k) {
        lines += "row " + std::to_string(k) + "\n";
    }
    const std::string path = dir.write("long.txt", lines);
    // Rows 3 mm apart from 84 mm: the A4 page (297.04 mm) shows 72 of them, a selection down to
    // 400 mm 106. The page still runs past the sheet.
    for (const auto& [bottom, rows] : {std::pair{-1.0f, 72u}, {400.0f, 106u}}) {
        CommentRig rig(test::scaledScreen(2));
        RenderContext ctx = rig.ctx();
        ctx.shownBottom = bottom < 0 ? ctx.shownBottom : bottom;
        const DrawnComment drawn = drawComment(ctx, rig.g, 1, path, 75);
        ASSERT_EQ(drawn.outcome, CommentOutcome::Drawn);
        const auto texts = rig.ops("TextOutA");
        ASSERT_EQ(texts.size(), rows) << bottom;
        EXPECT_EQ(texts.back().text, "row " + std::to_string(rows - 1));
        EXPECT_EQ(texts.back().points.at(0).y, 2 * (84 + 3 * static_cast<int>(rows - 1)));
        EXPECT_GT(drawn.bottom, ctx.shownBottom);
    }
}

// A hang here shows as the test's timeout.
TEST(SpecialFileTest, CommentsRefuseWhatIsNoRegularFileKeepingTheName) {
    test::TempDir dir;
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir.path().string(), std::string("/dev/zero")}) {
        CommentRig rig(screenProfile());
        EXPECT_EQ(drawComment(rig.ctx(), rig.g, 5, path, 75).outcome, CommentOutcome::Unreadable)
            << path;
        EXPECT_EQ(rig.messages.messages,
                  (std::vector<Message>{
                      {" 5rd Comment Data Error",  // sic, only for comments
                       "通常のファイルではないため読み込めません。ご確認ください。 "}}));
        EXPECT_TRUE(rig.ops("TextOutA").empty());
    }
}

TEST(HeaderTest, AlignmentAndSize) {
    // Alignment and x in device units at 2 a mm; "abc" in size 3 is 9 mm wide.
    for (const auto& [alignment, x] : {std::pair{0, 20}, {1, 201}, {2, 382}, {7, 20}}) {
        test::RenderRig rig(test::scaledScreen(2));
        drawHeader(rig.ctx(), HeaderSetup{"abc", 2, 2, alignment});
        const auto texts = rig.ops("TextOutA");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].points[0], (DevicePoint{x, 20})) << alignment;
        EXPECT_EQ(rig.ops("CreateFontA").back().text, "Times New Roman");
    }
    // A size beyond the list draws nothing.
    test::RenderRig rig(test::scaledScreen(2));
    drawHeader(rig.ctx(), HeaderSetup{"abc", 2, 12, 2});
    EXPECT_TRUE(rig.ops("TextOutA").empty());
}

}  // namespace
}  // namespace kavlo
