#include "gui_command.h"

#include <QApplication>
#include <ostream>

#include "application_folder.h"
#include "core/app_folder.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"

namespace kavlo {

int runGui(std::span<const std::string> args, std::ostream& err) {
    std::optional<std::filesystem::path> home;
    if (args.size() == 2 && args[0] == "--home") {
        home = args[1];
    } else if (!args.empty()) {
        err << "usage: kavlo [--home DIR]\n";
        return 2;
    }
    Session session(applicationFolder(home));
    if (!seedApplicationFolder(session.appFolder)) {
        err << "kavlo: cannot create the application folder " << session.appFolder.string() << "\n";
        return 2;
    }
    MessageBoxes messages(nullptr);
    MainWindow window(session, messages);
    window.show();
    window.startUp();
    return QApplication::exec();
}

}  // namespace kavlo
