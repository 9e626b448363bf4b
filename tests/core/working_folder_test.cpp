#include "core/working_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/path_file.h"
#include "test_files.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

// Answers the overwrite question as told and keeps every message.
class AnsweringMessages final : public MessageSink {
  public:
    explicit AnsweringMessages(MessageAnswer answer) : answer_(answer) {}
    MessageAnswer show(const Message& message) override {
        messages.push_back(message);
        return message.buttons == MessageButtons::YesNo ? answer_ : MessageAnswer::Ok;
    }
    std::vector<Message> messages;

  private:
    MessageAnswer answer_;
};

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every name in the folder, hidden ones included, so that a stray temporary shows.
std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// An application folder and a data folder beside it, with a set-up whose pickers are set.
struct Rig {
    Rig() {
        fs::create_directories(app);
        fs::create_directories(data);
        for (FilePicker& picker : setup.pickers) {
            picker.drive = "/";
            picker.folder = data.string();
            picker.pattern = "*.dat;*.fmt";
        }
        setup.header = {"見出し", 1, 4, 2};
    }
    std::string file(const std::string& relative, std::string_view bytes) const {
        const fs::path path = data / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return path.string();
    }
    WorkingFolderSave save(const std::string& name, MessageSink& messages) const {
        return saveWorkingFolder(setup, app, name, messages);
    }
    PageSetup savedFile(const std::string& name) const {
        return parsePathFile(bytesOf(app / name / kPathFileName), PageSetup{});
    }

    test::TempDir dir;
    fs::path app = dir.path() / "app";
    fs::path data = dir.path() / "data";
    PageSetup setup;
};

TEST(WorkingFolderTest, NamesStayOneFolderUnderTheApplicationFolder) {
    const std::pair<std::string, FolderNameCheck> cases[] = {
        {"1204-1035", FolderNameCheck::Usable},
        {"実験 a..b", FolderNameCheck::Usable},
        {".hidden", FolderNameCheck::Usable},
        {"", FolderNameCheck::Empty},
        {".", FolderNameCheck::Refused},
        {"..", FolderNameCheck::Refused},
        {"../up", FolderNameCheck::Refused},
        {"a/b", FolderNameCheck::Refused},
        {"a\\b", FolderNameCheck::Refused},
        {"/tmp", FolderNameCheck::Refused},
        {std::string("a\0b", 3), FolderNameCheck::Refused}};
    Rig rig;
    rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "f");
    for (const auto& [name, check] : cases) {
        EXPECT_EQ(checkFolderName(name), check) << name;
        if (check == FolderNameCheck::Usable) {
            continue;
        }
        RecordedMessages messages;
        EXPECT_EQ(rig.save(name, messages).result, check == FolderNameCheck::Empty
                                                       ? SaveResult::NothingToSave
                                                       : SaveResult::Refused);
        EXPECT_EQ(messages.messages.size(), check == FolderNameCheck::Empty ? 0u : 1u) << name;
        EXPECT_TRUE(namesIn(rig.app).empty()) << name;
        EXPECT_FALSE(fs::exists(rig.dir.path() / "up"));
    }
}

TEST(WorkingFolderTest, CopiesEverySlotFileAndNamesTheCopies) {
    Rig rig;
    PageSetup expected = rig.setup;
    const fs::path target = rig.app / "1204-1035";
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const std::string n = std::to_string(slot);
        // Bytes that a text-mode copy or a re-encoding would change.
        rig.setup.file(FileKind::Format, slot) =
            rig.file("fmt" + n + ".dat", "a\r\nb\n\x82\xa0" + n);
        expected.file(FileKind::Format, slot) = (target / ("fmt" + n + ".dat")).string();
        if (slot != 3) {  // an empty numeric box copies nothing and gives an empty line
            rig.setup.file(FileKind::Numeric, slot) =
                rig.file("num" + n + ".dat", std::string(5, '\0') + n);
            expected.file(FileKind::Numeric, slot) = (target / ("num" + n + ".dat")).string();
        }
        rig.setup.file(FileKind::Comment, slot) = rig.file("c/cmt" + n + ".txt", "注記" + n);
        expected.file(FileKind::Comment, slot) = (target / ("cmt" + n + ".txt")).string();
    }
    RecordedMessages messages;
    const WorkingFolderSave save = rig.save("1204-1035", messages);
    ASSERT_EQ(save.result, SaveResult::Saved);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(save.folder, target);
    EXPECT_TRUE(save.pathFile == expected);
    // Pickers, patterns and header as they stood; line 12 + 3 empty.
    EXPECT_EQ(bytesOf(target / kPathFileName), formatPathFile(expected));
    EXPECT_EQ(rig.savedFile("1204-1035").file(FileKind::Numeric, 3), "");
    for (const FileKind kind : {FileKind::Format, FileKind::Numeric, FileKind::Comment}) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (!expected.file(kind, slot).empty()) {
                EXPECT_EQ(bytesOf(expected.file(kind, slot)), bytesOf(rig.setup.file(kind, slot)));
            }
        }
    }
    EXPECT_EQ(namesIn(target).size(), 18u) << "17 copies and the path file, no temporaries";
    EXPECT_EQ(namesIn(rig.app), std::set<std::string>{"1204-1035"});
}

TEST(WorkingFolderTest, SameNamesGetCopiesOfTheirOwnAndOneFileIsCopiedOnce) {
    Rig rig;
    const std::string a = rig.file("a/g01.dat", "A"), b = rig.file("b/g01.dat", "B"),
                      c = rig.file("c/g01.dat", "C"), pth = rig.file("a/Kavlo.pth", "P"),
                      plain = rig.file("a/README", "R1"), plain2 = rig.file("b/README", "R2");
    fs::create_symlink(b, rig.data / "link.dat");
    const struct {
        FileKind kind;
        int slot;
        std::string source;
        std::string copy;  // the name its line ends in
    } cases[] = {
        {FileKind::Format, 1, a, "g01.dat"},
        {FileKind::Numeric, 1, b, "g01-2.dat"},
        {FileKind::Format, 2, (rig.data / "a/../a/g01.dat").string(), "g01.dat"},  // same file
        {FileKind::Numeric, 2, (rig.data / "link.dat").string(), "g01-2.dat"},     // same file
        {FileKind::Numeric, 3, c, "g01-3.dat"},
        {FileKind::Numeric, 4, b, "g01-2.dat"},
        {FileKind::Comment, 4, pth, "Kavlo-2.pth"},  // never the path file's own name
        {FileKind::Format, 5, plain, "README"},
        {FileKind::Format, 6, plain2, "README-2"},
    };
    for (const auto& c : cases) {
        rig.setup.file(c.kind, c.slot) = c.source;
    }
    RecordedMessages messages;
    ASSERT_EQ(rig.save("w", messages).result, SaveResult::Saved);
    EXPECT_TRUE(messages.messages.empty());
    const PageSetup saved = rig.savedFile("w");
    for (const auto& c : cases) {
        EXPECT_EQ(saved.file(c.kind, c.slot), (rig.app / "w" / c.copy).string()) << c.source;
        EXPECT_EQ(bytesOf(saved.file(c.kind, c.slot)), bytesOf(c.source)) << c.source;
    }
    EXPECT_EQ(namesIn(rig.app / "w"),
              (std::set<std::string>{"g01.dat", "g01-2.dat", "g01-3.dat", "Kavlo-2.pth", "README",
                                     "README-2", kPathFileName}));
}

TEST(WorkingFolderTest, SavingAgainUnderTheSameNameKeepsTheData) {
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "Yes" : "No");
        Rig rig;
        rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "format");
        rig.setup.file(FileKind::Numeric, 1) = rig.file("g01.dat", "grid one");
        RecordedMessages first;
        ASSERT_EQ(rig.save("w", first).result, SaveResult::Saved);
        const fs::path w = rig.app / "w";
        std::ofstream(w / "extra.txt") << "left by the user";
        std::ofstream(w / "f.dat") << "stale";

        // Loaded back, so every slot names the folder's own files; a different g01.dat first.
        rig.setup = rig.savedFile("w");
        rig.setup.file(FileKind::Numeric, 2) = rig.setup.file(FileKind::Numeric, 1);
        rig.setup.file(FileKind::Numeric, 1) = rig.file("other/g01.dat", "grid two");
        rig.setup.file(FileKind::Format, 2) = rig.setup.file(FileKind::Format, 1);
        AnsweringMessages messages(answer);
        ASSERT_EQ(rig.save("w", messages).result, SaveResult::Saved);
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text,
                  "A folder with the same name exists. Do you want to overwrite the folder?");
        EXPECT_EQ(messages.messages[0].buttons, MessageButtons::YesNo);

        const PageSetup saved = rig.savedFile("w");
        EXPECT_EQ(bytesOf(saved.file(FileKind::Numeric, 1)), "grid two");
        EXPECT_EQ(bytesOf(saved.file(FileKind::Numeric, 2)), "grid one");
        EXPECT_EQ(saved.file(FileKind::Numeric, 2), (w / "g01-2.dat").string());
        EXPECT_EQ(bytesOf(saved.file(FileKind::Format, 2)), "stale");
        // Yes leaves only the new content; No keeps the other files beside it.
        std::set<std::string> names{"f.dat", "g01.dat", "g01-2.dat", kPathFileName};
        if (answer == MessageAnswer::No) {
            names.insert("extra.txt");
        }
        EXPECT_EQ(namesIn(w), names);
        EXPECT_EQ(namesIn(rig.app), std::set<std::string>{"w"}) << "nothing left beside it";
    }
}

TEST(WorkingFolderTest, FilesNotCopiedKeepTheirPathsAndAreToldOnce) {
    Rig rig;
    const std::string missing = (rig.data / "missing.dat").string();
    const std::string folder = (rig.data / "sub").string();
    fs::create_directories(folder);
    const std::string fifo = (rig.data / "pipe.dat").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "f");
    rig.setup.file(FileKind::Numeric, 1) = missing;
    rig.setup.file(FileKind::Numeric, 2) = missing;
    rig.setup.file(FileKind::Comment, 1) = folder;
    rig.setup.file(FileKind::Comment, 2) = fifo;
    RecordedMessages messages;
    const WorkingFolderSave save = rig.save("w", messages);
    ASSERT_EQ(save.result, SaveResult::Saved);
    EXPECT_EQ(save.notCopied,
              (std::vector<NotCopied>{
                  {missing, "ファイルが存在しません。ご確認ください。 "},
                  {folder, "通常のファイルではないため読み込めません。ご確認ください。 "},
                  {fifo, "通常のファイルではないため読み込めません。ご確認ください。 "}}));
    ASSERT_EQ(messages.messages.size(), 1u);
    const std::string& text = messages.messages[0].text;
    EXPECT_EQ(text.find(missing), text.rfind(missing)) << "each file once: " << text;
    for (const std::string& path : {missing, folder, fifo}) {
        EXPECT_NE(text.find(path), std::string::npos) << text;
    }
    const PageSetup saved = rig.savedFile("w");
    EXPECT_EQ(saved.file(FileKind::Numeric, 2), missing);
    EXPECT_EQ(saved.file(FileKind::Comment, 2), fifo);
    EXPECT_EQ(saved.file(FileKind::Format, 1), (rig.app / "w" / "f.dat").string());
    EXPECT_EQ(namesIn(rig.app / "w"), (std::set<std::string>{"f.dat", kPathFileName}));
}

TEST(WorkingFolderTest, AFolderThatCannotTakeTheSaveIsLeftAsItWas) {
    const struct {
        const char* what;
        MessageAnswer answer;
        void (*prepare)(const Rig&);  // the state that stops the save
        const char* told;
    } cases[] = {
        {"read-only application folder", MessageAnswer::Yes,
         [](const Rig& rig) { ::chmod(rig.app.c_str(), 0555); }, "に書き込めません"},
        {"read-only working folder, No", MessageAnswer::No,
         [](const Rig& rig) { ::chmod((rig.app / "w").c_str(), 0555); }, "に書き込めません"},
        {"read-only path file, No", MessageAnswer::No,
         [](const Rig& rig) { ::chmod((rig.app / "w" / kPathFileName).c_str(), 0444); },
         "読み取り専用"},
        {"path file is a folder, No", MessageAnswer::No,
         [](const Rig& rig) {
             fs::remove(rig.app / "w" / kPathFileName);
             fs::create_directory(rig.app / "w" / kPathFileName);
         },
         "通常のファイルではない"},
        {"a file of the name", MessageAnswer::Yes,
         [](const Rig& rig) {
             fs::remove_all(rig.app / "w");
             std::ofstream(rig.app / "w") << "file";
         },
         "同じ名前のファイル"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.setup.file(FileKind::Format, 1) = rig.file("f.dat", "first");
        RecordedMessages first;
        ASSERT_EQ(rig.save("w", first).result, SaveResult::Saved);
        const std::string before = bytesOf(rig.app / "w" / kPathFileName);
        c.prepare(rig);
        const auto namesBefore =
            fs::is_directory(rig.app / "w") ? namesIn(rig.app / "w") : std::set<std::string>{};
        std::ofstream(rig.data / "f.dat") << "second";
        rig.setup.file(FileKind::Format, 2) = rig.file("g.dat", "new");

        AnsweringMessages messages(c.answer);
        EXPECT_EQ(rig.save("w", messages).result, SaveResult::Failed);
        ASSERT_FALSE(messages.messages.empty());
        EXPECT_NE(messages.messages.back().text.find(c.told), std::string::npos)
            << messages.messages.back().text;
        EXPECT_EQ(namesIn(rig.app), std::set<std::string>{"w"});
        if (fs::is_directory(rig.app / "w")) {
            EXPECT_EQ(namesIn(rig.app / "w"), namesBefore);
            EXPECT_EQ(bytesOf(rig.app / "w" / "f.dat"), "first");
            if (fs::is_regular_file(rig.app / "w" / kPathFileName)) {
                EXPECT_EQ(bytesOf(rig.app / "w" / kPathFileName), before);
            }
        }
        ::chmod(rig.app.c_str(), 0755);
        ::chmod((rig.app / "w").c_str(), 0755);
    }
}

}  // namespace
}  // namespace kavlo
