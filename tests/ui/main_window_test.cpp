#include "ui/main_window.h"

#include "application_folder.h"
#include "core/path_file.h"
#include "core/path_relocation.h"
#include "ui/drive_list.h"
#include "ui/file_group_box.h"
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
    void clickItem(const char* list, const char* name) {
        auto* files = window_.findChild<QListWidget*>(list);
        const auto* item = files->findItems(name, Qt::MatchExactly).front();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(item).center());
    }

    test::TempDir dir_;
    Session session_;
    RecordedMessages messages_;
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
