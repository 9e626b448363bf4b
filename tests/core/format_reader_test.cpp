#include "core/format_reader.h"

#include <gtest/gtest.h>

#include "core/graph_reader.h"
#include "core/slot_titles.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::FormatLines;
using Texts = std::vector<std::string>;

struct FormatTextRead {
    FormatReadOutcome outcome;
    Texts texts;
    PlacedGraph state;
};

// Reads `text` as the format file of `slot` with no numeric file, on the screen or silently as
// the printer pass does; the frame corners follow a successful read.
FormatTextRead readText(const std::string& text, int slot = 1, double turnSteps = 0,
                        bool printer = false) {
    test::TempDir dir;
    FormatTextRead read{FormatReadOutcome::Failed, {}, {}};
    RecordedMessages screen;
    SilentMessages silent;
    read.outcome =
        readGraph(read.state, slot, {dir.write("f.dat", text), ""}, 25, 10, turnSteps,
                  printer ? static_cast<MessageSink&>(silent) : screen, ReadRules{!printer})
            .format;
    for (const auto& message : screen.messages) {
        EXPECT_EQ(message, (Message{formatErrorTitle(slot), message.text}));  // an OK box with "!"
        read.texts.push_back(message.text);
    }
    return read;
}

TEST(FormatReaderTest, ReadsEveryValueOfAValidFile) {
    const auto read = readText(FormatLines{.frame = "100\t80 60,10 , 5, 3.5, 5",
                                           .xTitle = "4.5, \"x, in metres\"",
                                           .yTitle = "4, y axis , ignored",
                                           .zTitle = "6"}
                                   .text());
    ASSERT_EQ(read.outcome, FormatReadOutcome::Read);
    EXPECT_TRUE(read.texts.empty());
    const PlacedGraph& g = read.state;
    EXPECT_EQ((std::vector<float>{g.XWD, g.YWD, g.ZWD, g.XSF, g.CSZ, g.YMX, g.XLS, g.ZLS}),
              (std::vector<float>{100, 80, 60, 10, 3.5f, 8, 4.5f, 6}));
    EXPECT_EQ((std::vector<int>{g.FNT, g.IPL, g.ZND}), (std::vector<int>{5, 2, 2}));
    EXPECT_EQ((Texts{g.LabelFont, g.CommentFont, g.XLB, g.YLB, g.ZLB}),
              (Texts{"Times New Roman", "Times New Roman", "x, in metres", "y axis", ""}));
}

TEST(FormatReaderTest, CorrectsEachValueWithItsMessageInOrder) {
    const auto read = readText(FormatLines{.frame = "100, 80, 60, 10, 5, 3, 8",
                                           .tilt = "90, -1, 0, -2, 9",
                                           .xLabels = "3, 7, 5, 2",
                                           .yLabels = "3, -1, 0, 1e8",
                                           .zLabels = "3, 9, 3, 1"}
                                   .text());
    ASSERT_EQ(read.outcome, FormatReadOutcome::Read);
    const Texts expected = {
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
    const PlacedGraph& g = read.state;
    EXPECT_EQ((std::vector<int>{g.FNT, g.LWD, g.IPL, g.LDR}), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ((Texts{g.LabelFont, g.CommentFont}), (Texts{"ＭＳ Ｐ明朝", "ＭＳ 明朝"}));
    // x range exchanged silently; y range hidden by its too-long maximum; z left to the data.
    const std::vector<float> values = {g.FXD, g.FYD, g.XMN, g.XMX, g.YMN, g.YMX, g.ZMN, g.ZMX};
    EXPECT_EQ(values, (std::vector<float>{30, 30, 2, 5, 0, 0, 1, 1}));
}

TEST(FormatReaderTest, AcceptsTheBoundaryValuesAndRefusesOneBeyond) {
    const FormatLines accepted[] = {
        {.tilt = "0, 89.9, 1, 0, -8", .xLabels = "3, 3, 9999.5, -9999.5", .zLabels = "3, 0, 0, 0"},
        {.tilt = "0, 0, 1, 0, 8", .xLabels = "3, 6, -9.9, 9.9", .zLabels = "3, 6, -9.99, 9.99"},
    };
    for (const auto& lines : accepted) {
        const auto read = readText(lines.text());
        EXPECT_EQ(read.outcome, FormatReadOutcome::Read);
        EXPECT_TRUE(read.texts.empty()) << lines.tilt;
    }

    const auto read = readText(FormatLines{.tilt = "0, 0, 1, 0, 0",
                                           .xLabels = "3, 3, 10000, 20000",
                                           .zLabels = "3, 2, -100000, 100000"}
                                   .text());
    const Texts expected = {
        "LDR は ±1,±2,･･･,±8 の中から選んで下さい。LDR=1 として描画を継続します。",
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

TEST(FormatReaderTest, RefusesBrokenFilesWithOneMessageUnderTheSlotTitle) {
    const std::string full = FormatLines().text("\n");
    const std::pair<std::string, const char*> cases[] = {
        {full.substr(0, full.rfind("z title")),
         "20 行目がありません。フォーマットデータは 20 行で書いて下さい。描画を中断します。"},
        {"", "4 行目がありません。フォーマットデータは 20 行で書いて下さい。描画を中断します。"},
        {FormatLines{.tilt = "30, thirty, 1, 2, 1"}.text(),
         "6 行目の FYD が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
        {FormatLines{.frame = "100,,60, 10, 5, 3, 0"}.text(),
         "4 行目の YWD が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
        {FormatLines{.tilt = "30, 30, 40000, 2, 1"}.text(),
         "6 行目の LWD は -32768 から 32767 までの整数にして下さい。描画を中断します。"},
        {FormatLines{.zLabels = "3, 2, 0, 1e99"}.text(),
         "13 行目の ZMX が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
        {std::string("\0\xff\x01,\n\n\n\x80\x80", 10),
         "4 行目の XWD が数値として読めません。ファイルを見直して下さい。描画を中断します。"},
    };
    for (const auto& [text, message] : cases) {
        const auto read = readText(text, 2);
        EXPECT_EQ(read.outcome, FormatReadOutcome::Failed) << message;
        EXPECT_EQ(read.texts, Texts{message});
    }
}

TEST(FormatReaderTest, SilentReadingAndTurnStepsFollowTheChecks) {
    const std::string text = FormatLines{.tilt = "95, 30, 0, 1, 12"}.text();
    const auto screen = readText(text);
    const auto printer = readText(text, 1, 0, true);
    EXPECT_EQ(screen.texts.size(), 3u);
    ASSERT_EQ(printer.outcome, FormatReadOutcome::Read);
    const PlacedGraph &p = printer.state, &s = screen.state;
    EXPECT_EQ(std::tie(p.FXD, p.LWD, p.LDR, p.XEndY), std::tie(s.FXD, s.LWD, s.LDR, s.XEndY));

    // Turn steps apply after the checks.
    const auto turned = readText(FormatLines{.tilt = "85, 5, 1, 0, 1"}.text(), 3, 2);
    EXPECT_TRUE(turned.texts.empty());
    EXPECT_EQ(std::pair(turned.state.FXD, turned.state.FYD), std::pair(95.0f, -5.0f));
}

TEST(FormatReaderTest, DecodesJapaneseLabelsInEitherEncoding) {
    // "高さ" and "深さ (m)" in CP932, after a first comment line starting "テス".
    FormatLines lines{.xTitle = "4, \x8d\x82\x82\xb3", .zTitle = "4, \"\x90\x5b\x82\xb3 (m)\""};
    const auto cp932 = readText("\x83\x65\x83\x58" + lines.text().substr(4));
    ASSERT_EQ(cp932.outcome, FormatReadOutcome::Read);
    EXPECT_EQ((Texts{cp932.state.XLB, cp932.state.ZLB}), (Texts{"高さ", "深さ (m)"}));

    lines.xTitle = "4, 高さ";
    lines.zTitle = "4, \"深さ, 表\"";
    const auto utf8 = readText("\xEF\xBB\xBF" + lines.text("\r"));
    ASSERT_EQ(utf8.outcome, FormatReadOutcome::Read);
    EXPECT_EQ((Texts{utf8.state.XLB, utf8.state.ZLB}), (Texts{"高さ", "深さ, 表"}));
    EXPECT_TRUE(cp932.texts.empty() && utf8.texts.empty());
}

}  // namespace
}  // namespace kavlo
