#include "core/path_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/app_folder.h"
#include "core/page_setup.h"
#include "test_files.h"

namespace kavlo {

// Failures show the setup as the path file would hold it.
void PrintTo(const PageSetup& setup, std::ostream* out) {
    *out << formatPathFile(setup);
}

namespace {

// Differs from `known()` in every field, so a line applied to the wrong field shows.
PageSetup base() {
    PageSetup setup = sampleSetup("/design");
    setup.header = {"design header", 1, 5, 2};
    return setup;
}

PageSetup known() {
    PageSetup s;
    s.pickers[0] = {"/",
                    "/home/u/グラフ",
                    "*.fmt",
                    {"", "/home/u/グラフ/書式1.dat", "", "", "", "", "/home/u/グラフ/書式6.dat"}};
    s.pickers[1] = {"C:\\", "C:\\data", "*.dat", {"", "C:\\data\\g01.dat", "C:\\data\\g02.dat"}};
    s.pickers[2] = {"/", "/c", "*.cmt", {"", "", "", "", "", "/c/注記.txt", ""}};
    s.header = {"第1報, 温度分布, 2024", 2, 8, 1};
    return s;
}

std::vector<std::string> lines(const PageSetup& setup) {
    std::vector<std::string> out;
    const std::string text = formatPathFile(setup);
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        out.push_back(text.substr(start, end - start));
    }
    return out;
}

std::string join(const std::vector<std::string>& lines, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += lines[i] + "\r\n";
    }
    return text;
}

TEST(PathFileTest, ExactLayout) {
    EXPECT_EQ(formatPathFile(known()),
              "/\r\n/home/u/グラフ\r\n*.fmt\r\n/home/u/グラフ/書式1.dat\r\n\r\n\r\n\r\n\r\n"
              "/home/u/グラフ/書式6.dat\r\n"
              "C:\\\r\nC:\\data\r\n*.dat\r\nC:\\data\\g01.dat\r\nC:\\data\\g02.dat\r\n\r\n\r\n\r\n"
              "\r\n"
              "/\r\n/c\r\n*.cmt\r\n\r\n\r\n\r\n\r\n/c/注記.txt\r\n\r\n"
              "第1報, 温度分布, 2024\r\n2\r\n8\r\n1\r\n");
}

TEST(PathFileTest, RoundTripKeepsEveryFieldAndBackslashes) {
    EXPECT_EQ(parsePathFile(formatPathFile(known()), base()), known());
    EXPECT_EQ(parsePathFile(formatPathFile(known()) + "extra\r\n5\r\n", base()), known());
    test::TempDir dir;
    ASSERT_TRUE(writePathFile(dir.path() / kPathFileName, known()));
    EXPECT_EQ(readPathFile(dir.path() / kPathFileName, base()), known());
}

TEST(PathFileTest, ShortFileSetsOnlyTheLinesItHolds) {
    const auto all = lines(known());
    const struct {
        std::size_t lineCount;
        std::function<void(PageSetup&)> restore;
    } cases[] = {
        {0, [](PageSetup&) {}},
        {9, [](PageSetup& s) { s.pickers[0] = known().pickers[0]; }},
        {13,
         [](PageSetup& s) {
             s.pickers[0] = known().pickers[0];
             const PageSetup full = known();
             const FilePicker& numeric = full.pickers[1];
             s.pickers[1].drive = numeric.drive;
             s.pickers[1].folder = numeric.folder;
             s.pickers[1].pattern = numeric.pattern;
             s.pickers[1].files[1] = numeric.files[1];
         }},
        {28,
         [](PageSetup& s) {
             s.pickers = known().pickers;
             s.header.text = known().header.text;
         }},
    };
    for (const auto& c : cases) {
        PageSetup expected = base();
        c.restore(expected);
        EXPECT_EQ(parsePathFile(join(all, c.lineCount), base()), expected) << c.lineCount;
    }
}

TEST(PathFileTest, EmptyPatternLineGivesTheDefault) {
    auto all = lines(known());
    all[2] = all[11] = all[20] = "";
    const PageSetup setup = parsePathFile(join(all, all.size()), base());
    EXPECT_EQ(setup.picker(FileKind::Format).pattern, "*.dat");
    EXPECT_EQ(setup.picker(FileKind::Numeric).pattern, "*.dat");
    EXPECT_EQ(setup.picker(FileKind::Comment).pattern, "*.txt");
}

TEST(PathFileTest, IndexLinesAreReadAsNumbers) {
    const struct {
        std::string line;
        int index;
    } cases[] = {{" 2 ", 2}, {"\t7", 7}, {"-1", -1}, {"", 0},
                 {"x", 0},   {"2.5", 2}, {"3.5", 4}, {"9e99", 0}};
    auto all = lines(known());
    for (const auto& c : cases) {
        all[29] = c.line;
        EXPECT_EQ(parsePathFile(join(all, all.size()), base()).header.sizeIndex, c.index) << c.line;
    }
}

TEST(PathFileTest, Cp932FileWithBareLineEndsDecodes) {
    // "C:\表データ": the second byte of 表 is a backslash in CP932.
    const std::string folder = "C:\\\x95\x5C\x83\x66\x81\x5B\x83\x5E";
    const PageSetup setup = parsePathFile("C:\\\n" + folder + "\r\r" + folder + "\\f.dat", base());
    EXPECT_EQ(setup.picker(FileKind::Format).folder, "C:\\表データ");
    EXPECT_EQ(setup.picker(FileKind::Format).pattern, "*.dat");
    EXPECT_EQ(setup.file(FileKind::Format, 1), "C:\\表データ\\f.dat");
    EXPECT_EQ(setup.file(FileKind::Format, 2), base().file(FileKind::Format, 2));
}

TEST(PathFileTest, FolderOf) {
    const struct {
        std::string path, folder;
    } cases[] = {{"/a/b/c.dat", "/a/b/"},
                 {"C:\\data\\f.dat", "C:\\data\\"},
                 {"/a/b/", "/a/"},
                 {"name", ""},
                 {"/x", "/"},
                 {"/", ""},
                 {"", ""},
                 {"D:\\mix/f.dat", "D:\\mix/"}};
    for (const auto& c : cases) {
        EXPECT_EQ(folderOf(c.path), c.folder) << c.path;
    }
}

TEST(PathFileTest, FailedWriteLeavesNothingBehind) {
    test::TempDir dir;
    EXPECT_FALSE(writePathFile(dir.path() / "missing" / kPathFileName, known()));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    // A folder in the way: the temporary is written but cannot be renamed over it.
    std::filesystem::create_directory(dir.path() / kPathFileName);
    dir.write(std::string(kPathFileName) + "/inside", "x");
    EXPECT_FALSE(writePathFile(dir.path() / kPathFileName, known()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PathFileTest, WriteReplacesTheOldFileAndLeavesNoTemporary) {
    test::TempDir dir;
    const auto file = dir.write(kPathFileName, "old\r\n");
    ASSERT_TRUE(writePathFile(file, known()));
    EXPECT_EQ(readPathFile(file, base()), known());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PathFileTest, MissingOrEmptyFileMeansFirstRun) {
    test::TempDir dir;
    EXPECT_FALSE(readPathFile(dir.path() / kPathFileName, base()));
    EXPECT_FALSE(readPathFile(dir.write(kPathFileName, ""), base()));
    EXPECT_FALSE(readPathFile(dir.path(), base()));
}

// Sets or clears an environment variable for one test and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(PathFileTest, ApplicationFolderPrecedence) {
    const struct {
        const char* kavloHome;
        const char* xdgDataHome;
        std::optional<std::filesystem::path> option;
        std::filesystem::path folder;
    } cases[] = {
        {"/k", "/x", "/opt/h", "/opt/h"},
        {"/k", "/x", std::nullopt, "/k"},
        {"", "/x", std::nullopt, "/x/kavlo"},
        {nullptr, "", std::nullopt, "/home/t/.local/share/kavlo"},
        {nullptr, "relative", std::nullopt, "/home/t/.local/share/kavlo"},
    };
    const ScopedEnv home("HOME", "/home/t");
    for (const auto& c : cases) {
        const ScopedEnv kavloHome("KAVLO_HOME", c.kavloHome);
        const ScopedEnv xdg("XDG_DATA_HOME", c.xdgDataHome);
        EXPECT_EQ(applicationFolder(c.option), c.folder) << c.folder;
    }
}

TEST(PageSetupTest, SampleSet) {
    const std::string folder = "/home/u/.local/share/kavlo";
    const PageSetup setup = sampleSetup(folder);
    for (const FilePicker& picker : setup.pickers) {
        EXPECT_EQ(picker.drive, "/");
        EXPECT_EQ(picker.folder, folder);
    }
    EXPECT_EQ(setup.picker(FileKind::Numeric).pattern, "*.dat");
    EXPECT_EQ(setup.picker(FileKind::Comment).pattern, "*.txt");
    EXPECT_EQ(setup.file(FileKind::Format, 6), folder + "/frmqap6.dat");
    EXPECT_EQ(setup.file(FileKind::Numeric, 6), folder + "/g01.dat");
    EXPECT_EQ(setup.file(FileKind::Comment, 4), folder + "/cmtqap4.txt");
    EXPECT_EQ(setup.file(FileKind::Comment, 5), "");
    EXPECT_EQ(setup.header, HeaderSetup{});
    EXPECT_EQ(sampleSetup("/s/").file(FileKind::Format, 1), "/s/frmqap1.dat");
}

TEST(PageSetupTest, HeaderLists) {
    const struct {
        int index;
        std::string face;
        std::optional<int> size;
        HeaderAlignment alignment;
    } cases[] = {
        {-1, "", std::nullopt, HeaderAlignment::Left},
        {0, "ＭＳ Ｐ明朝", 1, HeaderAlignment::Left},
        {1, "ＭＳ Ｐゴシック", 2, HeaderAlignment::Centre},
        {2, "Times New Roman", 3, HeaderAlignment::Right},
        {3, "Arial", 4, HeaderAlignment::Left},
        {4, "", 5, HeaderAlignment::Left},
        {8, "", 9, HeaderAlignment::Left},
        {9, "", std::nullopt, HeaderAlignment::Left},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(headerFace(c.index), c.face) << c.index;
        EXPECT_EQ(headerSize(c.index), c.size) << c.index;
        EXPECT_EQ(headerAlignment(c.index), c.alignment) << c.index;
    }
}

}  // namespace
}  // namespace kavlo
