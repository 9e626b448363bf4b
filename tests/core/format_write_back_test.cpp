#include "core/format_write_back.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "test_files.h"
#include "text_checks.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

// The file's bytes; "(none)" for a folder or no file.
std::string bytesOf(const fs::path& file) {
    return fs::is_regular_file(file) ? test::bytesOf(file) : "(none)";
}

// Lines 6 and 13 as given, in a file with a CP932 first line and a CP932 title whose trail
// byte is 0x5C.
std::string formatText(const char* tilt, const char* zLabels, std::string_view lineEnd) {
    const test::FormatLines lines{
        .tilt = tilt, .zLabels = zLabels, .xTitle = "4, \"\x95\x5c\x8e\xa6 (m)\""};
    std::string text = lines.text(lineEnd);
    return text.replace(0, text.find(lineEnd[0]), "\x83\x65\x83\x58\x83\x67 comment");
}

TEST(FormatWriteBackTest, ValuesKeepOneToSixDecimals) {
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {40, "40.0"}, {0.5, "0.5"}, {-12, "-12.0"}, {7.0710678, "7.071068"},
        {1.23456789, "1.234568"}, {2.5e-6, "0.000003"}, {-4e-7, "0.0"}, {123456.5, "123456.5"}};
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatWriteBackValue(value), text) << value;
    }
}

TEST(FormatWriteBackTest, RewritesLines6And13AndKeepsEveryOtherByte) {
    // An automatic range zoomed takes the range shown, which line 13 keeps from then on; without
    // zoom steps line 13 only gets its range in order.
    // clang-format off
    const struct { const char *tilt, *zLabels; ViewChange change; const char *line6, *line13; }
    cases[] = {
        {"30, 20, 1, 2, 1", "3, 2, 0, 8", {2, -2, {0, 4}},
         "   40.0   10.0   1.0   2.0   1.0", "   3.0   2.0   0.0   4.0"},
        {"30 20\t1 2 -3", "3, 2, 5, 5", {0, 1, {-0.25f, 7.0710678f}},
         "   30.0   20.0   1.0   2.0   -3.0", "   3.0   2.0   -0.25   7.071068"},
        {"0.5,89.25,2,0,8", "3.5, 1, 8, 2", {-1, 0, {1, 9}},
         "   -4.5   94.25   2.0   0.0   8.0", "   3.5   1.0   2.0   8.0"}};
    // clang-format on
    for (const auto& c : cases) {
        test::TempDir dir;
        const auto file = dir.write("f.dat", formatText(c.tilt, c.zLabels, "\n"));
        const WriteBackResult result = writeBackView(file, c.change);
        ASSERT_EQ(result.failure, std::nullopt) << c.tilt;
        EXPECT_EQ(result.note, std::nullopt) << c.tilt;
        EXPECT_EQ(bytesOf(file), formatText(c.line6, c.line13, "\r\n")) << c.tilt;
    }
    // A zoomed range that is empty or reversed leaves line 13 with a note.
    const ZRange ranges[] = {{2, 2}, {3, 1}, {std::numeric_limits<float>::quiet_NaN(), 1}};
    for (const ZRange& shown : ranges) {
        test::TempDir dir;
        const auto file = dir.write("f.dat", formatText("30, 20, 1, 2, 1", "3, 2, 8, 2", "\n"));
        const WriteBackResult result = writeBackView(file, {1, -3, shown});
        ASSERT_EQ(result.failure, std::nullopt);
        EXPECT_TRUE(test::holdsAll(result.note.value_or(""), {"13 行目", file}));
        EXPECT_EQ(bytesOf(file),
                  formatText("   35.0   15.0   1.0   2.0   1.0", "3, 2, 8, 2", "\r\n"));
    }

    // A short file keeps its content.
    test::TempDir dir;
    const auto file = dir.write("short.dat", "a\nb\r\n\rc\r, 1, x");
    const WriteBackResult result = writeBackView(file, {3, 3, {0, 1}});
    ASSERT_EQ(result.failure, std::nullopt);
    EXPECT_EQ(result.note, std::nullopt);
    EXPECT_EQ(bytesOf(file), "a\r\nb\r\n\r\nc\r\n, 1, x\r\n");
}

TEST(FormatWriteBackTest, FailureNamesTheFileAndLeavesItAsItWas) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "folder.dat");
    const std::pair<std::string, const char*> cases[] = {
        {(dir.path() / "folder.dat").string(), "読み込めません"},
        {"/proc/version", "書き込めません"},  // even for root
        {dir.write("tilt.dat", test::FormatLines{.tilt = "30, x, 1, 2, 1"}.text()), "6 行目の FYD"},
        {dir.write("z.dat", test::FormatLines{.zLabels = "3, 2, 0"}.text()), "13 行目の ZMX"},
    };
    for (const auto& [file, detail] : cases) {
        const std::string original = bytesOf(file);
        const std::string message = writeBackView(file, {2, 2, {0, 1}}).failure.value_or("-");
        EXPECT_TRUE(test::holdsAll(message, {file, detail}));
        EXPECT_EQ(bytesOf(file), original);
    }
}

}  // namespace
}  // namespace kavlo
