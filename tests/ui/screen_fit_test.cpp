#include "ui/screen_fit.h"

#include "application_folder.h"
#include "core/opened_files.h"
#include "ui/file_group_box.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"
#include "ui_helpers.h"

namespace kavlo {
namespace {

// A window's frame, known once it is shown, lies within the screen's free area.
testing::AssertionResult onScreen(QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect available = window->screen()->availableGeometry();
    if (window->isVisible() && available.contains(frame)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << window->objectName().toStdString() << " at " << frame.x() << "," << frame.y() << " "
           << frame.width() << "x" << frame.height();
}

// Every window, the canvas at each of its sizes and a message too long for the screen, on the
// screens CTest gives the offscreen platform (see CMakeLists.txt): 1024 x 768, and 1366 x 768
// at 125 %.
TEST(SmallScreen, EveryWindowFitsASmallScreen) {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    if (screen != QSize(1024, 768) && screen != QSize(1366, 768)) {
        GTEST_SKIP() << "needs a small screen";
    }
    const test::TempDir dir;
    Session session(dir.path() / "home");
    seedApplicationFolder(session.appFolder);
    RecordedMessages messages;
    MainWindow main(session, messages);
    main.startUp();
    main.show();
    EXPECT_TRUE(onScreen(&main));

    // "サイズ" takes the canvas through its seven sizes, A first after the last.
    for (int size = 0; size < 7; ++size) {
        test::click(&main, "sizeButton");
        test::click(&main, "drawButton");
        ASSERT_NE(main.canvas(), nullptr);
        EXPECT_TRUE(onScreen(main.canvas())) << "size " << size;
        emit main.canvas()->backPressed();
    }

    test::click(&main, "helpButton");
    const QWidgetList tops = QApplication::topLevelWidgets();
    const auto help = std::ranges::find(tops, QString("helpWindow"), &QWidget::objectName);
    ASSERT_NE(help, tops.end());
    EXPECT_TRUE(onScreen(*help));

    test::click(&main, "formatCheckerButton1");
    ASSERT_NE(main.checker(), nullptr);
    EXPECT_TRUE(onScreen(main.checker()));
    test::click(&main, "saveButton");
    EXPECT_TRUE(onScreen(main.dataSaveWindow()));
    test::click(&main, "searchButton");
    EXPECT_TRUE(onScreen(main.folderSearchWindow()));

    OpenedFiles opened;
    for (int k = 0; k < 60; ++k) {
        opened.leftOut.push_back(
            {"/no/such/folder/graph" + std::to_string(k) + ".dat", LeftOutReason::Missing});
    }
    testing::AssertionResult boxOnScreen = testing::AssertionFailure() << "no message box";
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box) {
            boxOnScreen = onScreen(box);
            box->close();
        }
    });
    MessageBoxes(&main).show(*leftOutFilesMessage(opened));
    EXPECT_TRUE(boxOnScreen);
}

// Where a window goes when its frame, known or allowed for, would leave the screen.
TEST(FittedGeometry, MovesAWindowOntoTheScreenAndShrinksItOnlyWhereTheScreenIsSmaller) {
    const QRect screen(0, 0, 1024, 768);
    const QMargins titled(4, 36, 4, 4);
    const struct {
        QRect wanted;
        QMargins frame;
        QRect available;
        QRect fitted;
    } rows[] = {
        {{67, 33, 794, 720}, titled, screen, {67, 8, 794, 720}},           // up, whole
        {{0, 0, 760, 820}, titled, screen, {0, 0, 760, 728}},              // shorter
        {{700, 500, 500, 200}, titled, screen, {516, 500, 500, 200}},      // left
        {{-30, -5, 300, 200}, {}, {0, 27, 1024, 741}, {0, 27, 300, 200}},  // under a panel
        {{67, 67, 640, 480}, titled, screen, {67, 67, 640, 480}},          // as it was
        {{67, 33, 2000, 2000}, titled, screen, {0, 0, 1016, 728}},         // the whole screen
    };
    for (const auto& row : rows) {
        EXPECT_EQ(fittedGeometry(row.wanted, row.frame, row.available), row.fitted)
            << row.wanted.x();
    }
}

}  // namespace
}  // namespace kavlo
