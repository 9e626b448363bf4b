#include "core/numeric_reader.h"

#include <gtest/gtest.h>

#include "core/graph_reader.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::TempDir;

const char* const kBadValue = "データが不正です。ファイルを見直して下さい。描画を中断します。";
const char* const kBadCount = "データ数が不正です。ファイルを見直して下さい。描画を中断します。";
const char* const kTooManyDigits =
    "Graph Data の値は整数部が (7-ZND) 桁以下にして下さい。描画を中断します。";
const char* const kTooMany =
    "データ数が多すぎます。(NX と NY の大きい方 + 1)×(IPL + 1) は 32767 以下、メッシュと面では "
    "IPL は 8190 以下にして下さい。描画を中断します。";

struct NumericRead {
    NumericReadOutcome outcome;
    std::vector<Message> messages;
    GraphState state;
};

// Reads `text` as the numeric file of slot 1 after a format with these z labels and lines.
NumericRead readText(std::string_view text, std::int16_t znd = 2, float zmn = 0, float zmx = 0,
                     std::int16_t ipl = 1, std::int16_t ldr = 1) {
    TempDir dir;
    NumericRead read{NumericReadOutcome::Aborted, {}, {}};
    GraphState& g = read.state;
    g.ZND = znd;
    g.ZMN = zmn;
    g.ZMX = zmx;
    g.IPL = ipl;
    g.LDR = ldr;
    RecordedMessages messages;
    read.outcome = readNumericFile(g, 1, dir.write("g.dat", text), messages, {});
    read.messages = messages.messages;
    return read;
}

TEST(NumericReaderTest, ReadsTheGridRowAfterRow) {
    // Spreadsheet exports: CR LF, a trailing comma, a byte-order mark, values split freely.
    const auto read = readText(
        "\xEF\xBB\xBF"
        "3,2,\r\n1.5, -2,3e1,\r\n\r\n4\t5 6  7 8\n");
    ASSERT_EQ(read.outcome, NumericReadOutcome::Read);
    EXPECT_TRUE(read.messages.empty());
    const GraphState& g = read.state;
    EXPECT_EQ(g.NX, 3);
    EXPECT_EQ(g.NY, 2);
    EXPECT_EQ(g.Z(1, 1), 1.5f);
    EXPECT_EQ(g.Z(2, 1), -2);
    EXPECT_EQ(g.Z(3, 1), 30);
    EXPECT_EQ(g.Z(1, 2), 4);
    EXPECT_EQ(g.Z(3, 2), 6);  // values beyond NX x NY are not read
    EXPECT_EQ(g.DataZMin, -2);
    EXPECT_EQ(g.DataZMax, 30);
}

TEST(NumericReaderTest, AbortsOnBadDataWithTheMessageOfTheFirstFault) {
    struct Case {
        const char* text;
        std::int16_t znd;
        const char* message;
    };
    const Case cases[] = {
        {"2,2\n1,2,3", 2, kBadValue},     // a value missing at the end
        {"2,2\n1,,2,3", 2, kBadValue},    // an empty cell is no zero
        {",2,2\n1,2,3,4", 2, kBadValue},  // nor is an empty first cell
        {"2,2\n1,2,x,4", 2, kBadValue},
        {"2,2\n1,2,nan,4", 2, kBadValue},
        {"2,2\n1,2,inf,4", 2, kBadValue},
        {"2,2\n1,2,1e99,4", 2, kBadValue},  // no 32-bit float
        {"", 2, kBadValue},
        {"two, 2\n1,2,3,4", 2, kBadValue},
        {"1,5\n1,2,3,4,5", 2, kBadCount},
        {"2,-3\n", 2, kBadCount},
        {"2,2\n1,2,99999.99,4", 2, nullptr},
        {"2,2\n1,2,100000,4", 2, kTooManyDigits},
        {"2,2\n1,2,-10,4", 6, kTooManyDigits},
        {"2,2\n1,x,-10,4", 6, kBadValue},  // the first fault decides
        {"40000,2\n1,2,3,4", 2, kTooMany},
        {"20000,2\n1,2,3,4", 2, kTooMany},  // (20001 x 2) does not fit 16 bits
    };
    for (const auto& c : cases) {
        const auto read = readText(c.text, c.znd);
        if (c.message == nullptr) {
            EXPECT_EQ(read.outcome, NumericReadOutcome::Read) << c.text;
            EXPECT_TRUE(read.messages.empty()) << c.text;
            continue;
        }
        EXPECT_EQ(read.outcome, NumericReadOutcome::Aborted) << c.text;
        ASSERT_EQ(read.messages.size(), 1u) << c.text;
        EXPECT_EQ(read.messages[0].title, " 1st Graph Data Error");
        EXPECT_EQ(read.messages[0].text, c.message) << c.text;
    }
}

TEST(NumericReaderTest, HugeAnnouncedGridFailsBeforeAnythingIsSized) {
    // 30000 x 30000 fits the index limits with IPL = 0 but would take gigabytes.
    const auto read = readText("30000, 30000\n1, 2, 3\n", 2, 0, 0, 0, 1);
    EXPECT_EQ(read.outcome, NumericReadOutcome::Aborted);
    ASSERT_EQ(read.messages.size(), 1u);
    EXPECT_EQ(read.messages[0].text, kBadValue);
    EXPECT_TRUE(read.state.Z.empty());
    EXPECT_TRUE(read.state.SplOut.empty());
}

TEST(NumericReaderTest, RefusesGridsBeyondTheSixteenBitIndexLimits) {
    EXPECT_TRUE(gridFitsArrays(2, 2, 8190, 3));
    EXPECT_FALSE(gridFitsArrays(2, 2, 8191, 3));  // 4 IPL + 5 of a mesh cell outline
    EXPECT_TRUE(gridFitsArrays(2, 2, 8191, 1));   // stream lines have no cell outline
    EXPECT_TRUE(gridFitsArrays(32766, 2, 0, 1));
    EXPECT_FALSE(gridFitsArrays(32767, 2, 0, 1));
    EXPECT_TRUE(gridFitsArrays(99, 9, 326, -8));  // 100 x 327 = 32700
    EXPECT_FALSE(gridFitsArrays(99, 9, 327, -8));

    const auto read = readText("2,2\n1,2,3,4", 2, 0, 0, 8191, -5);
    EXPECT_EQ(read.outcome, NumericReadOutcome::Aborted);
    ASSERT_EQ(read.messages.size(), 1u);
    EXPECT_EQ(read.messages[0].text, kTooMany);
}

TEST(NumericReaderTest, FlatDataNeedsAUserRange) {
    const auto automatic = readText("2,2\n5,5,5,5", 2, 0, 0);
    EXPECT_EQ(automatic.outcome, NumericReadOutcome::Aborted);
    ASSERT_EQ(automatic.messages.size(), 1u);
    EXPECT_EQ(automatic.messages[0].title, " 1st Format Data Error");
    EXPECT_EQ(automatic.messages[0].text,
              "ZMN は ZMX より小さく設定して下さい。描画を中断します。");

    const auto userRange = readText("2,2\n5,5,5,5", 2, 0, 10);
    EXPECT_EQ(userRange.outcome, NumericReadOutcome::Read);
    EXPECT_TRUE(userRange.messages.empty());
}

TEST(NumericReaderTest, SizesTheWorkArraysForEachGraphAfresh) {
    auto read = readText("4,3\n1,2,3,4,5,6,7,8,9,10,11,12", 2, 0, 0, 2, -3);
    ASSERT_EQ(read.outcome, NumericReadOutcome::Read);
    GraphState& g = read.state;
    const int m = 5;
    const int r = 3;
    const std::vector<int> uppers = {g.Z.upper1(),     g.Z.upper2(),     g.SplIn.upper1(),
                                     g.SplIn.upper2(), g.SplOut.upper(), g.SplE.upper2(),
                                     g.Pts.upper(),    g.XRefZ.upper1(), g.XRefZ.upper2(),
                                     g.YRefW.upper1(), g.YRefW.upper2(), g.CellPts.upper()};
    EXPECT_EQ(uppers, (std::vector<int>{5, 4, m, r, m * r, m * r, m * r, 5 * r, 4, 5, 4 * r, 13}));

    // A smaller stream-line graph read next leaves nothing of the mesh behind.
    TempDir dir;
    g.IPL = 0;
    g.LDR = 2;
    RecordedMessages messages;
    ASSERT_EQ(readNumericFile(g, 1, dir.write("small.dat", "2 2 9 8 7 6"), messages, {}),
              NumericReadOutcome::Read);
    EXPECT_EQ(g.Z.upper1(), 3);
    EXPECT_EQ(g.Z(1, 1), 9);
    EXPECT_EQ(g.SplOut.upper(), 3);
    EXPECT_TRUE(g.XRefZ.empty());
    EXPECT_TRUE(g.CellPts.empty());
    EXPECT_EQ(g.DataZMax, 9);
}

TEST(NumericReaderTest, SlotOutcomesFollowTheFilesNamed) {
    TempDir dir;
    const std::string format = dir.write("f.dat", test::FormatLines().text());
    const std::string grid = dir.write("g.dat", "2,2\n0,1,2,3\n");
    const std::string missing = (dir.path() / "gone.dat").string();
    GraphState g;
    RecordedMessages messages;
    EXPECT_EQ(readGraph(g, 1, {format, grid}, 25, 10, messages, {}).outcome,
              GraphReadOutcome::Plot);
    EXPECT_EQ(readGraph(g, 1, {format, ""}, 25, 10, messages, {}).outcome,
              GraphReadOutcome::FrameOnly);
    EXPECT_TRUE(messages.messages.empty());

    const GraphRead gone = readGraph(g, 3, {format, missing}, 25, 10, messages, {});
    EXPECT_EQ(gone.outcome, GraphReadOutcome::Skipped);
    EXPECT_TRUE(gone.clearNumericName());
    EXPECT_FALSE(gone.clearFormatName());
    EXPECT_FALSE(gone.aborted());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].title, " 3rd Graph Data Error");

    const GraphRead formatGone = readGraph(g, 1, {missing, grid}, 25, 10, messages, {});
    EXPECT_TRUE(formatGone.clearFormatName());
    EXPECT_EQ(formatGone.outcome, GraphReadOutcome::Skipped);

    const std::string bad = dir.write("bad.dat", "1,1\n0");
    const GraphRead aborted = readGraph(g, 1, {format, bad}, 25, 10, messages, {});
    EXPECT_TRUE(aborted.aborted());
    EXPECT_FALSE(aborted.clearNumericName());

    // The printer pass reads silently and tests no existence.
    SilentMessages silent;
    EXPECT_EQ(readGraph(g, 1, {format, missing}, 25, 10, silent, ReadRules{false}).outcome,
              GraphReadOutcome::Skipped);
}

}  // namespace
}  // namespace kavlo
