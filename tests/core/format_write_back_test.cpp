#include "core/format_write_back.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "test_files.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(const fs::path& file) {
    if (!fs::is_regular_file(file)) {
        return "(none)";
    }
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FormatWriteBackTest, ValuesKeepOneToSixDecimals) {
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {40, "40.0"}, {0.5, "0.5"}, {-12, "-12.0"}, {7.0710678, "7.071068"}, {3, "3.0"},
        {1.23456789, "1.234568"}, {2.5e-6, "0.000003"}, {-4e-7, "0.0"}, {123456.5, "123456.5"}};
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatWriteBackValue(value), text) << value;
    }
}

TEST(FormatWriteBackTest, RewritesLines6And13AndKeepsEveryOtherByte) {
    const struct {
        const char *tilt, *zLabels;
        double turn, zoom;
        const char *line6, *line13;
    } cases[] = {
        {"30, 20, 1, 2, 1", "3, 2, 0, 8", 2, -2, "   40.0   10.0   1.0   2.0   1.0",
         "   3.0   2.0   0.0   4.0"},
        {"30 20\t1 2 -3", "3, 2, 5, 5", 0, 1, "   30.0   20.0   1.0   2.0   -3.0",
         "   3.0   2.0   5.0   7.071068"},
        {"0.5,89.25,2,0,8", "3.5, 1, 8, 2", -1, 0, "   -4.5   94.25   2.0   0.0   8.0",
         "   3.5   1.0   2.0   8.0"},
    };
    for (const auto& c : cases) {
        test::FormatLines format;
        format.tilt = c.tilt;
        format.zLabels = c.zLabels;
        format.xTitle = "4, \"\x95\x5c\x8e\xa6 (m)\"";  // CP932, with a 0x5C trail byte
        const std::string comment = "\x83\x65\x83\x58\x83\x67 comment";
        std::string input = format.text("\n");
        input.replace(0, input.find('\n'), comment);
        test::TempDir dir;
        const auto file = dir.write("f.dat", input);
        ASSERT_EQ(writeBackView(file, c.turn, c.zoom), std::nullopt) << c.tilt;
        test::FormatLines expected = format;
        expected.tilt = c.line6;
        expected.zLabels = c.line13;
        std::string want = expected.text();
        want.replace(0, want.find('\r'), comment);
        EXPECT_EQ(bytesOf(file), want) << c.tilt;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
    }
}

TEST(FormatWriteBackTest, ShortFileKeepsContentAndPermissions) {
    test::TempDir dir;
    const auto file = dir.write("short.dat", "a\nb\r\n\rc\r, 1, x");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(file, perms);
    ASSERT_EQ(writeBackView(file, 3, 3), std::nullopt);
    EXPECT_EQ(bytesOf(file), "a\r\nb\r\n\r\nc\r\n, 1, x\r\n");
    EXPECT_EQ(fs::status(file).permissions(), perms);
}

TEST(FormatWriteBackTest, FailureNamesTheFileAndLeavesItAsItWas) {
    test::TempDir dir;
    test::FormatLines badTilt, badZ;
    badTilt.tilt = "30, x, 1, 2, 1";
    badZ.zLabels = "3, 2, 0";
    const std::string badTiltText = badTilt.text(), badZText = badZ.text();
    fs::create_directory(dir.path() / "folder.dat");
    const struct {
        std::string file;
        std::string original;  // bytes the file must still hold
        const char* detail;
    } cases[] = {
        {(dir.path() / "missing.dat").string(), "(none)", "読み込めません"},
        {(dir.path() / "folder.dat").string(), "(none)", "読み込めません"},
        {"/proc/version", bytesOf("/proc/version"), "書き込めません"},  // even for root
        {dir.write("tilt.dat", badTiltText), badTiltText, "6 行目の FYD"},
        {dir.write("z.dat", badZText), badZText, "13 行目の ZMX"},
    };
    for (const auto& c : cases) {
        const auto message = writeBackView(c.file, 2, 2);
        ASSERT_TRUE(message.has_value()) << c.file;
        EXPECT_NE(message->find(c.file), std::string::npos) << *message;
        EXPECT_NE(message->find(c.detail), std::string::npos) << *message;
        EXPECT_EQ(bytesOf(c.file), c.original);
    }
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder.dat"));
    EXPECT_FALSE(fs::exists(dir.path() / "missing.dat"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3);
}

}  // namespace
}  // namespace kavlo
