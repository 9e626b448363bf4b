#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <fstream>

#include "application_folder.h"
#include "painted_captions.h"
#include "test_files.h"
#include "ui/canvas_print.h"
#include "ui/canvas_window.h"
#include "ui/session.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

// No spooler answers at this socket, so there is no printer whatever the machine has.
class NoPrintService : public ::testing::Test {
  protected:
    void SetUp() override { qputenv("CUPS_SERVER", QByteArray::fromStdString(socket.string())); }
    void TearDown() override { qunsetenv("CUPS_SERVER"); }

    static std::string head(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes(5, '\0');
        in.read(bytes.data(), 5);
        return bytes;
    }

    test::TempDir dir;
    const fs::path socket = dir.path() / "no-cups.sock";
};

TEST_F(NoPrintService, PrintKeepsThePageAsPdfNamingTheTimeWhyAndTheSlotsLeftOutOrWhyItFailed) {
    ASSERT_TRUE(seedApplicationFolder(dir.path()));
    Session session(dir.path());
    session.applyViewSize('b');
    session.setup = sampleSetup(dir.path().string());
    RecordedMessages messages;
    session.composeScreenPage(messages);
    CanvasWindow window(session);
    window.setMessageSink(messages);
    window.showPage();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* button = window.findChild<QPushButton*>("Command1");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->accessibleName(), "印刷");
    QWidget* picture = window.findChild<QWidget*>("Picture1");
    QTest::mousePress(picture, Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(picture, {200, 150});
    QTest::mouseRelease(picture, Qt::LeftButton, {}, {200, 150});
    ASSERT_NE(window.selectionFields().SelX2, 0);
    const QImage plain = session.page;

    const test::PaintedCaptions painted(button);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(painted.captions.contains("計算中")) << "shown while the page is printed";
    EXPECT_EQ(window.selectionFields().SelX2, 0);
    EXPECT_EQ(window.shownPage(), plain) << "the box is still on the canvas";
    EXPECT_EQ(button->text(), "再印刷");
    EXPECT_EQ(button->accessibleName(), "再印刷");
    std::vector<fs::path> written;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        if (entry.path().extension() == ".pdf") {
            written.push_back(entry.path());
        }
    }
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(written[0].filename().string().starts_with("print-"));
    EXPECT_EQ(head(written[0]), "%PDF-");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find(written[0].string()), std::string::npos)
        << messages.messages[0].text;
    EXPECT_TRUE(messages.messages[0].text.starts_with("印刷サービス (CUPS) " + socket.string() +
                                                      " に接続できません。"))
        << messages.messages[0].text;

    // Printed by request: the PDF names the time and the slots left out, or why it failed.
    PageRequest request;
    request.setup.file(FileKind::Format, 1) = dir.write("one.fmt", test::FormatLines{}.text());
    request.setup.file(FileKind::Format, 2) = (dir.path() / "removed.fmt").string();
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));

    const PrintedPage kept = printCanvasPage(request, dir.path(), when);
    EXPECT_TRUE(kept.printed);
    EXPECT_EQ(head(dir.path() / "print-20260304-050607.pdf"), "%PDF-");
    ASSERT_TRUE(kept.message);
    const std::string& text = kept.message->text;
    EXPECT_NE(text.find("print-20260304-050607.pdf"), std::string::npos) << text;
    EXPECT_NE(text.find("グラフ 2: 書式データファイル " + request.setup.file(FileKind::Format, 2) +
                        " がありません。"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("グラフ 1"), std::string::npos) << text;

    // A folder that cannot take the file: nothing was printed, and the message says so.
    const PrintedPage failed = printCanvasPage(request, dir.path() / "one.fmt", when);
    EXPECT_FALSE(failed.printed);
    ASSERT_TRUE(failed.message);
    EXPECT_NE(failed.message->text.find("保存できませんでした"), std::string::npos);
}

}  // namespace
}  // namespace kavlo
