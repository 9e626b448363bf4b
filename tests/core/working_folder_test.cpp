#include "core/working_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/path_file.h"
#include "test_files.h"
#include "text_checks.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;
using test::AnsweringMessages;
using test::bytesOf;

// Hidden names included, so that a stray temporary shows.
Names namesIn(const fs::path& folder) {
    const auto names = test::folderListing(folder);
    return {names.begin(), names.end()};
}

// An application folder, data files beside it, and a set-up naming them.
struct Rig {
    Rig() {
        fs::create_directories(app);
        for (FilePicker& picker : setup.pickers) {
            picker = {"/", dir.path().string(), "*.dat;*.fmt", {}};
        }
        setup.header = {"見出し", 1, 4, 2};
    }
    std::string file(const std::string& relative, std::string_view bytes) const {
        fs::create_directories((dir.path() / relative).parent_path());
        return dir.write(relative, bytes);
    }
    SaveResult save(MessageSink& messages) const {
        return saveWorkingFolder(setup, app, "w", messages).result;
    }
    PageSetup saved() const { return parsePathFile(bytesOf(app / "w" / kPathFileName), {}); }

    test::TempDir dir;
    fs::path app = dir.path() / "app";
    PageSetup setup;
};

TEST(WorkingFolderTest, NamesStayOneFolderUnderTheApplicationFolder) {
    const std::pair<std::string, FolderNameCheck> cases[] = {
        {"1204-1035", FolderNameCheck::Usable}, {"a..b", FolderNameCheck::Usable},
        {"", FolderNameCheck::Empty},           {"..", FolderNameCheck::Refused},
        {".", FolderNameCheck::Refused},        {"../up", FolderNameCheck::Refused},
        {"a\\b", FolderNameCheck::Refused},     {std::string("a\0b", 3), FolderNameCheck::Refused}};
    for (const auto& [name, check] : cases) {
        EXPECT_EQ(checkFolderName(name), check) << name;
    }
}

TEST(WorkingFolderTest, EachFileGetsOneCopyOfItsOwnAndTheLinesNameTheCopies) {
    Rig rig;
    const std::string a = rig.file("a/g01.dat", "A\r\n\x82\xa0"), b = rig.file("b/g01.dat", "B\n");
    fs::create_symlink(b, rig.dir.path() / "link.dat");
    // Each file, and the name of its copy.
    const std::tuple<FileKind, int, std::string, std::string> cases[] = {
        {FileKind::Format, 1, rig.file("f1.fmt", "F1"), "f1.fmt"},
        {FileKind::Numeric, 1, a, "g01.dat"},
        {FileKind::Comment, 1, rig.file("c/注記.txt", "注記"), "注記.txt"},
        {FileKind::Numeric, 2, b, "g01-2.dat"},  // another file of the same name
        {FileKind::Format, 3, rig.file("b/README", "R"), "README"},
        // Slot 3 has no numeric file: line 12 + 3 stays empty.
        {FileKind::Numeric, 4, (rig.dir.path() / "a/../a/g01.dat").string(), "g01.dat"},
        {FileKind::Numeric, 5, (rig.dir.path() / "link.dat").string(), "g01-2.dat"},
        {FileKind::Numeric, 6, rig.file("c/g01.dat", "C"), "g01-3.dat"},
        {FileKind::Comment, 6, rig.file("a/Kavlo.pth", "P"), "Kavlo-2.pth"},
        {FileKind::Comment, 2, rig.file("a/.notes", "N"), ".notes"},    // a leading dot is no
        {FileKind::Comment, 3, rig.file("b/.notes", "M"), ".notes-2"},  // extension separator
    };
    PageSetup expected = rig.setup;
    Names names{kPathFileName};
    for (const auto& [kind, slot, source, copy] : cases) {
        rig.setup.file(kind, slot) = source;
        expected.file(kind, slot) = (rig.app / "w" / copy).string();
        names.insert(copy);
    }
    RecordedMessages messages;
    ASSERT_EQ(rig.save(messages), SaveResult::Saved);
    EXPECT_TRUE(messages.messages.empty());
    // Pickers, patterns and header as they stand.
    EXPECT_EQ(bytesOf(rig.app / "w" / kPathFileName), formatPathFile(expected));
    for (const auto& [kind, slot, source, copy] : cases) {
        EXPECT_EQ(bytesOf(expected.file(kind, slot)), bytesOf(source)) << copy;
    }
    EXPECT_EQ(namesIn(rig.app / "w"), names);
    EXPECT_EQ(namesIn(rig.app), Names{"w"});
}

TEST(WorkingFolderTest, SavingALoadedFolderUnderItsOwnNameKeepsTheData) {
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "Yes" : "No");
        Rig rig;
        rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "format");
        rig.setup.file(FileKind::Numeric, 1) = rig.file("g01.dat", "grid one");
        AnsweringMessages first;
        ASSERT_EQ(rig.save(first), SaveResult::Saved);
        std::ofstream(rig.app / "w" / "extra.txt") << "left by the user";

        // Loaded back; a different g01.dat takes the name first, so the folder's own moves on.
        rig.setup = rig.saved();
        rig.setup.file(FileKind::Numeric, 2) = rig.setup.file(FileKind::Numeric, 1);
        rig.setup.file(FileKind::Numeric, 1) = rig.file("other/g01.dat", "grid two");
        AnsweringMessages messages(answer);
        ASSERT_EQ(rig.save(messages), SaveResult::Saved);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text,
                  "A folder with the same name exists. Do you want to overwrite the folder?");
        const PageSetup saved = rig.saved();
        EXPECT_EQ(bytesOf(saved.file(FileKind::Format, 1)) +
                      bytesOf(saved.file(FileKind::Numeric, 1)) +
                      bytesOf(saved.file(FileKind::Numeric, 2)),
                  "formatgrid twogrid one");
        // Yes leaves the new content only; No keeps the other files beside it.
        Names names = namesIn(rig.app / "w");
        EXPECT_EQ(names.erase("extra.txt"), answer == MessageAnswer::No ? 1u : 0u);
        EXPECT_EQ(names, (Names{"f.dat", "g01.dat", "g01-2.dat", kPathFileName}));
        EXPECT_EQ(namesIn(rig.app), Names{"w"});
    }
}

TEST(WorkingFolderTest, FilesNotCopiedKeepTheirPathsAndAreToldOnce) {
    Rig rig;
    const std::string missing = (rig.dir.path() / "missing.dat").string();
    const std::string fifo = (rig.dir.path() / "pipe.dat").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "f");
    rig.setup.file(FileKind::Numeric, 1) = rig.setup.file(FileKind::Numeric, 2) = missing;
    rig.setup.file(FileKind::Comment, 1) = fifo;
    RecordedMessages messages;
    const WorkingFolderSave save = saveWorkingFolder(rig.setup, rig.app, "w", messages);
    ASSERT_EQ(save.result, SaveResult::Saved);
    EXPECT_EQ(save.notCopied,
              (std::vector<NotCopied>{
                  {missing, "ファイルが存在しません。ご確認ください。 "},
                  {fifo, "通常のファイルではないため読み込めません。ご確認ください。 "}}));
    ASSERT_EQ(messages.messages.size(), 1u);
    const std::string& text = messages.messages[0].text;
    EXPECT_TRUE(text.find(missing) == text.rfind(missing) && text.find(fifo) != text.npos) << text;
    const PageSetup saved = rig.saved();
    EXPECT_TRUE(saved.file(FileKind::Numeric, 2) == missing &&
                saved.file(FileKind::Comment, 1) == fifo);
    EXPECT_EQ(namesIn(rig.app / "w"), (Names{"f.dat", kPathFileName}));
}

TEST(WorkingFolderTest, AFileNotCopiedFromTheOldFolderKeepsTheFolderAsItWas) {
    // The answer, where a pipe (never copied) stands for a file the set-up names, and the result.
    const std::tuple<MessageAnswer, std::string, SaveResult> cases[] = {
        {MessageAnswer::Yes, "app/w/g01.dat", SaveResult::Failed},
        {MessageAnswer::No, "app/w/sub/g02.dat", SaveResult::Failed},
        {MessageAnswer::Yes, "to-w/g02.dat", SaveResult::Failed},  // through a link to the folder
        {MessageAnswer::Yes, "outside.dat", SaveResult::Saved},
    };
    for (const auto& [answer, name, result] : cases) {
        SCOPED_TRACE(name);
        Rig rig;
        rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "format");
        rig.setup.file(FileKind::Numeric, 1) = rig.file("g01.dat", "grid");
        AnsweringMessages messages(answer);
        ASSERT_EQ(rig.save(messages), SaveResult::Saved);
        fs::create_directory_symlink(rig.app / "w", rig.dir.path() / "to-w");
        const std::string pipe = (rig.dir.path() / name).string();
        fs::create_directories(fs::path(pipe).parent_path());
        fs::remove(pipe);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        rig.setup = rig.saved();
        rig.setup.file(FileKind::Numeric, 2) = pipe;
        const Names before = namesIn(rig.app / "w");
        const std::string pathFile = bytesOf(rig.app / "w" / kPathFileName);

        messages.messages.clear();
        const WorkingFolderSave save = saveWorkingFolder(rig.setup, rig.app, "w", messages);
        EXPECT_EQ(save.result, result);
        ASSERT_EQ(save.notCopied.size(), 1u);
        EXPECT_EQ(save.notCopied[0].source, pipe);
        EXPECT_TRUE(namesIn(rig.app) == Names{"w"} && fs::is_fifo(pipe));
        const std::string& told = messages.messages.back().text;
        EXPECT_TRUE(test::holdsAll(told, {pipe}));
        if (result == SaveResult::Failed) {
            EXPECT_TRUE(test::holdsAll(told, {"元のまま"}));
            EXPECT_EQ(namesIn(rig.app / "w"), before);
            EXPECT_EQ(bytesOf(rig.app / "w" / kPathFileName), pathFile);
        } else {
            EXPECT_EQ(rig.saved().file(FileKind::Numeric, 2), pipe);
        }
    }
}

TEST(WorkingFolderTest, ANameWithALineBreakIsRefusedBeforeAnythingIsMade) {
    Rig rig;
    rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "format");
    rig.setup.file(FileKind::Comment, 6) = rig.file("a\nb.txt", "note");
    RecordedMessages messages;
    EXPECT_EQ(rig.save(messages), SaveResult::Refused);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(
        test::holdsAll(messages.messages[0].text, {"コメントデータファイル 6 のファイル名に改行"}));
    EXPECT_EQ(namesIn(rig.app), Names{});
}

TEST(WorkingFolderTest, AFolderThatCannotTakeTheSaveIsLeftAsItWas) {
    const std::pair<const char*, void (*)(const fs::path&)> cases[] = {
        {"に書き込めません", [](const fs::path& w) { ::chmod(w.c_str(), 0555); }},
        {"読み取り専用", [](const fs::path& w) { ::chmod((w / kPathFileName).c_str(), 0444); }},
        {"同じ名前のファイル",
         [](const fs::path& w) { fs::remove_all(w), std::ofstream(w) << "a file"; }},
    };
    for (const auto& [told, prepare] : cases) {
        Rig rig;
        rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "first");
        AnsweringMessages messages(MessageAnswer::No);
        ASSERT_EQ(rig.save(messages), SaveResult::Saved);
        prepare(rig.app / "w");
        const bool folder = fs::is_directory(rig.app / "w");
        const Names before = folder ? namesIn(rig.app / "w") : Names{};
        const std::string pathFile = bytesOf(rig.app / "w" / kPathFileName);
        std::ofstream(rig.dir.path() / "f.dat") << "second";
        EXPECT_EQ(rig.save(messages), SaveResult::Failed);
        EXPECT_TRUE(test::holdsAll(messages.messages.back().text, {told}));
        EXPECT_EQ(namesIn(rig.app), Names{"w"});
        if (folder) {
            EXPECT_EQ(namesIn(rig.app / "w"), before) << told;
            EXPECT_EQ(bytesOf(rig.app / "w" / "f.dat") + bytesOf(rig.app / "w" / kPathFileName),
                      "first" + pathFile);
        }
        ::chmod((rig.app / "w").c_str(), 0755);
    }
}

}  // namespace
}  // namespace kavlo
