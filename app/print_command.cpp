#include "print_command.h"

#include <ostream>

#include "devices/output_device.h"
#include "devices/printer_output.h"
#include "page_setup_source.h"
#include "render/skipped_slots.h"
#include "stream_messages.h"
#include "verb_syntax.h"

namespace kavlo {

namespace {

const VerbSyntax& printSyntax() {
    static const VerbSyntax syntax{
        .command = "kavlo print",
        .options =
            {
                applicationFolderOption(),
                pathFileOption("print"),
                {"printer", "CUPS queue (default the system's default printer)", "NAME"},
            },
        .examples = {{"kavlo print", "the page of the last choices on the default printer"},
                     {"kavlo print --pth work/Kavlo.pth --printer Office",
                      "the page of a working folder on the CUPS queue Office"}}};
    return syntax;
}

}  // namespace

const char* printUsage() {
    static const std::string usage = usageLine(printSyntax());
    return usage.c_str();
}

std::string printHelp() {
    return helpText(printSyntax());
}

std::optional<PrintOptions> parsePrintOptions(std::span<const std::string> args,
                                              std::ostream& err) {
    const ParsedArguments parsed = parseArguments(printSyntax(), args);
    PrintOptions options;
    for (const auto& [arg, value] : parsed.options) {
        if (options.setup.take(arg, value)) {
            continue;
        }
        if (value.empty()) {
            err << "kavlo print: --printer needs a name\n";
            return std::nullopt;
        }
        options.printer = value;
    }
    if (const auto& misfit = parsed.misfit) {
        const std::string& arg = misfit->argument;
        err << "kavlo print: "
            << terminalText(misfit->kind == Misfit::MissingValue ? arg + " needs a value"
                                                                 : "unexpected argument " + arg)
            << "\n";
        return std::nullopt;
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
