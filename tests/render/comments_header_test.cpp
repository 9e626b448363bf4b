#include "render/comments_header.h"

#include <gtest/gtest.h>

#include "render/comment_wrap.h"
#include "render_rig.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::RenderRig;

std::vector<std::string> wrap(const std::string& line, float width) {
    // One unit a character, so the width counts characters.
    return wrapCommentLine(line, width, [](const std::string& s) {
        float n = 0;
        for (const char c : s) {
            n += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u ? 1.0f : 0.0f;
        }
        return n;
    });
}

TEST(CommentWrapTest, RowsEndAtTheWidthAtLineFeedsOrAtTheEnd) {
    using Rows = std::vector<std::string>;
    EXPECT_EQ(wrap("abcdefg", 3), (Rows{"abc", "def", "g"}));
    EXPECT_EQ(wrap("abc", 3), (Rows{"abc"}));        // exactly reaching the width
    EXPECT_EQ(wrap("abcd", 3), (Rows{"abc", "d"}));  // one character more
    EXPECT_EQ(wrap("ab", 3), (Rows{"ab"}));
    EXPECT_EQ(wrap("", 3), (Rows{""}));
    EXPECT_EQ(wrap("a\nbc\n\nd", 3), (Rows{"a\n", "bc\n", "\n", "d"}));
    EXPECT_EQ(wrap("日本語の文章", 4), (Rows{"日本語の", "文章"}));
    EXPECT_EQ(wrap("abc", 0.5f), (Rows{"a", "b", "c"}));  // at least one character a row
    const std::string longLine(10000, 'x');
    const Rows rows = wrap(longLine, 140);
    ASSERT_EQ(rows.size(), 72u);
    EXPECT_EQ(rows.front().size(), 140u);
    EXPECT_EQ(rows.back().size(), 60u);
}

struct CommentRig : RenderRig {
    explicit CommentRig(DeviceProfile p) : RenderRig(std::move(p)) {
        test::flatFrameWithGrid(g);  // frame 280 mm across with the extra 100 mm
        g.CSZ = 2;                   // 4-unit font: 2 mm a character, rows 3 mm apart
        g.FrameBottom = 75;
    }
};

TEST(CommentTest, RowsStartThreeLinesBelowTheFrameAndWrapAtTheFrameWidth) {
    test::TempDir dir;
    const std::string path = dir.write("c.txt", std::string(141, 'a') + "\r\nend\r\n\r\nlast\nrow");
    CommentRig rig(test::scaledScreen(2));
    EXPECT_EQ(Cmt(rig.ctx(), 1, path), CommentOutcome::Drawn);
    const auto texts = rig.ops("TextOutA");
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].text, std::string(140, 'a'));
    EXPECT_EQ(texts[1].text, "a");
    EXPECT_EQ(texts[2].text, "end");
    EXPECT_EQ(texts[3].text, "last");  // the line feed ends the row and is not drawn
    EXPECT_EQ(texts[4].text, "row");
    const int ys[] = {168, 174, 180, 192, 198};  // the empty line still takes its row
    for (std::size_t k = 0; k < texts.size(); ++k) {
        EXPECT_EQ(texts[k].points[0], (DevicePoint{50, ys[k]})) << k;
    }
    EXPECT_FLOAT_EQ(rig.g.PageBottom, 102);
    EXPECT_EQ(rig.surface.liveObjects(), 0);

    // At true scale a 4-pixel character is 1.06 mm: the screen wraps 280 mm at 265 of them,
    // the printer, with its font fitted to the same width, wraps XWD + 100 mm at 189.
    const std::string wide = dir.write("wide.txt", std::string(300, 'b'));
    CommentRig screen(screenProfile());
    CommentRig printer(printerProfile(1440));
    ASSERT_EQ(Cmt(screen.ctx(), 1, wide), CommentOutcome::Drawn);
    ASSERT_EQ(Cmt(printer.ctx(), 1, wide), CommentOutcome::Drawn);
    EXPECT_EQ(screen.ops("TextOutA").at(0).text.size(), 265u);
    EXPECT_EQ(printer.ops("TextOutA").at(0).text.size(), 189u);
}

TEST(CommentTest, MissingFileIsReportedUnderTheSlotTitle) {
    test::TempDir dir;
    const std::string missing = (dir.path() / "gone.txt").string();
    CommentRig rig(screenProfile());
    EXPECT_EQ(Cmt(rig.ctx(), 5, missing), CommentOutcome::Missing);
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].title, " 5rd Comment Data Error");
    EXPECT_EQ(rig.messages.messages[0].text, "ファイルが存在しません。ご確認ください。 ");
    EXPECT_TRUE(rig.surface.ops().empty());
}

TEST(HeaderTest, AlignmentAndSize) {
    struct Case {
        int alignment;
        int sizeIndex;
        int x;  // device units at 2 a mm; "abc" in size 3 is 9 mm wide
    };
    const Case cases[] = {{0, 2, 20}, {1, 2, 201}, {2, 2, 382}, {7, 2, 20}, {2, 12, -1}};
    for (const auto& c : cases) {
        RenderRig rig(test::scaledScreen(2));
        Header(rig.ctx(), HeaderSetup{"abc", 2, c.sizeIndex, c.alignment});
        const auto texts = rig.ops("TextOutA");
        if (c.x < 0) {
            EXPECT_TRUE(texts.empty());
            continue;
        }
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].points[0], (DevicePoint{c.x, 20})) << c.alignment;
        EXPECT_EQ(rig.ops("CreateFontA").back().text, "Times New Roman");
    }
}

}  // namespace
}  // namespace kavlo
