#include "core/numeric_reader.h"

#include <gtest/gtest.h>

#include "core/bounded_file.h"
#include "core/graph_reader.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::TempDir;
// The outcome and the messages shown, each as title and text.
using Result = std::pair<NumericReadOutcome, std::vector<std::pair<std::string, std::string>>>;

const char* const kBadValue = "データが不正です。ファイルを見直して下さい。描画を中断します。";
const char* const kBadCount = "データ数が不正です。ファイルを見直して下さい。描画を中断します。";
const char* const kTooManyDigits =
    "Graph Data の値は整数部が (7-ZND) 桁以下にして下さい。描画を中断します。";
const char* const kTooMany =
    "データ数が多すぎます。(NX と NY の大きい方 + 1)×(IPL + 1) は 32767 以下、メッシュと面では "
    "IPL は 8190 以下にして下さい。描画を中断します。";
const char* const kLineTooLong = "ファイルに長すぎる行があります。ご確認ください。 ";

const Result kRead{NumericReadOutcome::Read, {}};
Result abortedWith(const char* text, const char* title = " 1st Graph Data Error") {
    return {NumericReadOutcome::Aborted, {{title, text}}};
}

struct NumericTextRead {
    Result result;
    PlacedGraph state;
};

// Reads `text` as the numeric file of slot 1 after the format read as `g`; the grid lands in
// `g`, as a graph read leaves it.
NumericTextRead readInto(PlacedGraph g, std::string_view text) {
    TempDir dir;
    RecordedMessages messages;
    NumericRead numeric = readNumericFile(1, dir.write("g.dat", text), g, messages, {});
    static_cast<Grid&>(g) = std::move(numeric.grid);
    NumericTextRead read{{numeric.outcome, {}}, std::move(g)};
    for (const auto& m : messages.messages) {
        read.result.second.emplace_back(m.title, m.text);
    }
    return read;
}

// The same after a format with these z labels and lines.
NumericTextRead readText(std::string_view text, std::int16_t znd = 2, float zmn = 0, float zmx = 0,
                         std::int16_t ipl = 1, std::int16_t ldr = 1) {
    PlacedGraph g;
    std::tie(g.ZND, g.ZMN, g.ZMX, g.IPL, g.LDR) = std::tuple(znd, zmn, zmx, ipl, ldr);
    return readInto(g, text);
}

// The grid's values, x index fastest.
std::vector<float> valuesOf(const PlacedGraph& g) {
    std::vector<float> z;
    for (int j = 1; j <= g.NY; ++j) {
        for (int i = 1; i <= g.NX; ++i) {
            z.push_back(g.Z(i, j));
        }
    }
    return z;
}

TEST(NumericReaderTest, ReadsTheGridRowAfterRow) {
    // Spreadsheet exports: CR LF, a trailing comma, a byte-order mark, values split freely;
    // five integer digits fit ZND = 2, the sign aside.
    const auto read =
        readText(std::string("\xEF\xBB\xBF") +
                 "3,2,\r\n1.5, -99999.99,3e1,\r\n\r\n0.001e-9223372036854775807\t1e-50 6  7 8\n");
    ASSERT_EQ(read.result, kRead);
    const PlacedGraph& g = read.state;
    EXPECT_EQ(std::pair(g.NX, g.NY), (std::pair<std::int16_t, std::int16_t>(3, 2)));
    // Values beyond NX x NY are not read.
    // A value too small for a float is zero, however long its exponent.
    const std::vector<float> values = {g.Z(1, 1), g.Z(2, 1), g.Z(3, 1),  g.Z(1, 2),
                                       g.Z(2, 2), g.Z(3, 2), g.DataZMin, g.DataZMax};
    EXPECT_EQ(values, (std::vector<float>{1.5f, -99999.99f, 30, 0, 0, 6, -99999.99f, 30}));
}

TEST(NumericReaderTest, AbortsOnBadDataWithTheMessageOfTheFirstFault) {
    const std::tuple<std::int16_t, std::vector<const char*>, const char*> groups[] = {
        // A value missing at the end, empty cells, text, no 32-bit float.
        {2,
         {"2,2\n1,2,3", "2,2\n1,,2,3", ",2,2\n1,2,3,4", "", "two, 2\n1,2,3,4", "2,2\n1,2,nan,4",
          "2,2\n1,2,1e99,4"},
         kBadValue},
        {6, {"2,2\n1,x,-10,4"}, kBadValue},  // the first fault decides
        {2, {"1,5\n1,2,3,4,5", "2,-3\n"}, kBadCount},
        {2, {"2,2\n1,2,100000,4"}, kTooManyDigits},
        {6, {"2,2\n1,2,-10,4"}, kTooManyDigits},
        // (20001 x 2) does not fit 16 bits either.
        {2, {"40000,2\n1,2,3,4", "20000,2\n1,2,3,4"}, kTooMany},
    };
    for (const auto& [znd, texts, message] : groups) {
        for (const char* text : texts) {
            EXPECT_EQ(readText(text, znd).result, abortedWith(message)) << text;
        }
    }
    // 30000 x 30000 fits the index limits with IPL = 0 but would take gigabytes.
    const auto read = readText("30000, 30000\n1, 2, 3\n", 2, 0, 0, 0, 1);
    EXPECT_EQ(read.result, abortedWith(kBadValue));
    EXPECT_TRUE(read.state.Z.empty());
    // Flat data needs a user range.
    EXPECT_EQ(readText("2,2\n5,5,5,5", 2, 0, 0).result,
              abortedWith("ZMN は ZMX より小さく設定して下さい。描画を中断します。",
                          " 1st Format Data Error"));
    EXPECT_EQ(readText("2,2\n5,5,5,5", 2, 0, 10).result, kRead);
    // Grids beyond the 16-bit index limits are refused.
    EXPECT_TRUE(gridFitsArrays(2, 2, 8190, 3));
    EXPECT_FALSE(gridFitsArrays(2, 2, 8191, 3));  // 4 IPL + 5 of a mesh cell outline
    EXPECT_TRUE(gridFitsArrays(2, 2, 8191, 1));   // stream lines have no cell outline
    EXPECT_TRUE(gridFitsArrays(32766, 2, 0, 1));
    EXPECT_FALSE(gridFitsArrays(32767, 2, 0, 1));
    EXPECT_TRUE(gridFitsArrays(99, 9, 326, -8));  // 100 x 327 = 32700
    EXPECT_FALSE(gridFitsArrays(99, 9, 327, -8));
    EXPECT_EQ(readText("2,2\n1,2,3,4", 2, 0, 0, 8191, -5).result, abortedWith(kTooMany));
}

TEST(NumericReaderTest, SizesTheGridForEachGraphAfresh) {
    const auto read = readText("4,3\n1,2,3,4,5,6,7,8,9,10,11,12", 2, 0, 0, 2, -3);
    ASSERT_EQ(read.result, kRead);
    const PlacedGraph& g = read.state;
    EXPECT_EQ(std::pair(g.Z.upper1(), g.Z.upper2()), std::pair(5, 4));

    // A smaller graph read next leaves nothing of the first behind.
    const auto small = readInto(g, "2 2 9 8 7 6");
    ASSERT_EQ(small.result, kRead);
    const PlacedGraph& s = small.state;
    EXPECT_EQ((std::vector<float>{s.Z(1, 1), s.DataZMax}), (std::vector<float>{9, 9}));
    EXPECT_EQ(std::pair(s.Z.upper1(), s.Z.upper2()), std::pair(3, 3));
}

TEST(NumericReaderTest, SlotOutcomesFollowTheFilesNamed) {
    TempDir dir;
    const std::string format = dir.write("f.dat", test::FormatLines().text());
    const std::string grid = dir.write("g.dat", "2,2\n0,1,2,3\n");
    const std::string missing = (dir.path() / "gone.dat").string();
    PlacedGraph g;
    RecordedMessages messages;
    auto read = [&](int slot, const std::string& n) {
        return readGraph(g, slot, {format, n}, 25, 10, 0, messages, {});
    };
    EXPECT_EQ(read(1, grid).outcome, GraphReadOutcome::Plot);
    EXPECT_EQ(read(1, "").outcome, GraphReadOutcome::FrameOnly);
    EXPECT_EQ(read(3, missing).outcome, GraphReadOutcome::Skipped);
    ASSERT_EQ(messages.messages.size(), 1u);  // none from the two above
    EXPECT_EQ(messages.messages[0].title, " 3rd Graph Data Error");
    const GraphRead aborted = read(1, dir.write("bad.dat", "1,1\n0"));
    EXPECT_TRUE(aborted.aborted() && !aborted.clearNumericName());

    // The printer pass reads silently and tests no existence.
    SilentMessages silent;
    EXPECT_EQ(readGraph(g, 1, {format, missing}, 25, 10, 0, silent, ReadRules{false}).outcome,
              GraphReadOutcome::Skipped);
}

// A row longer than the reader's line limit is read in pieces, whatever stands where a piece
// ends; only one value longer than a piece is refused.
TEST(SpecialFileTest, ARowLongerThanALineReadsInPieces) {
    const std::size_t piece = readLimitsFor(DataFileKind::Numeric).maxLineBytes;
    const std::vector<float> oneToSix{1, 2, 3, 4, 5, 6};
    // A run of blanks longer than a piece between two values, the grid past the third piece.
    const auto spread = readText(
        "\xEF\xBB\xBF"
        "2, 3\n1" +
        std::string(2 * piece + 7, ' ') + "2, 3,\t4 " + std::string(piece, ' ') + "5 , 6\r\n");
    ASSERT_EQ(spread.result, kRead);
    EXPECT_EQ(valuesOf(spread.state), oneToSix);

    // Where a piece ends: between a blank and the comma that separates, inside a value, and
    // between two commas that hold an empty value.
    const auto rowEndingAt = [&](const std::string& before, const std::string& after) {
        return readText("2, 3\n" + std::string(piece - before.size(), ' ') + before + after + "\n");
    };
    EXPECT_EQ(valuesOf(rowEndingAt("1 ", ",2, 3, 4, 5, 6").state), oneToSix);
    EXPECT_EQ(valuesOf(rowEndingAt("1 12", "5, 3, 4, 5, 6").state),
              (std::vector<float>{1, 125, 3, 4, 5, 6}));
    EXPECT_EQ(rowEndingAt("1,", ",2, 3, 4, 5, 6").result, abortedWith(kBadValue));
    EXPECT_EQ(readText("2, 2\n1 " + std::string(2 * piece, '7') + " 3 4\n").result,
              abortedWith(kLineTooLong));
}

}  // namespace
}  // namespace kavlo
