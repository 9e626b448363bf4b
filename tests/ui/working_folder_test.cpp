#include "application_folder.h"
#include "core/path_file.h"
#include "render/page_composition.h"
#include "render/render_rig.h"
#include "ui/folder_list.h"
#include "ui/main_window.h"
#include "ui_helpers.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

// The drawing calls of the screen page the set-up composes, one JSON line each.
std::vector<std::string> drawingCalls(PageSetup setup) {
    test::RenderRig rig(screenProfile());
    composePage(rig.ctx(), setup, rig.steps);
    std::vector<std::string> calls;
    for (const RecordedOp& op : rig.surface.ops()) {
        calls.push_back(toJson(op));
    }
    return calls;
}

// A main window started on a fresh application folder with the samples in its slots.
class WorkingFolderWindowsTest : public testing::Test {
  protected:
    WorkingFolderWindowsTest() : session_(dir_.path() / "home") {
        seedApplicationFolder(session_.appFolder);
        window_.startUp();
        messages_.messages.clear();  // the welcome
    }
    DataSaveWindow* saveAs(const QString& name) {
        test::click(&window_, "saveButton");
        window_.dataSaveWindow()->findChild<QLineEdit*>("folderNameBox")->setText(name);
        test::click(window_.dataSaveWindow(), "saveButton");
        return window_.dataSaveWindow();
    }
    // Opens the search window and moves its folder list to `folder`, as activating an entry
    // does. Tells whether "選択" is offered there.
    bool searchIn(const fs::path& folder) {
        test::click(&window_, "searchButton");
        auto* list = window_.folderSearchWindow()->findChild<FolderList*>("folderList");
        list->setFolder(test::qpath(folder));
        emit list->folderChosen(list->folder());
        return !window_.folderSearchWindow()->findChild<QWidget*>("chooseButton")->isHidden();
    }
    fs::path home(const std::string& name) const { return session_.appFolder / name; }

    test::TempDir dir_;
    Session session_;
    test::AnsweringMessages messages_;
    MainWindow window_{session_, messages_};
};

TEST_F(WorkingFolderWindowsTest, SavedAndLoadedAgainThePageDrawsTheSame) {
    // Slot 2 draws another g01.dat, which must not end as the copy slot 1 draws.
    std::string other = test::bytesOf(home("g01.dat"));
    other.replace(other.find("0.0017"), 6, "0.9017");
    PageSetup before = window_.pageSetup();
    before.file(FileKind::Numeric, 2) = dir_.write("g01.dat", other);
    window_.setPageSetup(before);
    const std::vector<std::string> calls = drawingCalls(before);
    ASSERT_NE(calls, drawingCalls(sampleSetup(session_.appFolder.string())));

    window_.drawRequest();
    emit window_.canvas()->backPressed();  // offers the save button
    // A refused name keeps the window open for another; an empty one closes it.
    EXPECT_FALSE(saveAs("../w")->isHidden());
    ASSERT_EQ(std::exchange(messages_.messages, {}).size(), 1u);
    EXPECT_TRUE(saveAs("")->isHidden() && !window_.findChild<QWidget*>("saveButton")->isHidden());
    EXPECT_TRUE(saveAs("w")->isHidden() && window_.findChild<QWidget*>("saveButton")->isHidden());
    EXPECT_TRUE(messages_.messages.empty() && !fs::exists(dir_.path() / "w"));
    // Which copy each slot names is the working folder's own test; the drawing below shows it.
    const PageSetup saved = readPathFile(home("w") / kPathFileName, {}).value_or(PageSetup{});

    // Loaded, then saved again under its own name: Yes and No both keep the data.
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Yes}) {
        window_.setPageSetup(sampleSetup("/elsewhere"));
        ASSERT_TRUE(searchIn(home("w")));
        test::click(window_.folderSearchWindow(), "chooseButton");
        EXPECT_TRUE(window_.folderSearchWindow()->isHidden());
        EXPECT_EQ(window_.pageSetup(), saved);
        EXPECT_EQ(drawingCalls(window_.pageSetup()), calls);
        messages_.answer = answer;
        saveAs("w");
        ASSERT_EQ(std::exchange(messages_.messages, {}).size(), 1u);  // the overwrite question
        EXPECT_EQ(test::bytesOf(home("w") / kPathFileName), formatPathFile(saved));
    }
}

TEST_F(WorkingFolderWindowsTest, SearchLoadsPathFilesAsTheStartUpReadsThem) {
    for (const char* folder : {"none", "empty", "windows"}) {
        fs::create_directories(dir_.path() / folder);
    }
    dir_.write("empty/Kavlo.pth", "");
    // Written on Windows: CP932 ("C:\データ", "見出し"), backslashes, empty pattern lines.
    const std::string data = "C:\\\x83\x66\x81\x5b\x83\x5e",
                      picker = "C:\\\r\n" + data + "\r\n\r\n";
    const std::string six = data + "\\g01.dat\r\n\r\n\r\n\r\n\r\n\r\n";
    dir_.write("windows/Kavlo.pth", picker + six + picker + six + picker + six +
                                        "\x8c\xa9\x8f\x6f\x82\xb5\r\n1\r\n4\r\n2");
    // Copied over with the folder, under the name's other case. Decoding, short files and the
    // look-up by name are the path file's own tests; here the search window's use of them.
    const std::string copied = dir_.write("windows/G01.DAT", "");

    EXPECT_FALSE(searchIn(dir_.path() / "none"));
    EXPECT_FALSE(searchIn(dir_.path() / "empty"));
    ASSERT_TRUE(searchIn(dir_.path() / "windows"));
    test::click(window_.folderSearchWindow(), "chooseButton");
    const PageSetup loaded = window_.pageSetup();
    EXPECT_EQ(loaded.file(FileKind::Comment, 1), copied);
    EXPECT_EQ(loaded.picker(FileKind::Format).folder, (dir_.path() / "windows").string());
    EXPECT_EQ(messages_.messages.size(), 1u) << "one list of what was found elsewhere";
    EXPECT_EQ(loaded.header, (HeaderSetup{"見出し", 1, 4, 2}));

    // Opened from a file manager, a path file loads its folder as the search does.
    for (const std::string folder : {"windows", "empty"}) {
        test::AnsweringMessages told;
        MainWindow opened(session_, told);
        const fs::path pathFile = dir_.path() / folder / kPathFileName;
        opened.startUp({pathFile});
        EXPECT_EQ(opened.pageSetup() == loaded, folder == "windows") << folder;
        EXPECT_TRUE(test::toldOnce(told.messages, {folder == "windows" ? "G01.DAT" : "空か"}));
    }

    // Both windows come back where they were left; every control is named.
    searchIn(dir_.path() / "none");
    window_.folderSearchWindow()->hide();
    test::click(&window_, "searchButton");
    EXPECT_EQ(window_.folderSearchWindow()->folder().toStdString(), dir_.path() / "none");
    EXPECT_EQ(test::controlNames(window_.folderSearchWindow()).join(' '),
              "backButton=戻る chooseButton=選択 driveBox=ドライブ folderList=フォルダ");
    test::click(&window_, "saveButton");
    EXPECT_EQ(test::controlNames(window_.dataSaveWindow()).join(' '),
              "backButton=戻る driveBox=ドライブ folderList=フォルダ folderNameBox=フォルダ名 "
              "saveButton=保存 targetLabel=保存先");
}

}  // namespace
}  // namespace kavlo
