#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "application_folder.h"
#include "test_files.h"
#include "ui/file_group_box.h"
#include "ui/main_window.h"

namespace kavlo {
namespace {

// Files handed to the program land in the slot boxes and draw with one press of "描画".
TEST(OpenFiles, FilesGivenAtStartAreReadyToDraw) {
    test::TempDir dir;
    Session session(dir.path() / "home");
    seedApplicationFolder(session.appFolder);
    RecordedMessages messages;
    MainWindow window(session, messages);
    const std::string format = dir.write("frame.dat", test::FormatLines{}.text());
    const std::string grid = dir.write("grid.dat", "3 2\n0 1 2\n1 2 3\n");
    const std::string picture = dir.write("page.png", "\x89PNG");
    // A first start: no welcome to the samples the files replace, only the file left out.
    window.startUp({picture, grid, format});

    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find(picture), std::string::npos);
    EXPECT_EQ(window.group(FileKind::Format)->slotText(1).toStdString(), format);
    EXPECT_EQ(window.group(FileKind::Numeric)->slotText(1).toStdString(), grid);
    for (const FileKind kind : {FileKind::Format, FileKind::Numeric, FileKind::Comment}) {
        for (int slot = kind == FileKind::Comment ? 1 : 2; slot <= kSlotCount; ++slot) {
            EXPECT_EQ(window.group(kind)->slotText(slot), "") << slot;
        }
    }
    EXPECT_EQ(window.group(FileKind::Format)->folder().toStdString(), dir.path().string());

    messages.messages.clear();
    QTest::mouseClick(window.findChild<QPushButton*>("Command4"), Qt::LeftButton);
    EXPECT_TRUE(messages.messages.empty()) << messages.messages.front().text;
    EXPECT_EQ(session.setup.file(FileKind::Format, 1), format);
    EXPECT_EQ(session.setup.file(FileKind::Numeric, 1), grid);
    ASSERT_TRUE(window.canvas());
    EXPECT_TRUE(window.canvas()->isVisible());
}

}  // namespace
}  // namespace kavlo
