#include "ui/main_window.h"

#include "application_folder.h"
#include "core/path_file.h"
#include "core/path_relocation.h"
#include "devices/graph_preview.h"
#include "render/page_composition.h"
#include "render/render_rig.h"
#include "ui/drive_list.h"
#include "ui/file_group_box.h"
#include "ui/folder_list.h"
#include "ui/graph_preview_view.h"
#include "ui/slot_box.h"
#include "ui_helpers.h"

namespace kavlo {
namespace {

QStringList itemTexts(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row) {
        texts << list->item(row)->text();
    }
    return texts;
}

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

// A main window on a fresh application folder holding the samples, with messages recorded.
class MainWindowTest : public testing::Test {
  protected:
    MainWindowTest() : session_(dir_.path() / "home") {
        seedApplicationFolder(session_.appFolder);
        QSettings("Fernwick", "qap").clear();
    }
    // Each test starts from the first run; restoring takes windows of its own.
    void SetUp() override { window_.startUp(); }

    std::string home(const std::string& file) const { return (session_.appFolder / file).string(); }
    // Another window started on `pathFile` as the application folder's path file.
    std::unique_ptr<MainWindow> startedOn(std::string_view pathFile) {
        dir_.write("home/Kavlo.pth", pathFile);
        auto window = std::make_unique<MainWindow>(session_, messages_);
        window->startUp();
        return window;
    }
    DataSaveWindow* saveAs(const QString& name) {
        test::click(&window_, "saveButton");
        window_.dataSaveWindow()->findChild<QLineEdit*>("folderNameBox")->setText(name);
        test::click(window_.dataSaveWindow(), "saveButton");
        return window_.dataSaveWindow();
    }
    // Opens the search window and moves its folder list to `folder`, as activating an entry
    // does. Tells whether "選択" is offered there.
    bool searchIn(const std::filesystem::path& folder) {
        test::click(&window_, "searchButton");
        auto* list = window_.folderSearchWindow()->findChild<FolderList*>("folderList");
        list->setFolder(test::qpath(folder));
        emit list->folderChosen(list->folder());
        return !window_.folderSearchWindow()->findChild<QWidget*>("chooseButton")->isHidden();
    }
    void clickItem(const char* list, const char* name) {
        auto* files = window_.findChild<QListWidget*>(list);
        const auto* item = files->findItems(name, Qt::MatchExactly).front();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(item).center());
    }

    test::TempDir dir_;
    Session session_;
    test::AnsweringMessages messages_;
    MainWindow window_{session_, messages_};
};

TEST_F(MainWindowTest, FirstRunWelcomesOffersTheSamplesNamesItsControlsAndCyclesTheSize) {
    EXPECT_EQ(messages_.messages,
              (std::vector{Message{"Kavlo",
                                   "初めまして、Kavloです。サンプルを描画しますので、最初に描画ボ"
                                   "タンを押してみてください。",
                                   MessageIcon::None}}));
    EXPECT_EQ(window_.pageSetup(), sampleSetup(session_.appFolder.string()));
    EXPECT_FALSE(window_.findChild<QPushButton*>("saveButton")->isVisibleTo(&window_));

    // Each click takes the next size, A to G and round again, and stores it.
    auto* size = window_.findChild<QPushButton*>("sizeButton");
    EXPECT_EQ(size->text(), "サイズ Ａ");
    for (const QString next : {"Ｂb", "Ｃc", "Ｄd", "Ｅe", "Ｆf", "Ｇg", "Ａa"}) {
        QTest::mouseClick(size, Qt::LeftButton);
        EXPECT_EQ(size->text() + QSettings("Fernwick", "qap").value("size").toString(),
                  "サイズ " + next);
    }

    // Every control is named.
    const QStringList names = test::controlNames(&window_);
    EXPECT_EQ(names.size(), 3 * (6 + 6 + 5) + 1 + 4 + 7);  // groups, "<=>", header, commands
    EXPECT_EQ(names.filter(QRegularExpression("=$")), QStringList());
}

TEST_F(MainWindowTest, RestoresFullAndWindowsPathFilesTellingOnceWhatWasFoundElsewhere) {
    PageSetup stored = sampleSetup(session_.appFolder.string());
    stored.file(FileKind::Format, 2).clear();
    stored.header = HeaderSetup{"Header, with a comma", 3, 8, 2};
    const std::string text = formatPathFile(stored);
    QSettings("Fernwick", "qap").setValue("size", "d");
    const auto full = startedOn(text);
    EXPECT_EQ(messages_.messages.size(), 1u);  // the first run's welcome only
    EXPECT_EQ(full->pageSetup(), stored);
    EXPECT_EQ(full->findChild<QPushButton*>("sizeButton")->text(), "サイズ Ｄ");

    const std::string win = R"(C:\Users\田中\Kavlo\)";
    PageSetup windows;
    windows.pickers[0] = {"C:", win, "*.dat", {"", win + "FRMQAP1.DAT"}};
    messages_.messages.clear();
    const PageSetup restored = startedOn(test::toCp932(formatPathFile(windows)))->pageSetup();
    EXPECT_EQ(restored.file(FileKind::Format, 1), home("frmqap1.dat"));
    EXPECT_EQ(messages_.messages,
              std::vector{*relocationMessage(
                  {{1, FileKind::Format, win + "FRMQAP1.DAT", home("frmqap1.dat")}})});
}

TEST(MainWindowOnAUsersFolder, UsesTheUsersFilesAndPutsNothingOfItsOwnBesideThem) {
    test::TempDir dir;
    Session session(test::copiedWindowsFolder(dir));
    const auto before = test::folderListing(session.appFolder);
    ASSERT_TRUE(seedApplicationFolder(session.appFolder));
    RecordedMessages messages;
    MainWindow window(session, messages);
    window.startUp();
    EXPECT_EQ(test::folderListing(session.appFolder), before);

    // The help is the program's own (the one message tells what was not found).
    test::click(&window, "helpButton");
    EXPECT_EQ(messages.messages.size(), 1u) << messages.messages.back().text;
    const QWidgetList tops = QApplication::topLevelWidgets();
    const auto help = std::ranges::find(tops, QString("helpWindow"), &QWidget::objectName);
    ASSERT_TRUE(help != tops.end() && (*help)->isVisible());
    EXPECT_TRUE(qobject_cast<QTextBrowser*>(*help)->toPlainText().contains("Kavlo ヘルプ"));

    // A draw names the user's files in the path file and adds nothing else.
    test::click(&window, "drawButton");
    EXPECT_EQ(messages.messages.size(), 1u) << messages.messages.back().text;
    const auto written = readPathFile(session.appFolder / kPathFileName, {}).value_or(PageSetup{});
    EXPECT_EQ(written.file(FileKind::Format, 1) + " " + written.file(FileKind::Numeric, 1),
              (session.appFolder / "FRMQAP1.DAT").string() + " " +
                  (session.appFolder / "G01.DAT").string());
    EXPECT_EQ(test::folderListing(session.appFolder), before);

    // A path file that gives nothing is told, and no sample takes its place.
    dir.write("W/Kavlo.pth", "");
    MainWindow emptied(session, messages);
    emptied.startUp();
    EXPECT_EQ(emptied.pageSetup().file(FileKind::Format, 1), "");
    EXPECT_TRUE(test::holdsAll(messages.messages.back().text, {"前回の選択を戻せませんでした"}));
    EXPECT_EQ(test::folderListing(session.appFolder), before);
}

TEST_F(MainWindowTest, PickingFilesPatternsAndPathEnds) {
    auto* box = window_.findChild<SlotBox*>("numericBox3");
    auto picked = [&] { return std::pair(box->text().toStdString(), window_.pickTarget()); };
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(picked(), std::pair(std::string(), 23));
    clickItem("formatFileList", "frmqap1.dat");  // a format file does not go into a numeric box
    EXPECT_EQ(picked(), std::pair(std::string(), 23));
    clickItem("numericFileList", "g01.dat");
    EXPECT_EQ(picked(), std::pair(home("g01.dat"), 0));

    // "<=>" shows the ends of the paths, then their starts.
    auto* format = window_.findChild<SlotBox*>("formatBox1");
    test::click(&window_, "pathEndsButton");
    EXPECT_EQ(format->cursorPosition(), format->text().size());
    test::click(&window_, "pathEndsButton");
    EXPECT_EQ(format->cursorPosition(), 1);

    // Double clicks walk on from the file picked last; past the list's end the box stays empty.
    auto* formatFiles = window_.findChild<QListWidget*>("formatFileList");
    for (int k = 1; k <= formatFiles->count(); ++k) {
        QTest::mouseDClick(format, Qt::LeftButton);
        const auto* next = formatFiles->item(k);
        EXPECT_EQ(format->text().toStdString(), next ? home(next->text().toStdString()) : "") << k;
    }

    // A pattern it cannot use is ignored, also by "◆", which reads the lists again.
    auto* pattern = window_.findChild<QLineEdit*>("formatPatternBox");
    const QStringList listed = itemTexts(formatFiles);
    ASSERT_GE(listed.size(), 7);  // the six format samples and g01.dat
    pattern->selectAll();
    QTest::keyClicks(pattern, "[abc");
    QTest::keyClick(pattern, Qt::Key_Return);
    EXPECT_EQ(pattern->text(), "[abc");
    EXPECT_EQ(itemTexts(formatFiles), listed);
    test::click(&window_, "formatReloadButton");
    EXPECT_EQ(itemTexts(formatFiles), listed);
    pattern->setText("g*.dat");  // a usable one takes over again
    EXPECT_EQ(itemTexts(formatFiles), QStringList{"g01.dat"});

    // "▲" takes the folder of the group above.
    window_.group(FileKind::Format)->setFolder(test::qpath(dir_.path()));
    test::click(&window_, "numericAboveFolderButton");
    EXPECT_EQ(window_.group(FileKind::Numeric)->folder().toStdString(), dir_.path().string());
    EXPECT_NE(window_.group(FileKind::Comment)->folder().toStdString(), dir_.path().string());
}

TEST_F(MainWindowTest, OpensAwayFromTheCornerAndDrawRequestWritesPathFilesAndShowsTheCanvas) {
    window_.show();
    EXPECT_EQ(window_.pos(), QPoint(67, 67));  // 1000 twips, 15 to the pixel
    EXPECT_EQ(window_.windowTitle(), QString("Kavlo " KAVLO_PROJECT_VERSION));
    window_.group(FileKind::Format)
        ->setSlotText(1, test::qpath(dir_.write("f.dat", test::FormatLines().text())));
    window_.group(FileKind::Numeric)->setSlotText(1, test::qpath(dir_.path() / "missing.dat"));
    window_.group(FileKind::Format)->setSlotText(3, "");  // slot 3 loses its other names
    session_.steps.turn[2] = 3;

    test::click(&window_, "drawButton");
    ASSERT_EQ(messages_.messages.size(), 2u);  // after the welcome
    EXPECT_EQ(messages_.messages[1].title, " 1st Graph Data Error");
    const PageSetup after = window_.pageSetup();
    EXPECT_EQ(after.file(FileKind::Numeric, 1) + after.file(FileKind::Numeric, 3) +
                  after.file(FileKind::Comment, 3),
              "");
    EXPECT_EQ(session_.steps.turn[2], 0);
    // The path file goes to the application folder and to the first format file's folder.
    EXPECT_EQ(readPathFile(session_.appFolder / kPathFileName, {}), after);
    EXPECT_EQ(readPathFile(dir_.path() / kPathFileName, {}), after);
    ASSERT_TRUE(window_.canvas() && window_.canvas()->isVisible() && !window_.isVisible());
    // Back brings the main window back with its save button; closing the canvas without it.
    emit window_.canvas()->backPressed();
    EXPECT_TRUE(window_.isVisible() && window_.findChild<QPushButton*>("saveButton")->isVisible());
}

// A line break would end the name's line in the path file and shift every later line.
TEST_F(MainWindowTest, ANameWithALineBreakIsRefusedWhereverItEnters) {
    const std::string pathFile = test::bytesOf(home(kPathFileName));
    messages_.messages.clear();
    const auto told = [&](std::string_view part) {
        return test::toldOnce(std::exchange(messages_.messages, {}), {part});
    };
    window_.group(FileKind::Comment)->setSlotText(6, test::qpath(dir_.write("c\nd.txt", "note")));
    test::click(&window_, "drawButton");
    EXPECT_TRUE(told("コメントデータファイル 6 のファイル名に改行"));
    EXPECT_EQ(window_.canvas(), nullptr);
    EXPECT_EQ(test::bytesOf(home(kPathFileName)), pathFile);

    dir_.write("home/g\r02.dat", "3 2\n0 1 2\n1 2 3\n");
    window_.group(FileKind::Numeric)->refresh();
    QTest::mouseClick(window_.findChild<SlotBox*>("numericBox2"), Qt::LeftButton);
    clickItem("numericFileList", "g\r02.dat");
    EXPECT_TRUE(told("数値データファイル 2 のファイル名に改行"));
    EXPECT_EQ(window_.pageSetup().file(FileKind::Numeric, 2), "");

    const std::string grid = dir_.write("grid\n.dat", "3 2\n0 1 2\n1 2 3\n");
    window_.openFiles({grid});
    EXPECT_TRUE(told(grid));
    EXPECT_EQ(window_.pageSetup().file(FileKind::Numeric, 1), "");
}

// A box reached by Tab or Shift+Tab is armed as a click arms it, but keeps its text; Enter or
// Space on a file list entry fills it as a click does, and only they do.
TEST_F(MainWindowTest, TheKeyboardArmsBoxesPicksFilesAndTabsRowByRow) {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    auto* files = window_.findChild<QListWidget*>("numericFileList");
    const auto control = [&](const char* name) { return window_.findChild<QWidget*>(name); };
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    const auto box = [&](int slot) { return window_.group(FileKind::Numeric)->slotText(slot); };
    window_.group(FileKind::Numeric)->setSlotText(3, "kept.dat");
    for (const auto& [from, key, slot] : {std::tuple{"numericCheckerButton1", Qt::Key_Return, 2},
                                          std::tuple{"numericCheckerButton3", Qt::Key_Space, 3}}) {
        const QString before = box(slot);
        control(from)->setFocus();
        press(Qt::Key_Tab, slot == 2 ? Qt::NoModifier : Qt::ShiftModifier);
        EXPECT_EQ(std::pair(QApplication::focusWidget()->objectName(), window_.pickTarget()),
                  std::pair(QString("numericBox%1").arg(slot), 20 + slot));
        EXPECT_EQ(box(slot), before);
        files->setFocus();
        files->setCurrentRow(-1);
        press(Qt::Key_Down);
        EXPECT_EQ(window_.pickTarget(), 20 + slot) << "moving through the list picks nothing";
        press(key);
        EXPECT_EQ(box(slot).toStdString(), home(files->currentItem()->text().toStdString()));
        EXPECT_EQ(window_.pickTarget(), 0);
    }

    // Tab goes row by row, left to right, from the top-left control to the last command.
    const QWidgetList tabbed = test::tabOrder(&window_);
    EXPECT_EQ(tabbed.value(0), control("formatReloadButton"));
    EXPECT_EQ(tabbed.value(tabbed.size() - 1), control("homePageButton"));
    EXPECT_TRUE(test::inRows(tabbed));
}

TEST_F(MainWindowTest, AWorkingFolderSavedAndLoadedAgainDrawsTheSame) {
    messages_.messages.clear();  // the welcome
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
    EXPECT_TRUE(messages_.messages.empty() && !std::filesystem::exists(dir_.path() / "w"));
    // Which copy each slot names is the working folder's own test; the drawing below shows it.
    const PageSetup saved =
        readPathFile(session_.appFolder / "w" / kPathFileName, {}).value_or(PageSetup{});

    // Loaded, then saved again under its own name: Yes and No both keep the data.
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No, MessageAnswer::Yes}) {
        window_.setPageSetup(sampleSetup("/elsewhere"));
        ASSERT_TRUE(searchIn(session_.appFolder / "w"));
        test::click(window_.folderSearchWindow(), "chooseButton");
        EXPECT_TRUE(window_.folderSearchWindow()->isHidden());
        EXPECT_EQ(window_.pageSetup(), saved);
        EXPECT_EQ(drawingCalls(window_.pageSetup()), calls);
        messages_.answer = answer;
        saveAs("w");
        ASSERT_EQ(std::exchange(messages_.messages, {}).size(), 1u);  // the overwrite question
        EXPECT_EQ(test::bytesOf(session_.appFolder / "w" / kPathFileName), formatPathFile(saved));
    }
}

TEST_F(MainWindowTest, SearchLoadsPathFilesAsTheStartUpReadsThem) {
    messages_.messages.clear();  // the welcome
    for (const char* folder : {"none", "empty", "windows"}) {
        std::filesystem::create_directories(dir_.path() / folder);
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
        const std::filesystem::path pathFile = dir_.path() / folder / kPathFileName;
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

TEST_F(MainWindowTest, TheFormatCheckerPreviewsItsSlotAsEditedAndSavesOnlyTheChangedLine) {
    test::click(&window_, "formatCheckerButton1");
    CheckerWindow* checker = window_.checker();
    ASSERT_TRUE(checker);
    checker->findChild<QTabWidget*>("formatPanel")->setCurrentIndex(1);
    auto* preview = checker->findChild<GraphPreviewView*>("graphPreview");
    QSignalSpy redrawn(preview, &GraphPreviewView::redrawn);
    const std::string format = home("frmqap1.dat");
    TextExtentCache extents;
    const auto drawnFrom = [&](const std::string& numeric) {
        SilentMessages quiet;
        return renderGraphPreview(1, {format, numeric}, quiet, extents);
    };
    const QImage asSaved = drawnFrom(home("g01.dat"));
    ASSERT_TRUE(redrawn.wait());
    EXPECT_EQ(preview->image(), asSaved) << "the slot's numeric file is plotted";
    EXPECT_NE(asSaved, drawnFrom(""));
    const std::string before = test::bytesOf(format);

    // A change in the form, or typed, is drawn before anything is saved; a value the reader
    // corrects is told and drawn as corrected.
    auto* ldr = checker->findChild<QComboBox*>("fieldLDR");
    const auto choose = [&](int value) {
        ldr->setCurrentIndex(ldr->findData(value));
        emit ldr->activated(ldr->currentIndex());
    };
    choose(3);
    ASSERT_TRUE(redrawn.wait());
    const QImage mesh = preview->image();
    EXPECT_NE(mesh, asSaved);
    auto* editor = checker->findChild<QPlainTextEdit*>("editor");
    const auto typeTilt = [&](const QString& line) {
        QTextCursor tilt(editor->document()->findBlockByNumber(5));
        tilt.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        tilt.insertText(line);
        return redrawn.wait();
    };
    // Why a graph cannot be drawn is told in its place.
    ASSERT_TRUE(typeTilt("30, 20, 1, 30000, 3"));
    EXPECT_TRUE(preview->image().isNull());
    EXPECT_TRUE(
        test::holdsAll(preview->accessibleDescription().toStdString(), {"データ数が多すぎます。"}));
    ASSERT_TRUE(typeTilt("30, 20, 1, 3, 9"));
    EXPECT_EQ(preview->image(), asSaved);
    EXPECT_TRUE(test::holdsAll(checker->findChild<QLabel*>("formatCheck")->text().toStdString(),
                               {"LDR=1 として"}));
    choose(3);
    ASSERT_TRUE(redrawn.wait());
    messages_.answers = {MessageAnswer::Cancel};
    EXPECT_FALSE(checker->close()) << "a form change is an edit not yet saved";
    test::click(checker, "saveButton");
    QStringList lines = QString::fromStdString(before).split("\r\n");
    lines[5] = "30, 20, 1, 3, 3";
    EXPECT_EQ(test::bytesOf(format), lines.join("\r\n").toStdString());
    EXPECT_EQ(std::pair(preview->image(), drawnFrom(home("g01.dat"))), std::pair(mesh, mesh));
}

// The root and the home folder come first; of the mounted volumes only those that may hold
// the user's files follow, each once.
TEST(DriveList, OffersTheRootTheHomeAndVolumesThatHoldFiles) {
    EXPECT_EQ(driveRoots().mid(0, 2), (QStringList{"/", QDir::homePath()}));
    // "root type", "-" after a volume that is not ready.
    QList<MountedVolume> volumes;
    for (const QString mount :
         {"/ ext4", "/run/media/u/STICK exfat", "/proc proc", "/sys/fs/cgroup/cpu cgroup",
          "/boot/efi vfat", "/media/cd iso9660 -", "/mnt/data ext4", "/home/u btrfs",
          "/bootleg ext4"}) {
        volumes.append({mount.section(' ', 0, 0), mount.section(' ', 1, 1).toUtf8(),
                        mount.section(' ', 2) != "-"});
    }
    const QStringList roots = driveRootsOf({"/", "/home/u"}, volumes);
    EXPECT_EQ(roots, (QStringList{"/", "/home/u", "/bootleg", "/mnt/data", "/run/media/u/STICK"}));
    // A folder belongs to the longest root it lies in, a whole name at a time.
    for (const auto& [folder, drive] :
         {std::pair{"/mnt/data/x", "/mnt/data"}, {"/mnt/data2/x", "/"}, {"/home/u", "/home/u"}}) {
        EXPECT_EQ(driveOf(folder, roots), drive) << folder;
    }
}

// Files handed to the program land in the slot boxes; drawing them is as drawing any.
class OpenFilesTest : public MainWindowTest {
    void SetUp() override {}  // started on the files
};

TEST_F(OpenFilesTest, FilesGivenAtStartTakeTheSlotsInsteadOfTheSamples) {
    const std::string format = dir_.write("frame.dat", test::FormatLines{}.text());
    const std::string grid = dir_.write("grid.dat", "3 2\n0 1 2\n1 2 3\n");
    const std::string picture = dir_.write("page.png", "\x89PNG");
    // A first start: no welcome to the samples the files replace, only the file left out.
    window_.startUp({picture, grid, format});
    EXPECT_TRUE(test::toldOnce(messages_.messages, {picture}));
    const PageSetup placed = window_.pageSetup();  // which slot each kind fills: the core's
    EXPECT_EQ(placed.file(FileKind::Format, 1) + placed.file(FileKind::Numeric, 1), format + grid);
}

}  // namespace
}  // namespace kavlo
