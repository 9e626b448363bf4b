#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "application_folder.h"
#include "core/path_file.h"
#include "render/device_profile.h"
#include "render/page_composition.h"
#include "render/recording_surface.h"
#include "test_files.h"
#include "ui/main_window.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

// The drawing calls of the screen page the set-up composes, one JSON line each.
std::vector<std::string> drawingCalls(PageSetup setup) {
    GraphState g;
    RecordingSurface surface, measure;
    const DeviceProfile profile = screenProfile();
    RecordedMessages messages;
    composePage({g, surface, profile, messages, measure}, setup);
    std::vector<std::string> calls;
    for (const RecordedOp& op : surface.ops()) {
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
    void click(QWidget* window, const char* name) {
        QTest::mouseClick(window->findChild<QWidget*>(name), Qt::LeftButton);
    }
    DataSaveWindow* saveAs(const QString& name) {
        click(&window_, "Command8");
        window_.dataSaveWindow()->findChild<QLineEdit*>("Text1")->setText(name);
        click(window_.dataSaveWindow(), "Command2");
        return window_.dataSaveWindow();
    }
    // Opens the search window and walks its folder list to `folder` as a user would: up to a
    // folder the list shows, then down. Tells whether "選択" is offered there.
    bool searchIn(const fs::path& folder) {
        click(&window_, "Command9");
        walk(window_.folderSearchWindow()->findChild<QListWidget*>("Dir1"), folder);
        return !window_.folderSearchWindow()->findChild<QWidget*>("Command2")->isHidden();
    }
    static void walk(QListWidget* list, const fs::path& folder) {
        auto entry = [&]() -> QListWidgetItem* {
            for (int row = 0; row < list->count(); ++row) {
                if (list->item(row)->data(Qt::UserRole).toString().toStdString() == folder) {
                    return list->item(row);
                }
            }
            return nullptr;
        };
        if (!entry()) {
            walk(list, folder.parent_path());
        }
        list->setCurrentItem(entry());
        QTest::keyClick(list, Qt::Key_Return);
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
    click(&window_, "Command8");
    const QString proposed = window_.dataSaveWindow()->findChild<QLineEdit*>("Text1")->text();
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_TRUE(proposed == now.toString("MMdd-hhmm") ||
                proposed == now.addSecs(-60).toString("MMdd-hhmm"));
    EXPECT_TRUE(saveAs("w")->isHidden() && window_.findChild<QWidget*>("Command8")->isHidden());
    EXPECT_TRUE(messages_.messages.empty());
    const auto saved = readPathFile(home("w") / kPathFileName, {});
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->file(FileKind::Numeric, 2), home("w/g01-2.dat"));
    for (int slot : {1, 3, 4, 5, 6}) {  // the shared file is copied once
        EXPECT_EQ(saved->file(FileKind::Numeric, slot), home("w/g01.dat"));
    }

    // Loaded, then saved again under its own name: Yes and No both keep the data.
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Yes}) {
        window_.setPageSetup(sampleSetup("/elsewhere"));
        ASSERT_TRUE(searchIn(home("w")));
        click(window_.folderSearchWindow(), "Command2");
        EXPECT_TRUE(window_.folderSearchWindow()->isHidden());
        EXPECT_EQ(window_.pageSetup(), *saved);
        EXPECT_EQ(drawingCalls(window_.pageSetup()), calls);
        messages_.answer = answer;
        saveAs("w");
        ASSERT_EQ(messages_.messages.size(), 1u);  // the overwrite question
        messages_.messages.clear();
        EXPECT_EQ(test::bytesOf(home("w") / kPathFileName), formatPathFile(*saved));
    }
}

TEST_F(WorkingFolderWindowsTest, ARefusedOrFailedSaveKeepsTheWindowOpen) {
    const struct {
        QString name;
        mode_t homeMode;
        std::string told;  // empty: no message, and the window closes
    } cases[] = {{"", 0755, ""}, {"../w", 0755, "使えません"}, {"w", 0555, "書き込めません"}};
    window_.findChild<QWidget*>("Command8")->show();
    for (const auto& c : cases) {
        ::chmod(session_.appFolder.c_str(), c.homeMode);
        const DataSaveWindow* form = saveAs(c.name);
        ::chmod(session_.appFolder.c_str(), 0755);
        ASSERT_EQ(messages_.messages.size(), c.told.empty() ? 0u : 1u);
        EXPECT_TRUE(c.told.empty() || messages_.messages[0].text.find(c.told) != std::string::npos);
        messages_.messages.clear();
        EXPECT_EQ(form->isHidden(), c.told.empty());
        EXPECT_FALSE(window_.findChild<QWidget*>("Command8")->isHidden());
    }
    EXPECT_FALSE(fs::exists(home("w")) || fs::exists(dir_.path() / "w"));
}

TEST_F(WorkingFolderWindowsTest, SearchLoadsPathFilesAsTheStartUpReadsThem) {
    for (const char* folder : {"none", "empty", "windows", "short"}) {
        fs::create_directories(dir_.path() / folder);
    }
    dir_.write("empty/Kavlo.pth", "");
    // Written on Windows: CP932 ("C:\データ", "見出し"), backslashes, empty pattern lines.
    const std::string data = "C:\\\x83\x66\x81\x5b\x83\x5e",
                      picker = "C:\\\r\n" + data + "\r\n\r\n";
    const std::string six = data + "\\g01.dat\r\n\r\n\r\n\r\n\r\n\r\n";
    dir_.write("windows/Kavlo.pth", picker + six + picker + six + picker + six +
                                        "\x8c\xa9\x8f\x6f\x82\xb5\r\n1\r\n4\r\n2");
    // Ends after the numeric pattern line: every later box stays empty.
    dir_.write("short/Kavlo.pth",
               "/\r\n/\r\n*.fmt\r\n/f.dat\r\n\r\n\r\n\r\n\r\n\r\n/\r\n/\r\n*.n\r\n");

    EXPECT_FALSE(searchIn(dir_.path() / "none"));
    EXPECT_FALSE(searchIn(dir_.path() / "empty"));
    const HeaderSetup header = window_.pageSetup().header;
    ASSERT_TRUE(searchIn(dir_.path() / "short"));
    click(window_.folderSearchWindow(), "Command2");
    PageSetup expected = window_.pageSetup();
    expected.picker(FileKind::Format).pattern = "*.fmt";
    expected.picker(FileKind::Numeric).pattern = "*.n";
    for (FilePicker& p : expected.pickers) {
        p.files.fill("");
    }
    expected.file(FileKind::Format, 1) = "/f.dat";
    expected.header = {"", header.faceIndex, header.sizeIndex, header.alignmentIndex};
    EXPECT_EQ(window_.pageSetup(), expected);

    ASSERT_TRUE(searchIn(dir_.path() / "windows"));
    click(window_.folderSearchWindow(), "Command2");
    const PageSetup loaded = window_.pageSetup();
    for (const FileKind kind : {FileKind::Format, FileKind::Numeric, FileKind::Comment}) {
        EXPECT_EQ(loaded.file(kind, 1), "C:\\データ\\g01.dat");
        EXPECT_EQ(loaded.picker(kind).pattern, defaultPattern(kind));
    }
    EXPECT_EQ(loaded.header, (HeaderSetup{"見出し", 1, 4, 2}));

    // Both windows come back where they were left; every control is named.
    searchIn(dir_.path() / "none");
    window_.folderSearchWindow()->hide();
    click(&window_, "Command9");
    EXPECT_EQ(window_.folderSearchWindow()->folder().toStdString(), dir_.path() / "none");
    click(&window_, "Command8");
    for (QWidget* form :
         std::initializer_list<QWidget*>{window_.dataSaveWindow(), window_.folderSearchWindow()}) {
        QStringList named;
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (w->window() == form &&
                (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                 qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w))) {
                // On Linux a combo box's own name is its text; its set name is what AT reads.
                const QString set = w->accessibleName();
                named << w->objectName() + "=" +
                             (set.isEmpty() ? QAccessible::queryAccessibleInterface(w)->text(
                                                  QAccessible::Name)
                                            : set);
            }
        }
        named.sort();
        EXPECT_EQ(named.join(" ").toStdString(),
                  form == window_.dataSaveWindow()
                      ? "Command1=戻る Command2=保存 Dir1=フォルダ Drive1=ドライブ Text1=フォルダ名"
                      : "Command1=戻る Command2=選択 Dir1=フォルダ Drive1=ドライブ");
    }
}

}  // namespace
}  // namespace kavlo
