#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <fstream>

#include "application_folder.h"
#include "core/path_file.h"
#include "test_files.h"
#include "ui/canvas_window.h"
#include "ui/file_group_box.h"
#include "ui/slot_box.h"

namespace kavlo {
namespace {

using test::TempDir;

// A main window on a fresh application folder holding the samples, with messages recorded.
class MainWindowTest : public testing::Test {
  protected:
    MainWindowTest() : session_(dir_.path() / "home") {
        seedApplicationFolder(session_.appFolder);
        QSettings("Fernwick", "qap").clear();
    }

    template <class T>
    T* find(const char* name) const {
        return window_.findChild<T*>(name);
    }
    std::string home(const char* file) const { return (session_.appFolder / file).string(); }

    void clickItem(const char* list, int row) {
        auto* files = find<QListWidget>(list);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(files->item(row)).center());
    }

    TempDir dir_;
    Session session_;
    RecordedMessages messages_;
    MainWindow window_{session_, messages_};
};

TEST_F(MainWindowTest, FirstRunWelcomesAndOffersTheSamples) {
    window_.startUp();
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(messages_.messages[0].text,
              "初めまして、Kavloです。サンプルを描画しますので、最初に描画ボタンを押してみてくだ"
              "さい。");
    const PageSetup setup = window_.pageSetup();
    EXPECT_EQ(setup.file(FileKind::Format, 6), home("frmqap6.dat"));
    EXPECT_EQ(setup.file(FileKind::Numeric, 1), home("g01.dat"));
    EXPECT_EQ(setup.file(FileKind::Comment, 4), home("cmtqap4.txt"));
    EXPECT_EQ(setup.file(FileKind::Comment, 5), "");
    EXPECT_EQ(setup.picker(FileKind::Comment).pattern, "*.txt");
    EXPECT_EQ(setup.header, (HeaderSetup{"", 0, 3, 0}));
    EXPECT_EQ(find<QPushButton>("Command7")->text(), "サイズ Ａ");
    EXPECT_FALSE(find<QPushButton>("Command8")->isVisibleTo(&window_));
}

TEST_F(MainWindowTest, RestoresFullAndShortPathFiles) {
    PageSetup stored = sampleSetup(session_.appFolder.string());
    stored.file(FileKind::Format, 2).clear();
    stored.header = HeaderSetup{"Header, with a comma", 3, 8, 2};
    const std::string text = formatPathFile(stored);
    TempDir other;
    std::filesystem::create_directories(session_.appFolder);
    std::ofstream(session_.appFolder / kPathFileName, std::ios::binary) << text;
    QSettings("Fernwick", "qap").setValue("size", "d");
    window_.startUp();
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_EQ(window_.pageSetup(), stored);
    EXPECT_EQ(find<QPushButton>("Command7")->text(), "サイズ Ｄ");

    // Nine lines: the format picker and its boxes, the rest as the window starts.
    std::size_t end = 0;
    for (int line = 0; line < 9; ++line) {
        end = text.find("\r\n", end) + 2;
    }
    std::ofstream(session_.appFolder / kPathFileName, std::ios::binary) << text.substr(0, end);
    MainWindow fresh(session_, messages_);
    fresh.startUp();
    const PageSetup restored = fresh.pageSetup();
    EXPECT_EQ(restored.picker(FileKind::Format), stored.picker(FileKind::Format));
    EXPECT_EQ(restored.file(FileKind::Numeric, 1), "");
    EXPECT_EQ(restored.picker(FileKind::Numeric).pattern, "*.dat");
    EXPECT_EQ(restored.header, (HeaderSetup{"", 0, 2, 1}));
}

TEST_F(MainWindowTest, PickingFilesFromTheListsOfTheirKind) {
    window_.startUp();
    auto* box = find<SlotBox>("Text2_3");
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->text(), "");
    EXPECT_EQ(window_.pickTarget(), 23);
    clickItem("File1", 0);  // a format file does not go into a numeric box
    EXPECT_EQ(box->text(), "");
    EXPECT_EQ(window_.pickTarget(), 23);
    auto* numericFiles = find<QListWidget>("File2");
    const int g01 = static_cast<int>(
        numericFiles->row(numericFiles->findItems("g01.dat", Qt::MatchExactly).front()));
    clickItem("File2", g01);
    EXPECT_EQ(box->text().toStdString(), home("g01.dat"));
    EXPECT_EQ(window_.pickTarget(), 0);

    // Double clicks walk on from the file picked last; past the list's end the box stays empty.
    auto* format = find<SlotBox>("Text1_1");
    auto* formatFiles = find<QListWidget>("File1");
    std::vector<std::string> seen;
    for (int k = 1; k <= formatFiles->count(); ++k) {
        QTest::mouseDClick(format, Qt::LeftButton);
        seen.push_back(format->text().toStdString());
    }
    EXPECT_EQ(seen.front(), home(formatFiles->item(1)->text().toUtf8().constData()));
    EXPECT_EQ(seen[1], home(formatFiles->item(2)->text().toUtf8().constData()));
    EXPECT_EQ(seen.back(), "");

    // A pattern narrows the list; "▲" takes the folder of the group above.
    find<QLineEdit>("Text3_0")->setText("cmtqap1*");
    EXPECT_EQ(find<QListWidget>("File3")->count(), 1);
    window_.group(FileKind::Format)->setFolder(QString::fromStdString(dir_.path().string()));
    QTest::mouseClick(find<QPushButton>("Command2_0"), Qt::LeftButton);
    EXPECT_EQ(window_.group(FileKind::Numeric)->folder().toStdString(), dir_.path().string());
    EXPECT_NE(window_.group(FileKind::Comment)->folder().toStdString(), dir_.path().string());
}

TEST_F(MainWindowTest, SizeButtonCyclesAndIsStored) {
    window_.startUp();
    auto* size = find<QPushButton>("Command7");
    QTest::mouseClick(size, Qt::LeftButton);
    EXPECT_EQ(size->text(), "サイズ Ｂ");
    EXPECT_EQ(QSettings("Fernwick", "qap").value("size").toString(), "b");
    for (int k = 0; k < 6; ++k) {
        QTest::mouseClick(size, Qt::LeftButton);
    }
    EXPECT_EQ(size->text(), "サイズ Ａ");
    EXPECT_EQ(QSettings("Fernwick", "qap").value("size").toString(), "a");
}

TEST_F(MainWindowTest, DrawRequestWritesPathFilesClearsBoxesAndShowsTheCanvas) {
    window_.startUp();
    window_.show();
    TempDir data;
    const std::string format = data.write("f.dat", test::FormatLines().text());
    PageSetup setup = window_.pageSetup();
    setup.file(FileKind::Format, 1) = format;
    setup.file(FileKind::Numeric, 1) = (data.path() / "missing.dat").string();
    setup.file(FileKind::Format, 3).clear();  // slot 3 loses its other names
    window_.setPageSetup(setup);
    session_.graph.TurnSteps[2] = 3;
    messages_.messages.clear();

    QTest::mouseClick(find<QPushButton>("Command4"), Qt::LeftButton);
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0].title, " 1st Graph Data Error");
    const PageSetup after = window_.pageSetup();
    EXPECT_EQ(after.file(FileKind::Numeric, 1), "");
    EXPECT_EQ(after.file(FileKind::Numeric, 3), "");
    EXPECT_EQ(after.file(FileKind::Comment, 3), "");
    EXPECT_EQ(session_.graph.TurnSteps[2], 0);
    // The path file goes to the application folder and to the first format file's folder.
    EXPECT_EQ(readPathFile(session_.appFolder / kPathFileName, {}), after);
    EXPECT_EQ(readPathFile(data.path() / kPathFileName, {}), after);
    ASSERT_NE(window_.canvas(), nullptr);
    EXPECT_TRUE(window_.canvas()->isVisible());
    EXPECT_FALSE(window_.isVisible());

    // Back brings the main window back with its save button; closing the canvas without it.
    emit window_.canvas()->backPressed();
    EXPECT_TRUE(window_.isVisible());
    EXPECT_TRUE(find<QPushButton>("Command8")->isVisible());
}

TEST_F(MainWindowTest, SlotFourStartsBelowSlotOneWhenTwoAndThreeAreEmpty) {
    window_.startUp();
    PageSetup setup = window_.pageSetup();
    for (int slot : {2, 3, 5, 6}) {
        setup.file(FileKind::Format, slot).clear();
    }
    // Slot 1 alone gives the bottom of its frame and comments.
    PageSetup first = setup;
    first.file(FileKind::Format, 4).clear();
    Session alone(session_.appFolder);
    alone.setup = first;
    alone.composeScreenPage(messages_);
    const float bottom = alone.graph.PageBottom;

    window_.setPageSetup(setup);
    window_.drawRequest();
    // The last graph drawn is slot 4: its frame top lies YSP (8 mm) below that bottom.
    EXPECT_NEAR(session_.graph.TopY, bottom + 8, 1e-3);
    EXPECT_EQ(session_.graph.TopX, 120 + 4);
    EXPECT_TRUE(messages_.messages.size() == 1);  // the welcome only
}

TEST_F(MainWindowTest, PathEndsToggle) {
    window_.startUp();
    auto* box = find<SlotBox>("Text1_1");
    QTest::mouseClick(find<QPushButton>("Command11"), Qt::LeftButton);
    EXPECT_EQ(box->cursorPosition(), box->text().size());
    QTest::mouseClick(find<QPushButton>("Command11"), Qt::LeftButton);
    EXPECT_EQ(box->cursorPosition(), 1);
}

}  // namespace
}  // namespace kavlo
