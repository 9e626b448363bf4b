#include "devices/clipboard_export.h"
#include "devices/output_device.h"
#include "ui/canvas_print.h"
#include "ui/canvas_window.h"
#include "ui/session.h"
#include "ui_helpers.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using test::bytesOf;

// The viewBox of an SVG document as four numbers.
QString viewBoxOf(const QByteArray& svg) {
    const auto match = QRegularExpression("viewBox=\"([^\"]*)\"").match(QString::fromUtf8(svg));
    return match.hasMatch() ? match.captured(1) : QString();
}

QString viewBoxText(const TwipsWindow& w) {
    return QString("%1 %2 %3 %4").arg(w.left).arg(w.top).arg(w.width).arg(w.height);
}

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// The samples' page shown in a canvas window, messages recorded, the clipboard empty.
class CanvasExportTest : public ::testing::Test {
  protected:
    CanvasExportTest() {
        session.applyViewSize('b');
        session.setup = sampleSetup(KAVLO_SAMPLES_DIR);
        session.composeScreenPage(messages);
        window.setMessageSink(messages);
        window.showPage();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QGuiApplication::clipboard()->clear();
    }
    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(name); }
    void click(const char* name) { test::click(&window, name); }
    void drag(QPoint from, QPoint to) {
        QWidget* picture = window.findChild<QWidget*>("pageView");
        test::sendMouse(picture, QEvent::MouseButtonPress, from);
        test::sendMouse(picture, QEvent::MouseMove, to);
        test::sendMouse(picture, QEvent::MouseButtonRelease, to);
    }
    TwipsWindow selectedWindow() const {
        const CanvasSelection& s = window.selectionFields();
        return metafileWindow(PageSelection{s.SelX1, s.SelY1, s.SelX2, s.SelY2});
    }
    static const QMimeData* clipboard() { return QGuiApplication::clipboard()->mimeData(); }
    static QByteArray clipboardSvg() { return clipboard()->data("image/svg+xml"); }
    static QImage clipboardPng() { return QImage::fromData(clipboard()->data("image/png"), "PNG"); }

    test::TempDir dir;
    Session session{dir.path()};
    RecordedMessages messages;
    CanvasWindow window{session};
};

TEST_F(CanvasExportTest, MetaFileCopiesTheSelectionAndBitMapTheWholePage) {
    // Dragged from lower right to upper left, over the first graph.
    drag({300, 330}, {60, 90});
    const QImage withBox = window.shownPage();
    click("metafileButton");
    EXPECT_EQ(button("metafileButton")->text(), "MetaFile");
    EXPECT_EQ(window.shownPage(), withBox) << "the selection stays on the canvas";
    const TwipsWindow selected = selectedWindow();
    EXPECT_EQ(std::pair(selected.left, selected.width), std::pair(60 * 15, 240 * 15));
    const QByteArray svg = clipboardSvg();
    EXPECT_EQ(viewBoxOf(svg), viewBoxText(selected));
    const QImage png = clipboardPng();
    EXPECT_EQ(png.size(),
              QSize(qRound(selected.width * 300 / 1440.0), qRound(selected.height * 300 / 1440.0)));
    QImage blank = rgb(png);
    blank.fill(Qt::white);
    EXPECT_NE(rgb(png), blank);
    EXPECT_EQ(rasterisePicture(svg, selected, 300), rgb(png))
        << "the image is the vector picture's region";
    click("metafileButton");
    EXPECT_EQ(clipboardSvg(), svg) << "the same selection gives the same picture";

    // A click without a drag: the whole page, and nothing written in the current folder.
    const test::TempDir current;
    const QString before = QDir::currentPath();
    QDir::setCurrent(test::qpath(current.path()));
    drag({200, 200}, {200, 200});
    click("metafileButton");
    QDir::setCurrent(before);
    EXPECT_TRUE(fs::is_empty(current.path()));
    EXPECT_EQ(viewBoxOf(clipboardSvg()), "0 0 11907 16840");
    EXPECT_EQ(clipboardPng().size(), QSize(2481, 3508));

    // BitMap erases the selection and copies the whole page.
    drag({300, 330}, {60, 90});
    click("bitmapButton");
    EXPECT_EQ(button("bitmapButton")->text(), "BitMap");
    EXPECT_TRUE(window.selectionFields().SelX2 == 0 && window.shownPage() == session.page);
    SilentMessages silent;
    PageOutcome outcome;
    EXPECT_EQ(rgb(QGuiApplication::clipboard()->image()),
              rgb(renderScreenImage(session.pageRequest(), silent, outcome)))
        << "the 96-DPI page at every screen resolution";
}

TEST_F(CanvasExportTest, ControlsAreNamedInTabOrderAndExportTheTurnedViewTheCanvasShows) {
    const QStringList names = test::controlNames(&window);
    EXPECT_EQ(names.size(), 15);  // the row, the bars and the page
    EXPECT_EQ(names.filter(QRegularExpression("=$")), QStringList());
    // The Tab key goes along the row from the first button, left to right.
    const QWidgetList tabbed = test::tabOrder(&window);
    EXPECT_EQ(tabbed.value(0), button("printButton"));
    EXPECT_TRUE(test::inRows(tabbed));

    click("metafileButton");
    const QByteArray straight = clipboardSvg();
    ASSERT_FALSE(straight.isEmpty());
    click("turnLeftButton");  // every group turned by one step
    click("metafileButton");
    EXPECT_NE(clipboardSvg(), straight);
    const auto saved = dir.path() / "turned.png";
    window.setSavePathChooser([&](QString&) { return test::qpath(saved); });
    click("saveFileButton");
    EXPECT_EQ(rgb(QImage(test::qpath(saved))), rgb(session.page))
        << "the saved PNG is the page on screen";
}

TEST_F(CanvasExportTest, FileSavesEachTypeAndReportsFailuresWithPathAndReason) {
    QString answer, filterAnswer;
    window.setSavePathChooser([&](QString& filter) {
        filter = filterAnswer;
        return answer;
    });
    const auto save = [&](const fs::path& path, const char* filter = "") {
        answer = test::qpath(path);
        filterAnswer = QString::fromUtf8(filter);
        click("saveFileButton");
    };

    // Without an extension the chosen type's is added.
    save(dir.path() / "printed", "PDF (印刷のページ) (*.pdf)");
    EXPECT_EQ(bytesOf(dir.path() / "printed.pdf").substr(0, 5), "%PDF-");
    drag({300, 330}, {60, 90});
    save(dir.path() / "part.svg");
    EXPECT_EQ(viewBoxOf(QByteArray::fromStdString(bytesOf(dir.path() / "part.svg"))),
              viewBoxText(selectedWindow()));
    EXPECT_TRUE(window.findChild<QLabel*>("statusLine")->text().contains("part.svg"));
    save(dir.path() / "part", "EMF (選択範囲の図) (*.emf)");  // its window: the devices' tests
    EXPECT_EQ(bytesOf(dir.path() / "part.emf").substr(40, 4), " EMF");
    save("");                    // cancelled
    save(dir.path() / "plain");  // no type chosen: the first, the screen page
    EXPECT_EQ(bytesOf(dir.path() / "plain.png").substr(1, 3), "PNG");
    EXPECT_TRUE(messages.messages.empty());
    // A path too long for the status line gives up its middle there; its tip holds all of it.
    const auto deep = dir.path() / std::string(150, 'd') / "deep.png";
    fs::create_directories(deep.parent_path());
    save(deep);
    const auto* line = window.findChild<QLabel*>("statusLine");
    EXPECT_TRUE(line->text().startsWith("/") && line->text().endsWith("deep.png に保存しました。"));
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
    EXPECT_EQ(line->toolTip(), test::qpath(deep) + " に保存しました。");

    const auto nowhere = dir.path() / "no such folder" / "page.png";
    save(nowhere);
    EXPECT_TRUE(test::toldOnce(messages.messages, {nowhere.string(), "フォルダーが存在しません"}));
    EXPECT_FALSE(fs::exists(nowhere));
}

TEST_F(CanvasExportTest, AFileRemovedSinceTheDrawLeavesItsGraphOutAndIsTold) {
    const auto samples = dir.path() / "samples";
    fs::copy(KAVLO_SAMPLES_DIR, samples);
    session.setup = sampleSetup(samples.string());
    session.composeScreenPage(messages);
    messages.messages.clear();
    const std::string removed = session.setup.file(FileKind::Format, 1);
    fs::remove(removed);

    click("metafileButton");
    ASSERT_TRUE(test::toldOnce(messages.messages, {"グラフ 1", removed}));
    EXPECT_FALSE(test::holdsAll(messages.messages[0].text, {"グラフ 2"}));
    EXPECT_FALSE(clipboardSvg().isEmpty()) << "the other graphs are copied";
}

// No spooler answers at this socket, so there is no printer whatever the machine has.
TEST_F(CanvasExportTest, PrintKeepsThePageAsPdfNamingTheTimeAndWhyOrWhyItFailed) {
    const fs::path socket = dir.path() / "no-cups.sock";
    qputenv("CUPS_SERVER", QByteArray::fromStdString(socket.string()));
    drag({100, 100}, {200, 150});
    const QImage plain = session.page;
    click("printButton");
    EXPECT_TRUE(window.selectionFields().SelX2 == 0 && window.shownPage() == plain)
        << "the box is off the canvas";
    EXPECT_EQ(button("printButton")->text() + button("printButton")->accessibleName(),
              "再印刷再印刷");
    const std::vector<std::string> written = test::folderListing(dir.path());
    ASSERT_EQ(written.size(), 1u);  // the page as PDF, nothing else
    EXPECT_TRUE(written[0].starts_with("print-") && written[0].ends_with(".pdf")) << written[0];
    EXPECT_EQ(bytesOf(dir.path() / written[0]).substr(0, 5), "%PDF-");
    ASSERT_TRUE(test::toldOnce(messages.messages, {(dir.path() / written[0]).string()}));
    EXPECT_TRUE(messages.messages[0].text.starts_with("印刷サービス (CUPS) " + socket.string() +
                                                      " に接続できません。"));

    // Printed by request: the PDF names the time, or why it failed. The graphs left out are
    // told as the metafile tells them (AFileRemovedSinceTheDrawLeavesItsGraphOutAndIsTold).
    PageRequest request;
    request.setup.file(FileKind::Format, 1) = dir.write("one.fmt", test::FormatLines{}.text());
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    const PrintedPage kept = printCanvasPage(request, dir.path(), when);
    ASSERT_TRUE(kept.printed && kept.message);
    EXPECT_EQ(bytesOf(dir.path() / "print-20260304-050607.pdf").substr(0, 5), "%PDF-");
    EXPECT_TRUE(test::holdsAll(kept.message->text, {"print-20260304-050607.pdf"}));
    // A folder that cannot take the file: nothing was printed, and the message says so.
    const PrintedPage failed = printCanvasPage(request, dir.path() / "one.fmt", when);
    ASSERT_TRUE(!failed.printed && failed.message);
    EXPECT_TRUE(test::holdsAll(failed.message->text, {"保存できませんでした"}));
    qunsetenv("CUPS_SERVER");
}

// Read as a second X client would, while this program serves the clipboard.
QByteArray readWithXclip(const QString& target) {
    QProcess xclip;
    xclip.start("xclip", {"-selection", "clipboard", "-t", target, "-o"});
    // Not blocking: this program's event loop serves the request. One that hangs is killed.
    return QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 30000)
               ? xclip.readAllStandardOutput()
               : QByteArray();
}

// Runs only under tests/ui/run_under_xvfb.sh: the offscreen clipboard is this program's alone.
TEST_F(CanvasExportTest, X11OtherClientsSeeTheVectorPictureAndTheImage) {
    if (QGuiApplication::platformName() != "xcb") {
        GTEST_SKIP() << "needs an X server";
    }
    drag({300, 330}, {60, 90});
    click("metafileButton");
    EXPECT_TRUE(
        test::holdsAll(readWithXclip("TARGETS").toStdString(), {"image/svg+xml", "image/png"}));
    EXPECT_EQ(viewBoxOf(readWithXclip("image/svg+xml")), viewBoxText(selectedWindow()));
    EXPECT_EQ(QImage::fromData(readWithXclip("image/png"), "PNG").width(),
              qRound(selectedWindow().width * 300 / 1440.0));
    click("bitmapButton");
    EXPECT_EQ(QImage::fromData(readWithXclip("image/png"), "PNG").size(), session.page.size());
}

}  // namespace
}  // namespace kavlo
