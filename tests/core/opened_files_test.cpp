#include "core/opened_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <variant>

#include "core/format_reader.h"
#include "test_files.h"

namespace kavlo {

namespace {

namespace fs = std::filesystem;
using Sorted = std::variant<FileKind, LeftOutReason>;

TEST(OpenedFiles, KindIsToldByNameAndContent) {
    test::TempDir dir;
    std::string shortFormat = test::FormatLines{}.text();
    shortFormat.resize(shortFormat.rfind("4, Z axis"));
    const std::string longCounts = "3, 2, " + std::string(5'000'000, '7');
    fs::create_directory(dir.path() / "folder.dat");
    // A grid of whole numbers with enough rows and columns for the format reader to take it.
    std::string integerGrid = "8, 20\r\n";
    for (int row = 0; row < 20; ++row) {
        integerGrid += "1, 2, 3, 4, 5, 6, 7, 8\r\n";
    }

    using enum LeftOutReason;
    const struct {
        const char* name;
        std::string content;
        Sorted kind;
    } cases[] = {
        {"format.dat", test::FormatLines{}.text(), FileKind::Format},
        {"grid.dat", "3, 2\n0.1 0.2 0.3\n0.4 0.5 0.6\n", FileKind::Numeric},
        {"integers.dat", integerGrid, FileKind::Numeric},
        {"one-long-line.dat", longCounts, FileKind::Numeric},
        {"comment.txt", "図 1　流線表示\n", FileKind::Comment},
        {"empty.txt", "", FileKind::Comment},
        {"cp932.TXT", "\x90\x7D 1\r\n", FileKind::Comment},  // 図 1
        {"nul.txt", std::string("note\0\r\n", 7), NotText},
        {"picture.txt", "\x89PNG\r\n\x1A\n\xFF\xFF", NotText},
        {"bad-tilt.dat", test::FormatLines{.tilt = "30, 30, thick, 2, 1"}.text(), UnknownKind},
        {"short.dat", shortFormat, UnknownKind},
        {"empty-cell.dat", "3,,2\n", UnknownKind},
        {"table.csv", "3, 2\n1 2 3\n4 5 6\n", UnknownKind},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyDataFile(dir.write(c.name, c.content)), c.kind) << c.name;
    }
    EXPECT_EQ(classifyDataFile(dir.path() / "missing.txt"), Sorted(Missing));
    EXPECT_EQ(classifyDataFile(dir.path() / "folder.dat"), Sorted(UnknownKind));

    // The whole-number grid is one the format reader alone would have taken for a format file.
    SilentMessages quiet;
    EXPECT_EQ(readFormatFile(1, (dir.path() / "integers.dat").string(), quiet, {}).outcome,
              FormatReadOutcome::Read);
}

TEST(OpenedFiles, EachKindFillsItsSlotsFromTheFirst) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "f");
    fs::create_directory(dir.path() / "n");
    std::vector<fs::path> files;
    for (int k = 1; k <= 7; ++k) {
        files.push_back(
            dir.write("f/frm" + std::to_string(k) + ".dat", test::FormatLines{}.text()));
    }
    const std::string grid = dir.write("n/g.dat", "2 2\n1 2\n3 4\n");
    const std::string notes = dir.write("notes.txt", "note\n");
    const std::string picture = dir.write("picture.png", "\x89PNG");
    const std::string binary = dir.write("binary.txt", std::string("\0\1", 2));
    const std::string missing = (dir.path() / "missing.dat").string();
    files.insert(files.begin() + 1, {grid, picture, notes, missing, binary, grid});

    PageSetup base = sampleSetup("/samples");
    base.header = {"header", 2, 5, 1};
    const OpenedFiles opened = placeOpenedFiles(base, files);

    const auto& format = opened.setup.picker(FileKind::Format);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        EXPECT_EQ(format.files[slot], files[slot == 1 ? 0 : slot + 5].string()) << slot;
    }
    EXPECT_EQ(format.folder, (dir.path() / "f").string());
    EXPECT_EQ(format.pattern, "*.dat");
    // The samples' slots are emptied.
    const auto& numeric = opened.setup.picker(FileKind::Numeric);
    EXPECT_EQ(numeric.folder, (dir.path() / "n").string());
    EXPECT_EQ(numeric.files, (decltype(numeric.files){"", grid, grid, "", "", "", ""}));
    EXPECT_EQ(opened.setup.picker(FileKind::Comment).files,
              (decltype(numeric.files){"", notes, "", "", "", "", ""}));
    EXPECT_EQ(opened.setup.header, base.header);
    const std::string last = files.back().string();
    EXPECT_EQ(opened.leftOut, (std::vector<LeftOutFile>{{picture, LeftOutReason::UnknownKind},
                                                        {missing, LeftOutReason::Missing},
                                                        {binary, LeftOutReason::NotText},
                                                        {last, LeftOutReason::NoFreeSlot}}));

    // One message, each file under its reason.
    const auto message = leftOutFilesMessage(opened);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text,
              "次のファイルがありません。\n" + missing +
                  "\n\nテキストではないため（NUL 文字を含むか、UTF-8 でも CP932 でもない）、次のフ"
                  "ァイルはコメントデータファイルとして開きませんでした。\n" +
                  binary +
                  "\n\n書式・数値・コメントのどのデータファイルか判別できないため、次のファイルは開"
                  "きませんでした。\n" +
                  picture +
                  "\n\n同じ種類のファイルは 6 つまでです。次のファイルは開きませんでし"
                  "た。\n" +
                  last);
}

TEST(OpenedFiles, RelativeNamesAreTakenFromTheWorkingFolder) {
    test::TempDir dir;
    dir.write("frm.dat", test::FormatLines{}.text());
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const OpenedFiles opened = placeOpenedFiles(sampleSetup("/samples"), {"./sub/../frm.dat"});
    fs::current_path(before);

    EXPECT_EQ(opened.setup.file(FileKind::Format, 1), (dir.path() / "frm.dat").string());
    EXPECT_EQ(opened.setup.picker(FileKind::Comment).folder, "/samples") << "no comment given";
    EXPECT_EQ(leftOutFilesMessage(opened), std::nullopt);
}

}  // namespace
}  // namespace kavlo
