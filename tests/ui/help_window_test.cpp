#include "ui/help_window.h"

#include "ui/canvas_window.h"
#include "ui/checker_window.h"
#include "ui/data_save_window.h"
#include "ui/folder_search_window.h"
#include "ui/main_window.h"
#include "ui_helpers.h"

namespace kavlo {
namespace {

// The help cannot fall behind the windows: it names every button caption they show.
TEST(HelpWindow, NamesTheCaptionOfEveryButtonOfEveryWindow) {
    const test::TempDir dir;
    Session session(dir.path());
    RecordedMessages messages;
    MainWindow main(session, messages);
    CanvasWindow canvas(session);
    CheckerWindow checker(session, messages);
    DataSaveWindow dataSave(
        dir.path(), [] { return PageSetup{}; }, messages);
    FolderSearchWindow search(dir.path(), [](const std::filesystem::path&) { return false; });

    HelpWindow help;
    ASSERT_TRUE(help.open(helpFileIn(dir.path())));
    const QString text = help.toPlainText();
    QStringList missing;
    int captions = 0;
    for (const QWidget* window :
         std::initializer_list<const QWidget*>{&main, &canvas, &checker, &dataSave, &search}) {
        for (const QPushButton* button : window->findChildren<QPushButton*>()) {
            if (!button->text().isEmpty()) {
                ++captions;
                if (!text.contains(button->text())) {
                    missing << window->objectName() + ": " + button->text();
                }
            }
        }
    }
    EXPECT_GE(captions, 30);
    EXPECT_EQ(missing, QStringList());
}

}  // namespace
}  // namespace kavlo
