#include "gui_command.h"

#include <QApplication>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "application_folder.h"
#include "core/app_folder.h"
#include "stream_messages.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"

namespace kavlo {

const char* guiUsage() {
    return "usage: kavlo [--home DIR] [FILE...]\n"
           "       kavlo --version\n";
}

bool startsTheWindows(const std::string& firstArgument) {
    std::error_code ignored;
    return firstArgument.starts_with("-") ||
           firstArgument.find_first_of("./") != std::string::npos ||
           std::filesystem::exists(firstArgument, ignored);
}

std::optional<GuiOptions> parseGuiOptions(std::span<const std::string> args, std::ostream& err) {
    GuiOptions options;
    bool optionsEnded = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (optionsEnded || !arg.starts_with("-")) {
            options.files.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--home" && k + 1 < args.size()) {
            options.home = args[++k];
        } else if (arg == "--home") {
            err << "kavlo: --home needs a value\n";
            return std::nullopt;
        } else {
            err << "kavlo: unexpected argument " << terminalText(arg) << "\n";
            return std::nullopt;
        }
    }
    return options;
}

int runGui(const GuiOptions& options, std::ostream& err) {
    Session session(applicationFolder(options.home));
    if (!seedApplicationFolder(session.appFolder)) {
        err << "kavlo: cannot create the application folder "
            << terminalText(session.appFolder.string()) << "\n";
        return 2;
    }
    MessageBoxes messages(nullptr);
    MainWindow window(session, messages);
    window.show();
    window.startUp(options.files);
    return QApplication::exec();
}

}  // namespace kavlo
