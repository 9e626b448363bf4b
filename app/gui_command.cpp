#include "gui_command.h"

#include <QApplication>
#include <ostream>

#include "application_folder.h"
#include "core/app_folder.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"

namespace kavlo {

const char* guiUsage() {
    return "usage: kavlo [--home DIR]\n";
}

std::optional<GuiOptions> parseGuiOptions(std::span<const std::string> args, std::ostream& err) {
    if (args.empty()) {
        return GuiOptions{};
    }
    if (args.size() == 2 && args[0] == "--home") {
        return GuiOptions{args[1]};
    }
    if (args.size() == 1 && args[0] == "--home") {
        err << "kavlo: --home needs a value\n";
    } else {
        err << "kavlo: unexpected argument " << args[args[0] == "--home" ? 2 : 0] << "\n";
    }
    return std::nullopt;
}

int runGui(const GuiOptions& options, std::ostream& err) {
    Session session(applicationFolder(options.home));
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
