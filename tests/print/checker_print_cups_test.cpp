// The checker's print button against the private spooler of print_through_cups_test.sh: the
// stamped text reaches the default queue as one page.

#include <gtest/gtest.h>

#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <string>

#include "test_files.h"
#include "ui/checker_window.h"

namespace kavlo {
namespace {

TEST(CheckerPrintThroughCups, TheStampedTextArrivesAsOnePage) {
    const char* takeJob = std::getenv("KAVLO_TEST_TAKE_JOB");
    ASSERT_NE(takeJob, nullptr) << "run through print_through_cups_test.sh";
    const test::TempDir dir;
    Session session(dir.path());
    RecordedMessages messages;
    CheckerWindow window(session, messages);
    const std::string file = dir.write("numbers.dat", "1.5, 2.5\r\n漢字, 3\r\n");
    ASSERT_TRUE(window.openFile(QString::fromStdString(file), 21));
    QString printerName;
    window.setPrintDialog([&](QWidget*, QPrinter& printer) {
        printerName = printer.printerName();
        return true;
    });
    QTest::mouseClick(window.findChild<QPushButton*>("printButton"), Qt::LeftButton);
    EXPECT_EQ(printerName, "kavlo_test");
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(std::system((std::string(takeJob) + " checker any").c_str()), 0);
    EXPECT_EQ(window.editorText(), "1.5, 2.5\n漢字, 3");
}

}  // namespace
}  // namespace kavlo
