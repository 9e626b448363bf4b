#include "core/path_file.h"
#include "core/path_relocation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/app_folder.h"
#include "core/bounded_file.h"
#include "core/drive_roots.h"
#include "core/page_setup.h"
#include "test_files.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

// Differs from `known()` in every field, so a line applied to the wrong field shows.
PageSetup base() {
    PageSetup setup = sampleSetup("/design");
    setup.header = {"design header", 1, 5, 2};
    return setup;
}

PageSetup known() {
    PageSetup s;
    s.pickers[0] = {
        "/", "/u/グラフ", "*.fmt", {"", "/u/グラフ/書式1.dat", "", "", "", "", "/u/書式6.dat"}};
    s.pickers[1] = {"C:\\", "C:\\data", "*.dat", {"", "C:\\data\\g01.dat", "C:\\data\\g02.dat"}};
    s.pickers[2] = {"/", "/c", "*.cmt", {"", "", "", "", "", "/c/注記.txt", ""}};
    s.header = {"第1報, 温度分布, 2024", 2, 8, 1};
    return s;
}

// The known file cut after `count` lines, with line `index` (from 0) swapped for `line`.
std::string knownLines(std::size_t count, std::size_t index = 99, const std::string& line = "") {
    std::string text = formatPathFile(known()), out;
    for (std::size_t i = 0, start = 0, end; i < count; ++i, start = end + 2) {
        end = text.find("\r\n", start);
        out += (i == index ? line : text.substr(start, end - start)) + "\r\n";
    }
    return out;
}

TEST(PathFileTest, ExactLayoutRoundTripsWholeOrInPart) {
    EXPECT_EQ(
        formatPathFile(known()),
        "/\r\n/u/グラフ\r\n*.fmt\r\n/u/グラフ/書式1.dat\r\n\r\n\r\n\r\n\r\n/u/書式6.dat\r\n"
        "C:\\\r\nC:\\data\r\n*.dat\r\nC:\\data\\g01.dat\r\nC:\\data\\g02.dat\r\n\r\n\r\n\r\n\r\n"
        "/\r\n/c\r\n*.cmt\r\n\r\n\r\n\r\n\r\n/c/注記.txt\r\n\r\n"
        "第1報, 温度分布, 2024\r\n2\r\n8\r\n1\r\n");
    EXPECT_TRUE(parsePathFile(formatPathFile(known()) + "extra\r\n5\r\n", base()) == known());
    // A short file sets only the lines it holds.
    PageSetup expected = base();
    expected.pickers[0] = known().pickers[0];
    EXPECT_TRUE(parsePathFile(knownLines(9), base()) == expected);
    expected.pickers = known().pickers;
    expected.header.text = known().header.text;
    EXPECT_TRUE(parsePathFile(knownLines(28), base()) == expected);
}

TEST(PathFileTest, EmptyOrOddLinesAreReadLeniently) {
    for (const auto& [index, kind, pattern] :
         {std::tuple(2, FileKind::Format, "*.dat"), std::tuple(11, FileKind::Numeric, "*.dat"),
          std::tuple(20, FileKind::Comment, "*.txt")}) {
        EXPECT_EQ(parsePathFile(knownLines(31, index), base()).picker(kind).pattern, pattern);
    }
    // Index lines are read as numbers.
    const std::pair<std::string, int> cases[] = {{" 2 ", 2}, {"\t7", 7}, {"-1", -1}, {"", 0},
                                                 {"x", 0},   {"2.5", 2}, {"3.5", 4}, {"9e99", 0}};
    for (const auto& [line, index] : cases) {
        EXPECT_EQ(parsePathFile(knownLines(31, 29, line), base()).header.sizeIndex, index) << line;
    }
}

TEST(PathFileTest, FolderOf) {
    EXPECT_EQ(folderOf("/x"), "/");
    EXPECT_EQ(folderOf("/"), "");
    EXPECT_EQ(folderOf("name"), "");
    EXPECT_EQ(folderOf("/a/b/"), "/a/");
    EXPECT_EQ(folderOf("C:\\data\\f.dat"), "C:\\data\\");
    EXPECT_EQ(folderOf("D:\\mix/f.dat"), "D:\\mix/");
}

TEST(PathFileTest, FileOnDiskIsReplacedWholeOrNotAtAll) {
    test::TempDir dir;
    const auto file = dir.path() / kPathFileName;
    // Missing or empty means first run.
    EXPECT_FALSE(readPathFile(file, base()));
    EXPECT_FALSE(readPathFile(dir.write(kPathFileName, ""), base()));
    EXPECT_FALSE(readPathFile(dir.path(), base()));
    EXPECT_FALSE(writePathFile(dir.path() / "missing" / kPathFileName, known()));
    ASSERT_TRUE(writePathFile(file, known()));
    EXPECT_TRUE(readPathFile(file, base()) == known());
    // A name holding a line break is refused: written, it would shift every later line.
    for (const char* name : {"/c/a\nb.txt", "/c/a\rb.txt"}) {
        PageSetup broken = base();
        broken.file(FileKind::Comment, 6) = name;
        EXPECT_FALSE(writePathFile(file, broken));
        EXPECT_TRUE(readPathFile(file, base()) == known());
    }
}

// Sets or clears an environment variable and puts the old value back.
struct ScopedEnv {
    ScopedEnv(const char* name, const char* value)
        : name(name), had(std::getenv(name)), old(had ? std::getenv(name) : "") {
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had ? setenv(name, old.c_str(), 1) : unsetenv(name); }
    const char* name;
    bool had;
    std::string old;
};

TEST(PathFileTest, ApplicationFolderPrecedence) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/k", "/x", "/k"},
        {"", "/x", "/x/kavlo"},
        {nullptr, "", "/home/t/.local/share/kavlo"},
        {nullptr, "relative", "/home/t/.local/share/kavlo"}};
    const ScopedEnv home("HOME", "/home/t");
    for (const auto& [kavloHome, xdgDataHome, folder] : cases) {
        const ScopedEnv kavlo("KAVLO_HOME", kavloHome), xdg("XDG_DATA_HOME", xdgDataHome);
        EXPECT_EQ(applicationFolder(std::nullopt), folder) << folder;
        EXPECT_EQ(applicationFolder("/opt/h"), "/opt/h") << "the option wins over " << folder;
    }
}

TEST(PageSetupTest, SampleSetAndHeaderLists) {
    EXPECT_EQ(sampleSetup("/s/").file(FileKind::Format, 6), "/s/frmqap6.dat");
    EXPECT_EQ(sampleSetup("/s").file(FileKind::Comment, 4), "/s/cmtqap4.txt");
    EXPECT_EQ(headerSize(9), std::nullopt);
}

// A working folder copied from Windows to 作業, its path file CP932; names ending in '/' are
// folders.
fs::path copiedFolder(const test::TempDir& dir, const std::vector<std::string>& names,
                      const PageSetup& setup) {
    fs::create_directories(dir.path() / "作業");
    for (const std::string& name : names) {
        if (name.ends_with('/')) {
            fs::create_directory(dir.path() / "作業" / name);
        } else {
            dir.write("作業/" + name, "data");
        }
    }
    dir.write("作業/Kavlo.pth", test::toCp932(formatPathFile(setup)));
    return dir.path() / "作業" / kPathFileName;
}

TEST(PathRelocationTest, SlotFilesAreLookedUpByNameInThePathFilesFolder) {
    const test::TempDir elsewhere;
    const std::string existing = elsewhere.write("g01.dat", "data");
    // As written, the names on disk, and the one found ("": none, "=": kept as written).
    const std::tuple<std::string, std::vector<std::string>, std::string> cases[] = {
        {R"(C:\Users\tanaka\Kavlo\1204-1035\frmqap1.dat)", {"frmqap1.dat"}, "frmqap1.dat"},
        {R"(\Users\tanaka\g01.dat)", {"g01.dat"}, "g01.dat"},
        {"D:g01.dat", {"g01.dat"}, "g01.dat"},
        {R"(\\server\share\Kavlo\cmtqap3.txt)", {"cmtqap3.txt"}, "cmtqap3.txt"},
        {R"(C:/Users\tanaka/Kavlo\frmqap6.dat)", {"frmqap6.dat"}, "frmqap6.dat"},
        {R"(C:\Kavlo\frmqap2.dat)", {"FRMQAP2.DAT"}, "FRMQAP2.DAT"},
        {R"(C:\Kavlo\Frmqap3.dat)", {"FRMQAP3.DAT", "Frmqap3.dat", "frmqap3.dat"}, "Frmqap3.dat"},
        {R"(C:\Kavlo\frmQAP4.dat)", {"frmqap4.dat", "FRMQAP4.DAT"}, "FRMQAP4.DAT"},
        {R"(C:\Kavlo\zplot_az.dat)", {"ZPLOT_AZ.DAT"}, "ZPLOT_AZ.DAT"},  // both ends of A-Z
        {R"(C:\Kavlo\G01.DAT)", {"G01.DAT/", "g01.dat"}, "g01.dat"},     // a folder is no file
        // The second byte of 表 in CP932 is a backslash.
        {R"(C:\表データ\注記ファイル.txt)", {"注記ファイル.txt"}, "注記ファイル.txt"},
        {R"(C:\Kavlo\Ｇ01.dat)", {"ｇ01.dat"}, ""},  // only ASCII letters fold
        {existing, {"g01.dat"}, "="},
        {R"(C:\Kavlo\g04.dat)", {"g01.dat"}, ""},
        {R"(C:\Kavlo\)", {"frmqap5.dat"}, ""},
    };
    int row = 0;
    for (const auto& [written, onDisk, found] : cases) {
        SCOPED_TRACE(written);
        const auto kind = static_cast<FileKind>(row % 3);
        const int slot = row++ % kSlotCount + 1;
        const test::TempDir dir;
        PageSetup setup;
        setup.file(kind, slot) = written;
        const auto loaded = readRelocatedPathFile(copiedFolder(dir, onDisk, setup), {});
        ASSERT_TRUE(loaded);
        const std::string path =
            found.empty() || found == "=" ? "" : (dir.path() / "作業" / found).string();
        EXPECT_EQ(loaded->setup.file(kind, slot), path.empty() ? written : path);
        const RelocationReport told{{slot, kind, written, path}};
        EXPECT_EQ(loaded->report, found == "=" ? RelocationReport{} : told);
    }
}

TEST(PathRelocationTest, WindowsLoadFallsBackToThePathFilesFolderTellsOnceAndWritesNothing) {
    const test::TempDir dir;
    const std::string win = R"(C:\Users\tanaka\Kavlo)";
    PageSetup setup;
    setup.pickers[0] = {"C:", win, "*.dat", {"", win + R"(\frmqap1.dat)"}};
    setup.pickers[1] = {"/", dir.path().string(), "*.dat", {"", "", win + R"(\g02.dat)"}};
    setup.pickers[2].pattern = "*.txt";
    const fs::path pathFile = copiedFolder(dir, {"FRMQAP1.DAT"}, setup);
    const std::string bytes = readBoundedFile(pathFile, DataFileKind::PathFile).bytes;

    const auto loaded = loadWorkingFolder(pathFile, {});
    ASSERT_TRUE(loaded);
    const std::string folder = (dir.path() / "作業").string(), found = folder + "/FRMQAP1.DAT";
    PageSetup expected = setup;
    expected.pickers[0] = {driveHolding(folder, driveRootFolders()), folder, "*.dat", {"", found}};
    expected.file(FileKind::Numeric, 2) = "";  // found nowhere: emptied for the windows
    EXPECT_EQ(loaded->setup, expected);
    EXPECT_EQ(relocationMessage(loaded->report),
              (Message{"Kavlo.pth",
                       "グラフ 1: 書式データファイル " + win + R"(\frmqap1.dat → )" + found +
                           "\nグラフ 2: 数値データファイル " + win + R"(\g02.dat がありません。)",
                       MessageIcon::Exclamation}));
    EXPECT_EQ(relocationMessage({loaded->report.front()})->icon, MessageIcon::Information);
    EXPECT_EQ(readBoundedFile(pathFile, DataFileKind::PathFile).bytes, bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2);
    EXPECT_FALSE(loadWorkingFolder(dir.path() / "none" / kPathFileName, {}));
}

}  // namespace
}  // namespace kavlo
