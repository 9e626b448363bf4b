#include "core/format_reader.h"

#include <gtest/gtest.h>

#include "core/slot_titles.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::FormatLines;
using test::TempDir;

struct FormatRead {
    FormatReadOutcome outcome;
    std::vector<std::string> texts;
    GraphState state;
};

FormatRead readLines(const FormatLines& lines, int slot = 1, double turnSteps = 0,
                     const ReadRules& rules = {}) {
    TempDir dir;
    FormatRead read{FormatReadOutcome::Failed, {}, {}};
    read.state.TurnSteps[static_cast<std::size_t>(slot)] = turnSteps;
    RecordedMessages messages;
    read.outcome =
        readFormatFile(read.state, slot, dir.write("f.dat", lines.text()), 25, 10, messages, rules);
    for (const auto& message : messages.messages) {
        EXPECT_EQ(message.title, formatErrorTitle(slot));
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        EXPECT_EQ(message.buttons, MessageButtons::Ok);
        read.texts.push_back(message.text);
    }
    return read;
}

TEST(FormatReaderTest, ReadsEveryValueOfAValidFile) {
    FormatLines lines;
    lines.frame = "100\t80 60,10 , 5, 3.5, 5";
    lines.xTitle = "4.5, \"x, in metres\"";
    lines.yTitle = "4, y axis , ignored";
    lines.zTitle = "6";
    const auto read = readLines(lines);
    ASSERT_EQ(read.outcome, FormatReadOutcome::Read);
    EXPECT_TRUE(read.texts.empty());
    const GraphState& g = read.state;
    const std::vector<float> singles = {g.XWD, g.YWD, g.ZWD, g.XSF, g.CSZ, g.YMX, g.XLS, g.ZLS};
    EXPECT_EQ(singles, (std::vector<float>{100, 80, 60, 10, 3.5f, 8, 4.5f, 6}));
    EXPECT_EQ((std::vector<int>{g.FNT, g.IPL, g.ZND}), (std::vector<int>{5, 2, 2}));
    EXPECT_EQ(g.LabelFont, "Times New Roman");
    EXPECT_EQ(g.CommentFont, "Times New Roman");
    EXPECT_EQ((std::vector<std::string>{g.XLB, g.YLB, g.ZLB}),
              (std::vector<std::string>{"x, in metres", "y axis", ""}));
    // The corners follow from the values: origin corner XSF right of the slot edge.
    EXPECT_EQ(g.OrgX, 35);
    EXPECT_FLOAT_EQ(g.TopY, 15);
    EXPECT_NEAR(g.XEndX, 35 + 86.6025f, 1e-3);
}

TEST(FormatReaderTest, CorrectsEachValueWithItsMessageInOrder) {
    FormatLines lines;
    lines.frame = "100, 80, 60, 10, 5, 3, 8";
    lines.tilt = "90, -1, 0, -2, 9";
    lines.xLabels = "3, 7, 5, 2";
    lines.yLabels = "3, -1, 0, 1e8";
    lines.zLabels = "3, 9, 3, 1";
    const auto read = readLines(lines);
    ASSERT_EQ(read.outcome, FormatReadOutcome::Read);
    const std::vector<std::string> expected = {
        "FNT は 0から7までの整数から選んで下さい。FNT=0 として描画を継続します。",
        "FXD は 0 以上，90 未満に設定して下さい。FXD=30 として描画を継続します。",
        "FYD は 0 以上，90 未満に設定して下さい。FYD=30 として描画を継続します。",
        "LWD は 1 以上に設定して下さい。LWD=1 として描画を継続します。",
        "IPL は 0 以上の整数から選んで下さい。IPL=0 として描画を継続します。",
        "LDR は ±1,±2,･･･,±8 の中から選んで下さい。LDR=1 として描画を継続します。",
        "XND は 0 から 6 までの整数から選んで下さい。XND=0 として描画を継続します。",
        "YND は 0 から 6 までの整数から選んで下さい。YND=0 として描画を継続します。",
        "YMX の整数部は (7-YND) 桁以下の数字にして下さい。非表示にして描画を継続します。",
        "ZND は 0 から 6 までの整数から選んで下さい。ZND=0 として描画を継続します。",
        "ZMN は ZMX 以下に設定して下さい。zmn, zmx を自動検出して描画を継続します。",
    };
    EXPECT_EQ(read.texts, expected);
    const GraphState& g = read.state;
    EXPECT_EQ((std::vector<int>{g.FNT, g.LWD, g.IPL, g.LDR}), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(g.LabelFont, "ＭＳ Ｐ明朝");
    EXPECT_EQ(g.CommentFont, "ＭＳ 明朝");
    // x range exchanged silently; y range hidden by its too-long maximum; z left to the data.
    const std::vector<float> values = {g.FXD, g.FYD, g.XMN, g.XMX, g.YMN, g.YMX, g.ZMN, g.ZMX};
    EXPECT_EQ(values, (std::vector<float>{30, 30, 2, 5, 0, 0, 1, 1}));
}

TEST(FormatReaderTest, AcceptsTheBoundaryValues) {
    struct Case {
        const char* tilt;
        const char* xLabels;
        const char* zLabels;
        std::size_t messages;
    };
    const Case cases[] = {
        {"0, 89.9, 1, 0, -8", "3, 3, 9999.5, -9999.5", "3, 0, 0, 0", 0},
        {"0, 0, 1, 0, 8", "3, 6, -9.9, 9.9", "3, 6, -9.99, 9.99", 0},
        {"0, 0, 1, 0, 0", "3, 3, 10000, 0", "3, 2, -100000, 5", 3},
    };
    for (const auto& c : cases) {
        FormatLines lines;
        lines.tilt = c.tilt;
        lines.xLabels = c.xLabels;
        lines.zLabels = c.zLabels;
        const auto read = readLines(lines);
        EXPECT_EQ(read.outcome, FormatReadOutcome::Read);
        EXPECT_EQ(read.texts.size(), c.messages) << c.tilt;
    }

    FormatLines lines;
    lines.xLabels = "3, 3, 10000, 20000";
    lines.zLabels = "3, 2, -100000, 100000";
    const auto read = readLines(lines);
    const std::vector<std::string> expected = {
        "XMN は の整数部は (7-XND) 桁以下の数字にして下さい。非表示にして描画を継続します。",
        "XMX は の整数部は (7-XND) 桁以下の数字にして下さい。非表示にして描画を継続します。",
        "ZMN の整数部は (7-ZND) 桁以下の数字にして下さい。zmn, zmx "
        "を自動検出して描画を継続します。",
        "ZMX の整数部は (7-ZND) 桁以下の数字にして下さい。zmn, zmx "
        "を自動検出して描画を継続します。",
    };
    EXPECT_EQ(read.texts, expected);
    EXPECT_EQ(read.state.XMN, read.state.XMX);
    EXPECT_EQ(read.state.ZMN, read.state.ZMX);
}

TEST(FormatReaderTest, TurnStepsApplyAfterTheChecks) {
    FormatLines lines;
    lines.tilt = "85, 5, 1, 0, 1";
    const auto read = readLines(lines, 3, 2);
    EXPECT_TRUE(read.texts.empty());
    EXPECT_EQ(read.state.FXD, 95);
    EXPECT_EQ(read.state.FYD, -5);
}

TEST(FormatReaderTest, RefusesBrokenFilesWithOneMessageUnderTheSlotTitle) {
    struct Case {
        const char* name;
        std::string text;
        std::string message;
    };
    FormatLines good;
    FormatLines letters;
    letters.tilt = "30, thirty, 1, 2, 1";
    FormatLines emptyCell;
    emptyCell.frame = "100,,60, 10, 5, 3, 0";
    FormatLines wideInteger;
    wideInteger.tilt = "30, 30, 40000, 2, 1";
    FormatLines notFinite;
    notFinite.zLabels = "3, 2, nan, 1e99";
    const std::string full = good.text("\n");
    const Case cases[] = {
        {"ends early", full.substr(0, full.rfind("z title")),
         "20 行目がありません。フォーマットデータは 20 行で書いて下さい。描画を中断します。"},
        {"empty", "",
         "4 行目がありません。フォーマットデータは 20 行で書いて下さい。描画を中断します。"},
        {"letters", letters.text(),
         "6 行目の FYD が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
        {"empty cell", emptyCell.text(),
         "4 行目の YWD が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
        {"wide integer", wideInteger.text(),
         "6 行目の LWD は -32768 から 32767 までの整数にして下さい。描画を中断します。"},
        {"not finite", notFinite.text(),
         "13 行目の ZMN が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
        {"binary", std::string("\0\xff\x01,\n\n\n\x80\x80", 10),
         "4 行目の XWD が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        GraphState g;
        RecordedMessages messages;
        const auto outcome =
            readFormatFile(g, 2, dir.write("f.dat", c.text), 120, 10, messages, {});
        EXPECT_EQ(outcome, FormatReadOutcome::Failed) << c.name;
        ASSERT_EQ(messages.messages.size(), 1u) << c.name;
        EXPECT_EQ(messages.messages[0].title, " 2nd Format Data Error");
        EXPECT_EQ(messages.messages[0].text, c.message) << c.name;
    }
}

TEST(FormatReaderTest, MissingFileIsReportedOnTheScreenOnly) {
    TempDir dir;
    const std::string missing = (dir.path() / "nothing.dat").string();
    GraphState g;
    RecordedMessages screen;
    EXPECT_EQ(readFormatFile(g, 6, missing, 120, 10, screen, {}), FormatReadOutcome::Missing);
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(screen.messages[0].title, " 6th Format Data Error");
    EXPECT_EQ(screen.messages[0].text, "ファイルが存在しません。ご確認ください。 ");
    // A folder is no data file either.
    RecordedMessages folder;
    EXPECT_EQ(readFormatFile(g, 1, dir.path().string(), 25, 10, folder, {}),
              FormatReadOutcome::Missing);

    // The printer pass does not test existence; it just cannot read the file.
    SilentMessages silent;
    EXPECT_EQ(readFormatFile(g, 6, missing, 120, 10, silent, ReadRules{false}),
              FormatReadOutcome::Failed);
}

TEST(FormatReaderTest, SilentReadingAppliesTheSameCorrections) {
    FormatLines lines;
    lines.tilt = "95, 30, 0, 1, 12";
    const auto screen = readLines(lines);
    TempDir dir;
    GraphState g;
    SilentMessages silent;
    EXPECT_EQ(
        readFormatFile(g, 1, dir.write("f.dat", lines.text()), 25, 10, silent, ReadRules{false}),
        FormatReadOutcome::Read);
    EXPECT_EQ(screen.texts.size(), 3u);
    EXPECT_EQ(g.FXD, screen.state.FXD);
    EXPECT_EQ(g.LWD, screen.state.LWD);
    EXPECT_EQ(g.LDR, screen.state.LDR);
    EXPECT_EQ(g.XEndY, screen.state.XEndY);
}

TEST(FormatReaderTest, DecodesJapaneseLabelsInEitherEncoding) {
    // "高さ" and "深さ (m)" in CP932, with Japanese comment lines around them.
    const std::string takasa = "\x8d\x82\x82\xb3";
    const std::string fukasa = "\x90\x5b\x82\xb3";
    FormatLines lines;
    lines.xTitle = "4, " + takasa;
    lines.zTitle = "4, \"" + fukasa + " (m)\"";
    std::string cp932 = lines.text();
    cp932.replace(0, 4, "\x83\x65\x83\x58");  // "テス" in the first comment line
    TempDir dir;
    GraphState g;
    RecordedMessages messages;
    ASSERT_EQ(readFormatFile(g, 1, dir.write("sjis.dat", cp932), 25, 10, messages, {}),
              FormatReadOutcome::Read);
    EXPECT_EQ(g.XLB, "高さ");
    EXPECT_EQ(g.ZLB, "深さ (m)");

    lines.xTitle = "4, 高さ";
    lines.zTitle = "4, \"深さ, 表\"";
    ASSERT_EQ(readFormatFile(g, 1, dir.write("utf8.dat", "\xEF\xBB\xBF" + lines.text("\r")), 25, 10,
                             messages, {}),
              FormatReadOutcome::Read);
    EXPECT_EQ(g.XLB, "高さ");
    EXPECT_EQ(g.ZLB, "深さ, 表");
    EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace kavlo
