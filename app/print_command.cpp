#include "print_command.h"

#include <ostream>

#include "devices/output_device.h"
#include "devices/printer_output.h"
#include "page_setup_source.h"
#include "render/skipped_slots.h"
#include "stream_messages.h"

namespace kavlo {

const char* printUsage() {
    return "usage: kavlo print [--home DIR] [--pth FILE] [--printer NAME]\n";
}

std::optional<PrintOptions> parsePrintOptions(std::span<const std::string> args,
                                              std::ostream& err) {
    PrintOptions options;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        const bool known = arg == "--home" || arg == "--pth" || arg == "--printer";
        if (!known || k + 1 >= args.size()) {
            err << "kavlo print: "
                << terminalText(known ? arg + " needs a value" : "unexpected argument " + arg)
                << "\n";
            return std::nullopt;
        }
        const std::string& value = args[++k];
        if (options.setup.take(arg, value)) {
            continue;
        }
        if (value.empty()) {
            err << "kavlo print: --printer needs a name\n";
            return std::nullopt;
        } else {
            options.printer = value;
        }
    }
    return options;
}

int runPrint(const PrintOptions& options, std::ostream& err) {
    const auto setup = loadCommandSetup(options.setup, "print", err);
    if (!setup) {
        return kPrintUsageError;
    }
    const PageRequest request{*setup, {}, std::nullopt};
    PageOutcome outcome;
    const PrintResult result = printPage(options.printer, [&](DrawSurface& surface, int dpi) {
        outcome = drawPrinterPage(surface, dpi, request);
    });
    if (result.status != PrintStatus::Accepted) {
        err << "kavlo print: " << terminalText(printFailureText(result)) << "\n";
        if (result.status == PrintStatus::NoPrinter || result.status == PrintStatus::NoService) {
            err << "kavlo print: to keep the page as a file, use kavlo render --device printer "
                   "-o page.pdf\n";
        }
        return kPrintNothingPrinted;
    }
    if (const auto skipped = skippedSlotsMessage(outcome, "印刷")) {
        err << "kavlo print: " << terminalText(skipped->text) << "\n";
        return kPrintSlotSkipped;
    }
    return kPrintAccepted;
}

}  // namespace kavlo
