#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "check_command.h"
#include "display_choice.h"
#include "gui_command.h"
#include "headless_run.h"
#include "print_command.h"
#include "render/plot_budget.h"
#include "render_command.h"
#include "stream_messages.h"
#include "windows_module.h"

namespace {

bool asksForHelp(std::span<const std::string> args) {
    return !args.empty() && (args.front() == "--help" || args.front() == "-h");
}

// Every usage line, for a mistyped command line.
std::string usage() {
    return std::string(kavlo::guiUsage()) + kavlo::checkUsage() + kavlo::renderUsage() +
           kavlo::printUsage();
}

// Every usage line with its options, for `kavlo --help`.
std::string help() {
    return kavlo::guiHelp() + kavlo::checkHelp() + kavlo::renderHelp() + kavlo::printHelp();
}

constexpr int kUsageError = 2;

// A verb that runs out of memory, or meets any other failure it cannot go on from, says so and
// ends with `failedStatus` (render's "nothing written", else 2) instead of aborting.
template <typename Run>
int guarded(std::string_view verb, const Run& run, int failedStatus = kUsageError) {
    try {
        return run();
    } catch (const kavlo::PageTooLarge& refused) {
        kavlo::StreamMessages(std::cerr).show(refused.message());
    } catch (const std::bad_alloc&) {
        std::cerr << "kavlo " << verb << ": " << kavlo::kOutOfMemoryText << "\n";
    } catch (const std::exception& failure) {
        std::cerr << "kavlo " << verb << ": 処理を続けられないため中断しました。(" << failure.what()
                  << ")\n";
    }
    return failedStatus;
}

// A verb that draws: its usage and option errors need no Qt; the application its run makes then
// runs offscreen where there is no display.
template <typename Options, typename Run>
int runDrawingVerb(std::string_view verb, std::span<const std::string> args, const char* verbUsage,
                   std::string (*verbHelp)(),
                   std::optional<Options> (*parse)(std::span<const std::string>, std::ostream&),
                   const Run& run, int failedStatus) {
    if (asksForHelp(args)) {
        std::cout << verbHelp();
        return 0;
    }
    const auto options = parse(args, std::cerr);
    if (!options) {
        std::cerr << verbUsage;
        return kUsageError;
    }
    kavlo::prepareHeadlessRun();
    return guarded(
        verb, [&] { return run(*options); }, failedStatus);
}

}  // namespace

// Usage is told before any QApplication exists: without a display it would abort first.
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string verb = args.empty() ? "" : args.front();
    const auto rest = std::span(args).subspan(args.empty() ? 0 : 1);
    if (verb == "check") {
        if (asksForHelp(rest)) {
            std::cout << kavlo::checkHelp();
            return 0;
        }
        return guarded(verb, [&] { return kavlo::runCheck(rest, std::cout, std::cerr); });
    }
    if (verb == "render") {
        // Without widgets, the lighter application, and only for pages that draw: a blank page
        // needs neither the platform nor the fonts. The run ends without tearing it down, as its
        // files are written by then and the teardown would read the whole font configuration
        // only to free it.
        const auto render = [&](const kavlo::RenderOptions& options) -> int {
            std::optional<QGuiApplication> app;
            const int status =
                kavlo::runRender(options, std::cerr, [&] { app.emplace(argc, argv); });
            std::cout.flush();
            std::_Exit(status);
        };
        return runDrawingVerb(verb, rest, kavlo::renderUsage(), kavlo::renderHelp,
                              kavlo::parseRenderOptions, render, kavlo::kRenderNotWritten);
    }
    if (verb == "print") {
        const auto print = [&](const kavlo::PrintOptions& options) {
            return kavlo::runPrintJob(argc, argv, options, std::cerr);
        };
        return runDrawingVerb(verb, rest, kavlo::printUsage(), kavlo::printHelp,
                              kavlo::parsePrintOptions, print, kUsageError);
    }
    if (asksForHelp(args)) {
        std::cout << help();
        return 0;
    }
    if (args.size() == 1 && verb == "--version") {
        std::cout << "kavlo " << KAVLO_VERSION << "\n";
        return 0;
    }
    if (verb.empty() || kavlo::startsTheWindows(verb)) {
        const auto options = kavlo::parseGuiOptions(args, std::cerr);
        if (!options) {
            std::cerr << usage();
            return kUsageError;
        }
        if (const std::string nowhere = kavlo::chooseDisplay(); !nowhere.empty()) {
            std::cerr << nowhere;
            return kUsageError;
        }
        return kavlo::runWindows(argc, argv, *options, std::cerr);
    }
    std::cerr << "kavlo: unknown command " << kavlo::terminalText(verb) << "\n" << usage();
    return kUsageError;
}
