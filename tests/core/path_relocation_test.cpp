#include "core/path_relocation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/bounded_file.h"
#include "core/drive_roots.h"
#include "core/path_file.h"
#include "test_files.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

// A working folder copied here, under a Japanese name as users' folders often are, with its path
// file as Windows writes it: CP932 with CR LF. Names ending in '/' are made as folders.
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
    struct Case {
        std::string written;
        std::vector<std::string> onDisk;
        std::string found;  // "" when found nowhere, "=" when kept as written
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        const auto kind = static_cast<FileKind>(row % 3);
        const int slot = row++ % kSlotCount + 1;
        const test::TempDir dir;
        PageSetup setup;
        setup.file(kind, slot) = c.written;
        const auto loaded = readRelocatedPathFile(copiedFolder(dir, c.onDisk, setup), {});
        ASSERT_TRUE(loaded);
        const std::string found =
            c.found.empty() || c.found == "=" ? "" : (dir.path() / "作業" / c.found).string();
        EXPECT_EQ(loaded->setup.file(kind, slot), found.empty() ? c.written : found);
        const RelocationReport told{{slot, kind, c.written, found}};
        EXPECT_EQ(loaded->report, c.found == "=" ? RelocationReport{} : told);
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
