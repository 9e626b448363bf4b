#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>

#include "devices/clipboard_export.h"
#include "painted_captions.h"
#include "test_files.h"
#include "ui/canvas_window.h"
#include "ui/session.h"

namespace kavlo {
namespace {

// The viewBox of an SVG document as four numbers.
QString viewBoxOf(const QByteArray& svg) {
    const auto match = QRegularExpression("viewBox=\"([^\"]*)\"").match(QString::fromUtf8(svg));
    return match.hasMatch() ? match.captured(1) : QString();
}

QString viewBoxText(const TwipsWindow& w) {
    return QString("%1 %2 %3 %4").arg(w.left).arg(w.top).arg(w.width).arg(w.height);
}

bool hasInk(const QImage& image) {
    QImage white(image.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    return image.convertToFormat(QImage::Format_RGB32) != white;
}

using test::bytesOf;

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
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void mouse(QEvent::Type type, QPoint at) {
        QWidget* picture = window.findChild<QWidget*>("Picture1");
        const auto buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        const auto pressed = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, picture->mapToGlobal(at), pressed, buttons, Qt::NoModifier);
        QApplication::sendEvent(picture, &event);
    }
    void drag(QPoint from, QPoint to) {
        mouse(QEvent::MouseButtonPress, from);
        mouse(QEvent::MouseMove, to);
        mouse(QEvent::MouseButtonRelease, to);
    }
    TwipsWindow selectedWindow() const {
        const CanvasSelection& s = window.selectionFields();
        return metafileWindow(PageSelection{s.SelX1, s.SelY1, s.SelX2, s.SelY2});
    }
    static const QMimeData* clipboard() { return QGuiApplication::clipboard()->mimeData(); }
    static QByteArray clipboardSvg() { return clipboard()->data("image/svg+xml"); }

    test::TempDir dir;
    Session session{dir.path()};
    RecordedMessages messages;
    CanvasWindow window{session};
};

TEST_F(CanvasExportTest, MetaFileCopiesTheSelectionAndBitMapTheWholePage) {
    // Dragged from lower right to upper left, over the first graph.
    drag({300, 330}, {60, 90});
    const QImage withBox = window.shownPage();
    const test::PaintedCaptions painted(button("Command5"));
    click("Command5");
    EXPECT_TRUE(painted.captions.contains("計算中")) << "shown while the picture is drawn";
    EXPECT_EQ(button("Command5")->text(), "MetaFile");
    EXPECT_EQ(window.shownPage(), withBox) << "the selection stays on the canvas";
    EXPECT_NE(window.selectionFields().SelX2, 0);
    const TwipsWindow selected = selectedWindow();
    EXPECT_EQ(std::pair(selected.left, selected.width), std::pair(60 * 15, 240 * 15));
    const QByteArray svg = clipboardSvg();
    EXPECT_EQ(viewBoxOf(svg), viewBoxText(selected));
    const QImage png = QImage::fromData(clipboard()->data("image/png"), "PNG");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(),
              QSize(qRound(selected.width * 300 / 1440.0), qRound(selected.height * 300 / 1440.0)));
    EXPECT_TRUE(hasInk(png));
    EXPECT_EQ(rasterisePicture(svg, selected, 300), png.convertToFormat(QImage::Format_RGB32))
        << "the image is the vector picture's region";

    // The same selection copied again gives the same picture.
    click("Command5");
    EXPECT_EQ(clipboardSvg(), svg);

    // A click without a drag: the whole page, and nothing written in the current folder.
    const test::TempDir current;
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(current.path().string()));
    drag({200, 200}, {200, 200});
    click("Command5");
    QDir::setCurrent(before);
    EXPECT_TRUE(std::filesystem::is_empty(current.path()));
    EXPECT_EQ(viewBoxOf(clipboardSvg()), "0 0 11907 16840");
    EXPECT_EQ(QImage::fromData(clipboard()->data("image/png"), "PNG").size(), QSize(2481, 3508));

    // BitMap erases the selection and copies the whole page.
    drag({300, 330}, {60, 90});
    click("Command4");
    EXPECT_EQ(button("Command4")->text(), "BitMap");
    EXPECT_EQ(window.selectionFields().SelX2, 0);
    EXPECT_EQ(window.shownPage(), session.page);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              session.page.convertToFormat(QImage::Format_RGB32));
}

TEST_F(CanvasExportTest, ExportButtonsComeFirstNamedAndDrawTheTurnedViewTheCanvasShows) {
    int left = -1;
    for (const char* name : {"Command5", "Command4", "SaveFile", "Command3"}) {
        EXPECT_GT(button(name)->x(), left) << name;
        left = button(name)->x();
    }
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QScrollBar*>(w);
        if (!control) {
            continue;
        }
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
        const auto* b = qobject_cast<QAbstractButton*>(w);
        if (b && b->text().isEmpty()) {
            EXPECT_EQ(name, b->toolTip()) << w->objectName().toStdString();
        }
    }
    click("Command5");
    const QByteArray straight = clipboardSvg();
    ASSERT_FALSE(straight.isEmpty());
    click("Command6_3");  // every group turned by one step
    click("Command5");
    EXPECT_NE(clipboardSvg(), straight);

    const auto saved = dir.path() / "turned.png";
    window.setSavePathChooser([&](QString&) { return QString::fromStdString(saved.string()); });
    click("SaveFile");
    EXPECT_EQ(QImage(QString::fromStdString(saved.string())).convertToFormat(QImage::Format_RGB32),
              session.page.convertToFormat(QImage::Format_RGB32))
        << "the saved PNG is the page on screen";
}

TEST_F(CanvasExportTest, FileSavesEachTypeAndReportsFailuresWithPathAndReason) {
    QString answer;
    QString filterAnswer;
    window.setSavePathChooser([&](QString& filter) {
        filter = filterAnswer;
        return answer;
    });
    const auto save = [&](const std::filesystem::path& path, const char* filter = "") {
        answer = QString::fromStdString(path.string());
        filterAnswer = QString::fromUtf8(filter);
        click("SaveFile");
    };

    // Without an extension the chosen type's is added.
    save(dir.path() / "printed", "PDF (印刷のページ) (*.pdf)");
    EXPECT_EQ(bytesOf(dir.path() / "printed.pdf").substr(0, 5), "%PDF-");
    drag({300, 330}, {60, 90});
    save(dir.path() / "part.svg");
    EXPECT_EQ(viewBoxOf(QByteArray::fromStdString(bytesOf(dir.path() / "part.svg"))),
              viewBoxText(selectedWindow()));
    EXPECT_TRUE(window.findChild<QLabel*>("StatusLine")->text().contains("part.svg"));
    // The same window as an Enhanced Metafile, the type chosen in the dialog.
    save(dir.path() / "part", "EMF (選択範囲の図) (*.emf)");
    const std::string emf = bytesOf(dir.path() / "part.emf");
    ASSERT_GT(emf.size(), 152U);
    std::array<std::int32_t, 4> origin_extent{};  // of the window origin and extent records
    std::memcpy(origin_extent.data(), emf.data() + 128, 8);
    std::memcpy(origin_extent.data() + 2, emf.data() + 144, 8);
    const TwipsWindow w = selectedWindow();
    EXPECT_EQ(origin_extent, (std::array{w.left, w.top, w.width, w.height}));
    EXPECT_TRUE(messages.messages.empty());

    save("");  // cancelled
    EXPECT_TRUE(messages.messages.empty());
    save(dir.path() / "plain");  // no type chosen: the first, the screen page
    EXPECT_EQ(bytesOf(dir.path() / "plain.png").substr(1, 3), "PNG");

    const auto nowhere = dir.path() / "no such folder" / "page.png";
    save(nowhere);
    ASSERT_EQ(messages.messages.size(), 1U);
    EXPECT_NE(messages.messages[0].text.find(nowhere.string()), std::string::npos);
    EXPECT_NE(messages.messages[0].text.find("フォルダーが存在しません"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(nowhere));
}

TEST_F(CanvasExportTest, AFileRemovedSinceTheDrawLeavesItsGraphOutAndIsTold) {
    const auto samples = dir.path() / "samples";
    std::filesystem::copy(KAVLO_SAMPLES_DIR, samples);
    session.setup = sampleSetup(samples.string());
    session.composeScreenPage(messages);
    messages.messages.clear();
    const std::string removed = session.setup.file(FileKind::Format, 1);
    std::filesystem::remove(removed);

    click("Command5");
    ASSERT_EQ(messages.messages.size(), 1U);
    const std::string& text = messages.messages[0].text;
    EXPECT_NE(text.find("グラフ 1"), std::string::npos) << text;
    EXPECT_NE(text.find(removed), std::string::npos) << text;
    EXPECT_EQ(text.find("グラフ 2"), std::string::npos) << text;
    EXPECT_FALSE(clipboardSvg().isEmpty()) << "the other graphs are copied";

    window.setSavePathChooser(
        [&](QString&) { return QString::fromStdString((dir.path() / "p.svg").string()); });
    click("SaveFile");
    ASSERT_EQ(messages.messages.size(), 2U);
    EXPECT_NE(messages.messages[1].text.find(removed), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "p.svg"));
}

// Read as a second X client would, while this program serves the clipboard.
QByteArray readWithXclip(const QString& target) {
    QProcess xclip;
    xclip.start("xclip", {"-selection", "clipboard", "-t", target, "-o"});
    if (!xclip.waitForStarted(5000)) {
        return {};
    }
    if (!QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 30000)) {
        xclip.kill();
        xclip.waitForFinished();
        return {};
    }
    return xclip.readAllStandardOutput();
}

// Runs only under tests/ui/run_under_xvfb.sh: the offscreen clipboard is this program's alone.
TEST_F(CanvasExportTest, X11OtherClientsSeeTheVectorPictureAndTheImage) {
    if (QGuiApplication::platformName() != "xcb") {
        GTEST_SKIP() << "needs an X server";
    }
    drag({300, 330}, {60, 90});
    click("Command5");
    const QByteArray targets = readWithXclip("TARGETS");
    EXPECT_TRUE(targets.contains("image/svg+xml")) << targets.toStdString();
    EXPECT_TRUE(targets.contains("image/png")) << targets.toStdString();
    EXPECT_EQ(viewBoxOf(readWithXclip("image/svg+xml")), viewBoxText(selectedWindow()));
    EXPECT_EQ(QImage::fromData(readWithXclip("image/png"), "PNG").width(),
              qRound(selectedWindow().width * 300 / 1440.0));

    click("Command4");
    EXPECT_EQ(QImage::fromData(readWithXclip("image/png"), "PNG").size(), session.page.size());
}

}  // namespace
}  // namespace kavlo
