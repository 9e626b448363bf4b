#include "ui/canvas_window.h"

#include "devices/output_device.h"
#include "hill_grid.h"
#include "ui/page_view.h"
#include "ui/session.h"
#include "ui_helpers.h"

namespace kavlo {
namespace {

// Line `number` (from 1) of a file, without its line end.
QString lineOf(const std::string& file, int number) {
    const QString text = QString::fromStdString(test::bytesOf(file));
    return text.split(QRegularExpression("\r?\n")).value(number - 1);
}

using Steps = std::array<double, 7>;

class CanvasWindowTest : public ::testing::Test {
  protected:
    void open(char size = 'b') {
        session.applyViewSize(size);
        session.page = QImage(794, 1123, QImage::Format_RGB32);
        session.page.fill(Qt::white);
        window = std::make_unique<CanvasWindow>(session);
        window->setMessageSink(messages);
        window->showPage();
    }
    QWidget* child(const char* name) const { return window->findChild<QWidget*>(name); }
    QScrollBar* bar(const char* name) const { return window->findChild<QScrollBar*>(name); }
    void choose(int groups) const {
        window->findChild<QComboBox*>("groupChoice")->setCurrentIndex(groups);
    }
    void click(const char* name) const { test::click(window.get(), name); }
    // At a picture point. Returns the vertical bar's value.
    int mouse(QEvent::Type type, QPoint at) const {
        test::sendMouse(child("pageView"), type, at);
        return bar("verticalScrollBar")->value();
    }
    // A window point as a point on the picture where it is now.
    QPoint onPicture(QPoint inWindow) const { return inWindow - window->pictureOffset(); }
    QString status() const { return window->findChild<QLabel*>("statusLine")->text(); }
    // A wheel turned one notch towards the user over `target`.
    static void wheel(QWidget* target, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent event(QPointF(50, 50), target->mapToGlobal(QPointF(50, 50)), {}, {0, -120},
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
    // A left press, move or release on the picture with Ctrl held.
    void ctrlMouse(QEvent::Type type, QPoint at) const {
        QWidget* page = child("pageView");
        const auto buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        const auto button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, page->mapToGlobal(at), button, buttons, Qt::ControlModifier);
        QApplication::sendEvent(page, &event);
    }
    void ctrlWheel(QPoint at, int delta) const {
        QWidget* page = child("pageView");
        QWheelEvent event(at, page->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(page, &event);
    }
    // The sample page drawn and shown.
    void showSamples() {
        open();
        session.setup = sampleSetup(KAVLO_SAMPLES_DIR);
        session.composeScreenPage(messages);
        window->showPage();
    }
    // The picture point in the middle of slot `slot`'s frame floor.
    QPoint onFrame(int slot) const {
        const FrameCorners& f = *session.pageOutcome.frames.at(static_cast<std::size_t>(slot));
        return PageView::mmToPixel({(f.XEndX + f.YEndX) / 2, (f.XEndY + f.YEndY) / 2});
    }
    // The page a whole draw gives with the session's set-up and steps as they are now, at the
    // screen's resolution.
    QImage wholeDraw() const {
        SilentMessages silent;
        PageOutcome outcome;
        return renderScreenImage(session.pageRequest(), silent, outcome,
                                 screenPageDpi(window->devicePixelRatioF()));
    }
    // The format fields written into `slot`, returning the file.
    std::string format(int slot, const std::string& name = "frm.dat") {
        return session.setup.file(FileKind::Format, slot) =
                   dir.write(name, test::FormatLines{}.text());
    }
    test::TempDir dir;
    Session session{dir.path()};
    ViewSteps& steps = session.steps;
    RecordedMessages messages;
    std::unique_ptr<CanvasWindow> window;
};

TEST_F(CanvasWindowTest, DragsSelectAndBarsScroll) {
    open();
    const int pageArea = child("statusLine")->y();
    EXPECT_EQ(QSize(window->width(), pageArea), QSize(767, 667));
    mouse(QEvent::MouseButtonPress, {100, 100});
    mouse(QEvent::MouseMove, {200, 150});
    mouse(QEvent::MouseButtonRelease, {200, 150});
    const float mm = 15 / 56.69291f;
    EXPECT_EQ(window->selection(), QRectF(100 * mm, 100 * mm, 100 * mm, 50 * mm));
    const CanvasSelection& fields = window->selectionFields();

    // Over the vertical bar a drag scrolls a step a move; released there, it keeps the last corner.
    QScrollBar *horizontal = bar("horizontalScrollBar"), *vertical = bar("verticalScrollBar");
    const QRect r = vertical->geometry();
    mouse(QEvent::MouseButtonPress, {100, 100});
    mouse(QEvent::MouseMove, {120, 200});
    EXPECT_EQ(mouse(QEvent::MouseMove, onPicture({8, r.bottom() - 2})), 1);
    EXPECT_EQ(mouse(QEvent::MouseMove, onPicture({8, r.bottom() - 2})), 2);
    vertical->setValue(50);
    EXPECT_EQ(mouse(QEvent::MouseMove, onPicture({8, r.top() + r.height() / 2})), 50);
    EXPECT_EQ(mouse(QEvent::MouseMove, onPicture({8, r.top() + 2})), 49);
    mouse(QEvent::MouseMove, onPicture({120, 300}));
    const CanvasSelection last = fields;
    mouse(QEvent::MouseButtonRelease, onPicture({8, r.top() + r.height() / 2}));
    EXPECT_EQ(QPointF(fields.SelX2, fields.SelY2), QPointF(last.MouseX, last.MouseY));

    // The wheel and the keys move the bars; at 0 and 100 the page edges meet the client edges.
    QWidget* picture = child("pageView");
    wheel(picture);
    const int v = vertical->value();
    EXPECT_GT(v, 49);  // down from where the drag left it
    EXPECT_EQ(window->pictureOffset().y(), qRound(-6840.0 * v / 100 / 15));

    const std::pair<Qt::Key, QPoint> keys[] = {
        {Qt::Key_End, {0, 100}}, {Qt::Key_Home, {0, 0}},  {Qt::Key_PageDown, {0, 20}},
        {Qt::Key_Down, {0, 22}}, {Qt::Key_Up, {0, 20}},   {Qt::Key_Right, {5, 20}},
        {Qt::Key_Left, {0, 20}}, {Qt::Key_PageUp, {0, 0}}};
    for (const auto& [key, values] : keys) {
        QTest::keyClick(child("backButton"), key);
        EXPECT_EQ(QPoint(horizontal->value(), vertical->value()), values) << key;
    }

    EXPECT_EQ(window->pictureOffset(), QPoint(0, 0));
    horizontal->setValue(100);
    vertical->setValue(100);
    EXPECT_EQ(window->pictureOffset() + QPoint(794, 1123), QPoint(767, pageArea));

    // Shift with the wheel scrolls sideways.
    horizontal->setValue(0);
    vertical->setValue(0);
    wheel(picture, Qt::ShiftModifier);
    EXPECT_EQ(QPoint(horizontal->value(), vertical->value()),
              QPoint(QApplication::wheelScrollLines() * 5, 0));
}

// The status line and the bars lie inside the window whatever its size, the line under the page
// and wide enough for the whole message.
TEST_F(CanvasWindowTest, EverySizeShowsTheWholeStatusAndBothBarsInside) {
    for (const char size : {'a', 'b', 'c', 'd', 'e', 'f', 'g'}) {
        open(size);
        click("writeBackButton");
        const auto* line = window->findChild<QLabel*>("statusLine");
        EXPECT_EQ(line->text(), "0 個のファイルに書き込みました。") << size;
        EXPECT_GE(line->contentsRect().width(), line->fontMetrics().horizontalAdvance(status()))
            << size;
        EXPECT_TRUE(line->isVisible() && window->rect().contains(line->geometry())) << size;
        EXPECT_EQ(line->y(), qRound(session.canvas.viewHeight / 15)) << size << " under the page";
        for (const QScrollBar* bar : window->findChildren<QScrollBar*>()) {
            EXPECT_TRUE(window->rect().contains(bar->geometry()) && bar->height() > 0)
                << size << " " << bar->objectName().toStdString();
            EXPECT_FALSE(bar->geometry().intersects(line->geometry())) << size;
        }
    }

    // A view taller than the screen: the window keeps to the screen, and the page scrolls down
    // to its foot all the same.
    session.canvas.viewHeight = 30000;
    window->showPage();
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
    bar("verticalScrollBar")->setValue(100);
    EXPECT_EQ(window->pictureOffset().y() + 1123, child("statusLine")->y());
}

TEST_F(CanvasWindowTest, ViewAndBackButtonsChangeTheChosenGroups) {
    open();
    session.setup = sampleSetup(KAVLO_SAMPLES_DIR);
    session.composeScreenPage(messages);
    const QImage first = session.page;
    click("stretchUpButton");
    click("stretchUpButton");
    EXPECT_EQ(steps.zoom, (Steps{0, -2, -2, -2, -2, -2, -2}));
    EXPECT_NE(window->shownPage(), first);
    choose(3);
    click("turnLeftButton");
    EXPECT_EQ(steps.turn, (Steps{0, 0, 0, 1, 0, 0, 0}));
    choose(7);
    click("resetViewButton");
    EXPECT_EQ(steps.zoom, (Steps{0, 0, 0, -2, -2, -2, -2}));

    // Back resets the chosen groups and hides the window where it is; closing keeps the steps.
    QSignalSpy backs(window.get(), &CanvasWindow::backPressed);
    QSignalSpy closes(window.get(), &CanvasWindow::closedByUser);
    choose(8);
    window->move(300, 200);
    click("backButton");
    EXPECT_EQ(steps.zoom, (Steps{0, 0, 0, 0, 0, -2, -2}));
    EXPECT_EQ(QPointF(session.canvas.viewLeft, session.canvas.viewTop), QPointF(4500, 3000));
    EXPECT_TRUE(window->isHidden() && backs.count() == 1);
    window->showPage();  // Escape is Back too
    QTest::keyClick(child("backButton"), Qt::Key_Escape);
    EXPECT_EQ(std::tuple(backs.count(), steps.zoom), std::tuple(2, Steps{}));
    steps.zoom[6] = 1;
    window->showPage();
    window->close();
    EXPECT_EQ(std::tuple(closes.count(), backs.count(), steps.zoom[6]), std::tuple(1, 2, 1.0));
}

TEST_F(CanvasWindowTest, WriteBackRewritesEachFileOnceSaysHowManyAndKeepsStepsItCannotWrite) {
    // One file under three spellings, turned once for all.
    const std::string shared = format(1);
    std::filesystem::create_symlink("frm.dat", dir.path() / "link.dat");
    session.setup.file(FileKind::Format, 2) = (dir.path() / "." / "frm.dat").string();
    session.setup.file(FileKind::Format, 4) = (dir.path() / "link.dat").string();
    steps.turn = {0, 1, 1, 0, 1, 0, 0};
    open();
    EXPECT_EQ(status(), "");
    click("writeBackButton");
    EXPECT_EQ(lineOf(shared, 6), "   35.0   25.0   1.0   2.0   1.0");
    EXPECT_EQ(std::tuple(status(), messages.messages.size(), steps.turn),
              std::tuple(QString("1 個のファイルに書き込みました。"), 0u, Steps{}));

    // Different steps: the lowest slot's are written and one message names the others. A file
    // that cannot be written keeps its steps, for another try; an empty slot loses them.
    const std::string other = format(3, "other.dat");
    session.setup.file(FileKind::Format, 5) = (dir.path() / "gone" / "frm.dat").string();
    steps.turn = {0, 2, 1, 1, 2, 1, 1};
    steps.zoom = {0, 0, 0, 0, 0, 3, 3};
    click("writeBackButton");
    EXPECT_EQ(lineOf(shared, 6), "   45.0   15.0   1.0   2.0   1.0");
    EXPECT_EQ(lineOf(other, 6), "   35.0   25.0   1.0   2.0   1.0");
    EXPECT_EQ(std::pair(steps.turn, steps.zoom),
              std::pair(Steps{0, 0, 0, 0, 0, 1, 0}, Steps{0, 0, 0, 0, 0, 3, 0}));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(test::holdsAll(messages.messages[0].text, {"グラフ 2 の変更"}));
    EXPECT_FALSE(test::holdsAll(messages.messages[0].text, {"4 の変更"}));
    EXPECT_TRUE(test::holdsAll(messages.messages[1].text, {"gone"}));
    EXPECT_EQ(status(), "2 個のファイルに書き込みました。");
}

TEST_F(CanvasWindowTest, WriteBackKeepsTheZoomOfAnAutomaticRange) {
    // ZMN = ZMX: the range comes from the data.
    const std::string zoomed = format(1);
    session.setup.file(FileKind::Numeric, 1) =
        dir.write("z.dat", "3, 3\n1, 2, 3\n2, 3, 4\n3, 4, 5\n");
    open();
    session.composeScreenPage(messages);
    click("stretchUpButton");
    const QImage shown = window->shownPage().copy();
    click("writeBackButton");
    EXPECT_EQ(lineOf(zoomed, 13), "   3.0   2.0   1.0   3.535534");
    session.composeScreenPage(messages);
    EXPECT_TRUE(session.page == shown) << "the next draw shows what the screen showed";
}

// The canvas shows, a pixel to a device pixel, the PNG `render --dpi` writes at 96 times the
// screen's ratio; ctest runs it again under QT_SCALE_FACTOR 1.5 and 2.
TEST_F(CanvasWindowTest, ShowsTheRenderedPngOfTheScreensResolution) {
    showSamples();
    const int dpi = qRound(96 * qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    const std::filesystem::path png = dir.path() / "page.png";
    SilentMessages silent;
    PageOutcome outcome;
    ASSERT_TRUE(
        writePageFile({outputDevice(OutputKind::Screen), dpi, session.pageRequest(), silent}, png,
                      outcome)
            .ok());
    const QImage rendered = QImage(test::qpath(png)).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(window->shownPage() == rendered) << dpi;
    const QImage screenshot =
        child("pageView")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect both = screenshot.rect() & rendered.rect();
    EXPECT_GT(both.height(), 1000);
    EXPECT_TRUE(screenshot.copy(both) == rendered.copy(both)) << dpi;
}

// Ctrl + drag and Ctrl + wheel change the slot under the pointer by the buttons' steps, and
// every step shows the very page a whole draw gives.
TEST_F(CanvasWindowTest, CtrlDragTurnsAndCtrlWheelStretchesTheSlotUnderThePointer) {
    showSamples();
    struct Step {
        const char* what;
        std::function<void(QPoint)> act;
        Steps turn;
        Steps zoom;
    };
    for (const int slot : {1, 4, 6}) {
        steps = {};
        session.composeScreenPage(messages);
        window->showPage();
        const QPoint at = onFrame(slot);
        const auto only = [slot](double value) {
            Steps one{};
            one[static_cast<std::size_t>(slot)] = value;
            return one;
        };
        const Step table[] = {
            {"press", [&](QPoint p) { ctrlMouse(QEvent::MouseButtonPress, p); }, {}, {}},
            {"7 px", [&](QPoint p) { ctrlMouse(QEvent::MouseMove, p + QPoint(7, 3)); }, {}, {}},
            {"17 px right",
             [&](QPoint p) { ctrlMouse(QEvent::MouseMove, p + QPoint(17, 0)); },
             only(-2),
             {}},
            {"9 px left",
             [&](QPoint p) { ctrlMouse(QEvent::MouseButtonRelease, p - QPoint(9, 0)); },
             only(1),
             {}},
            {"after the release", [&](QPoint p) { ctrlMouse(QEvent::MouseMove, p); }, only(1), {}},
            {"wheel up", [&](QPoint p) { ctrlWheel(p, 120); }, only(1), only(-1)},
            {"half notches",
             [&](QPoint p) {
                 ctrlWheel(p, -60);
                 ctrlWheel(p, -60);
                 ctrlWheel(p, -60);
             },
             only(1),
             {}},
        };
        for (const Step& step : table) {
            step.act(at);
            EXPECT_EQ(std::pair(steps.turn, steps.zoom), std::pair(step.turn, step.zoom))
                << slot << " " << step.what;
            EXPECT_TRUE(window->shownPage() == wholeDraw()) << slot << " " << step.what;
        }
        EXPECT_TRUE(test::holdsAll(status().toStdString(), {std::to_string(slot)})) << slot;
    }
    // Slots drawn before the last step are still found.
    ctrlWheel(onFrame(1), 120);
    EXPECT_EQ(std::pair(steps.turn, steps.zoom),
              std::pair(Steps{0, 0, 0, 0, 0, 0, 1}, Steps{0, -1, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(window->shownPage() == wholeDraw());

    // Off every graph Ctrl does nothing, neither turn nor select; a plain drag over a graph
    // still selects and turns nothing.
    steps = {};
    ctrlMouse(QEvent::MouseButtonPress, {2, 2});
    ctrlMouse(QEvent::MouseMove, {60, 2});
    ctrlWheel({2, 2}, 120);
    EXPECT_EQ(std::pair(steps.turn, steps.zoom), std::pair(Steps{}, Steps{}));
    EXPECT_EQ(window->selectionFields().SelX2, 0);
    const QPoint at = onFrame(3);
    mouse(QEvent::MouseButtonPress, at);
    mouse(QEvent::MouseMove, at + QPoint(40, 0));
    mouse(QEvent::MouseButtonRelease, at + QPoint(40, 0));
    EXPECT_NEAR(window->selection().width(), PageView::pixelToMm({40, 0}).x(), 1e-3);
    EXPECT_EQ(steps.turn, Steps{});

    // The buttons on one group draw from that slot on, the same page too.
    choose(4);
    click("turnRightButton");
    EXPECT_EQ(steps.turn, (Steps{0, 0, 0, 0, -1, 0, 0}));
    EXPECT_TRUE(window->shownPage() == wholeDraw());
}

// Where frames overlap, the pointer takes the one drawn last, and a step of the one below
// redraws the one above it as a whole draw does.
TEST_F(CanvasWindowTest, StepsOfOverlappingSlotsShowTheWholeDrawnPage) {
    // Slot 1's wide frame reaches over slot 2's column; slot 3 hangs under both, and the
    // curtains of slots 2 and 3 reach down over what is drawn before them.
    const test::FormatLines wide{.frame = "120, 60, 40, 5, 5, 0, 0", .tilt = "20, 20, 1, 1, 6"};
    const test::FormatLines mesh{.frame = "60, 50, 30, 5, 5, 0, 0", .tilt = "30, 30, 1, 1, 2"};
    const std::string grid = dir.write("hill.dat", test::hillGrid(9));
    session.setup.file(FileKind::Format, 1) = dir.write("wide.dat", wide.text());
    session.setup.file(FileKind::Format, 2) = dir.write("mesh.dat", mesh.text());
    session.setup.file(FileKind::Format, 3) = session.setup.file(FileKind::Format, 2);
    for (const int slot : {1, 2, 3}) {
        session.setup.file(FileKind::Numeric, slot) = grid;
    }
    open();
    session.composeScreenPage(messages);
    window->showPage();
    const QPoint inBoth = onFrame(2);
    PageOutcome firstAlone;
    firstAlone.frames[1] = session.pageOutcome.frames[1];
    const QPointF inBothMm = PageView::pixelToMm(inBoth);
    ASSERT_EQ(
        slotAtPoint(firstAlone, static_cast<float>(inBothMm.x()), static_cast<float>(inBothMm.y())),
        1)
        << "the frames overlap";

    ctrlWheel(inBoth, 240);
    EXPECT_EQ(steps.zoom, (Steps{0, 0, -2, 0, 0, 0, 0}));
    EXPECT_TRUE(window->shownPage() == wholeDraw());
    const QPoint first = onFrame(1);
    for (const int dx : {8, 16, 24, 40}) {
        ctrlMouse(dx == 8 ? QEvent::MouseButtonPress : QEvent::MouseMove, first + QPoint(dx, 0));
        if (dx > 8) {
            EXPECT_TRUE(window->shownPage() == wholeDraw()) << dx;
        }
    }
    EXPECT_EQ(steps.turn, (Steps{0, -4, 0, 0, 0, 0, 0}));
    ctrlMouse(QEvent::MouseButtonRelease, first + QPoint(40, 0));
    // A button on all slots after a step of one starts from the top again.
    click("turnLeftButton");
    EXPECT_EQ(steps.turn, (Steps{0, -3, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(window->shownPage() == wholeDraw());
    // The page kept from before slot 2 shows slot 1 as it was turned then: not used again.
    ctrlWheel(onFrame(2), -120);
    EXPECT_EQ(steps.zoom, (Steps{0, 0, -1, 0, 0, 0, 0}));
    EXPECT_TRUE(window->shownPage() == wholeDraw());
    // Slot 1's file edited since (in the checker, say) is read again, as every step read it.
    const test::FormatLines taller{.frame = "120, 60, 70, 5, 5, 0, 0", .tilt = wide.tilt};
    dir.write("wide.dat", taller.text());
    ctrlWheel(onFrame(2), 120);
    EXPECT_TRUE(window->shownPage() == wholeDraw());
}

}  // namespace
}  // namespace kavlo
