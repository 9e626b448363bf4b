#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "page_setup_source.h"

namespace kavlo {

const char* printUsage();
// The usage line and a line for each option.
std::string printHelp();

struct PrintOptions {
    SetupSource setup;
    // Empty: the default printer.
    std::string printer;
};

// The options of `kavlo print [--home DIR] [--pth FILE] [--printer NAME]`; says what is wrong on
// `err` when they are not usable. Needs no Qt application.
std::optional<PrintOptions> parsePrintOptions(std::span<const std::string> args, std::ostream& err);

// Exit statuses of `kavlo print`.
enum PrintExit : int {
    kPrintAccepted = 0,
    kPrintSlotSkipped = 1,
    kPrintUsageError = 2,
    kPrintNothingPrinted = 3,
};

// Prints the page of a path file (or the samples) on a printer as the canvas's print button
// does, telling on `err` why a slot or the whole page was not printed. Needs a Qt GUI
// application.
int runPrint(const PrintOptions& options, std::ostream& err);

}  // namespace kavlo
