#include <QApplication>
#include <iostream>
#include <string>
#include <vector>

#include "check_command.h"
#include "gui_command.h"
#include "headless_run.h"
#include "print_command.h"
#include "render_command.h"

namespace {

bool asksForHelp(const std::vector<std::string>& args, std::size_t at) {
    return args.size() > at && (args[at] == "--help" || args[at] == "-h");
}

// Every usage line, for `kavlo --help` and an unknown verb.
std::string usage() {
    return std::string(kavlo::guiUsage()) + kavlo::checkUsage() + kavlo::renderUsage() +
           kavlo::printUsage();
}

}  // namespace

// Usage is told before any QApplication exists: without a display it would abort first.
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string verb = args.empty() ? "" : args.front();
    const auto rest = std::span(args).subspan(args.empty() ? 0 : 1);
    if (verb == "check") {
        if (asksForHelp(args, 1)) {
            std::cout << kavlo::checkUsage();
            return 0;
        }
        return kavlo::runCheck(rest, std::cout, std::cerr);
    }
    if (verb == "render") {
        if (asksForHelp(args, 1)) {
            std::cout << kavlo::renderUsage();
            return 0;
        }
        const auto options = kavlo::parseRenderOptions(rest, std::cerr);
        if (!options) {
            std::cerr << kavlo::renderUsage();
            return 2;
        }
        kavlo::prepareHeadlessRun();
        QApplication app(argc, argv);
        return kavlo::runRender(*options, std::cerr);
    }
    if (verb == "print") {
        if (asksForHelp(args, 1)) {
            std::cout << kavlo::printUsage();
            return 0;
        }
        const auto options = kavlo::parsePrintOptions(rest, std::cerr);
        if (!options) {
            std::cerr << kavlo::printUsage();
            return kavlo::kPrintUsageError;
        }
        kavlo::prepareHeadlessRun();
        QApplication app(argc, argv);
        return kavlo::runPrint(*options, std::cerr);
    }
    if (asksForHelp(args, 0)) {
        std::cout << usage();
        return 0;
    }
    if (verb.empty() || verb.starts_with("-")) {
        const auto options = kavlo::parseGuiOptions(args, std::cerr);
        if (!options) {
            std::cerr << usage();
            return 2;
        }
        QApplication app(argc, argv);
        return kavlo::runGui(*options, std::cerr);
    }
    std::cerr << "kavlo: unknown command " << verb << "\n" << usage();
    return 2;
}
