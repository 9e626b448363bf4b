// The canvas's print button and `kavlo print` against the spooler print_through_cups_test.sh
// starts; it hands in the samples' folder and the command that takes each printed job out of the
// queue's file and compares it with the page `kavlo render --device printer` draws.

#include <QProcess>
#include <cstdlib>
#include <string>

#include "application_folder.h"
#include "core/path_file.h"
#include "ui/canvas_window.h"
#include "ui/session.h"
#include "ui/ui_helpers.h"

namespace kavlo {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Runs the script's job check for the job just sent; true when the page came out as expected.
bool takeJob(const std::string& name, const std::string& like = "expected") {
    return std::system((environment("KAVLO_TEST_TAKE_JOB") + " " + name + " " + like).c_str()) == 0;
}

TEST(CanvasPrintThroughCups, PressPrintsThePagePressAgainPrintsItAgainARefusalTellsCupsReason) {
    const std::string home = environment("KAVLO_TEST_PRINT_HOME");
    const std::string queue = environment("KAVLO_TEST_CUPS_QUEUE");
    ASSERT_FALSE(home.empty() || queue.empty()) << "run through print_through_cups_test.sh";
    ASSERT_TRUE(seedApplicationFolder(home));
    Session session(home);
    session.applyViewSize('b');
    session.setup = sampleSetup(home);
    RecordedMessages messages;
    session.composeScreenPage(messages);
    CanvasWindow window(session);
    RecordedMessages printMessages;
    window.setMessageSink(printMessages);
    window.showPage();
    auto* button = window.findChild<QPushButton*>("printButton");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "印刷");
    // The caption after a press.
    const auto press = [&] {
        QTest::mouseClick(button, Qt::LeftButton);
        return button->text();
    };
    EXPECT_EQ(press(), "再印刷");
    EXPECT_TRUE(printMessages.messages.empty());
    EXPECT_TRUE(takeJob("press-1"));
    EXPECT_EQ(press(), "再印刷");
    EXPECT_TRUE(takeJob("press-2"));

    ASSERT_EQ(std::system(("cupsreject " + queue).c_str()), 0);
    EXPECT_EQ(press(), "印刷");
    EXPECT_EQ(std::system(("cupsaccept " + queue).c_str()), 0);
    EXPECT_TRUE(test::toldOnce(printMessages.messages, {"not accepting jobs"}));
}

TEST(PrintCommandThroughCups, ASlotThatCannotBeReadIsLeftOutOfThePrintedPageAndTold) {
    const std::string home = environment("KAVLO_TEST_PRINT_HOME");
    ASSERT_FALSE(home.empty()) << "run through print_through_cups_test.sh";
    ASSERT_TRUE(seedApplicationFolder(home));
    const test::TempDir dir;
    PageSetup setup = sampleSetup(home);
    const std::string gone = (dir.path() / "gone.dat").string();
    setup.file(FileKind::Format, 2) = gone;
    const std::filesystem::path pathFile = dir.path() / "Kavlo.pth";
    ASSERT_TRUE(writePathFile(pathFile, setup));

    QProcess print;
    print.start(QString::fromStdString(environment("KAVLO_TEST_KAVLO")),
                {"print", "--pth", QString::fromStdString(pathFile.string())});
    ASSERT_TRUE(print.waitForFinished(60000));
    const std::string err = print.readAllStandardError().toStdString();
    EXPECT_EQ(print.exitCode(), 1) << err;
    EXPECT_TRUE(test::holdsAll(err, {"グラフ 2: 書式データファイル " + gone + " がありません。"}));
    EXPECT_TRUE(takeJob("slot-left-out", "any"));
}

}  // namespace
}  // namespace kavlo
