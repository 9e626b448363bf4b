#include <ostream>

#include "devices/output_device.h"
#include "devices/printer_output.h"
#include "page_setup_source.h"
#include "print_command.h"
#include "render/skipped_slots.h"
#include "stream_messages.h"

namespace kavlo {

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
