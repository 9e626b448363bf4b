#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "check_command.h"
#include "gui_command.h"
#include "render_command.h"

namespace {

// The command line runs on machines without a display, where no session gives it a runtime
// folder either; Qt would complain about that on stderr, which scripts read.
void prepareHeadlessRun() {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const QString runtime =
            QDir::tempPath() + "/runtime-" + qEnvironmentVariable("USER", "kavlo");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string verb = args.empty() ? "" : args.front();
    const auto rest = std::span(args).subspan(args.empty() ? 0 : 1);
    if (verb == "check") {
        return kavlo::runCheck(rest, std::cout, std::cerr);
    }
    if (verb == "render") {
        prepareHeadlessRun();
        QApplication app(argc, argv);
        return kavlo::runRender(rest, std::cerr);
    }
    if (verb.empty() || verb.starts_with("-")) {
        QApplication app(argc, argv);
        return kavlo::runGui(args, std::cerr);
    }
    std::cerr << "kavlo: unknown command " << verb << "\n"
              << kavlo::checkUsage() << kavlo::renderUsage();
    return 2;
}
