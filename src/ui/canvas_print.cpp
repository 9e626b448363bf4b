#include "canvas_print.h"

#include "devices/output_device.h"
#include "devices/printer_output.h"
#include "render/skipped_slots.h"

namespace kavlo {
namespace {

constexpr const char* kTitle = "印刷";

// The PDF the page becomes when there is no printer, or no CUPS to print on; `why` says which.
PrintedPage keepAsPdf(const PageRequest& request, const std::filesystem::path& folder,
                      const QDateTime& now, PageOutcome& outcome, const std::string& why) {
    const std::filesystem::path path = printFallbackPath(folder, now);
    SilentMessages silent;
    const OutputDevice& printer = outputDevice(OutputKind::Printer);
    const WriteResult written =
        writePageFile({printer, printer.defaultDpi, request, silent}, path, outcome);
    if (!written.ok()) {
        return {false, Message{kTitle,
                               why + "ページを PDF として " + path.string() +
                                   " に保存できませんでした: " + written.message,
                               MessageIcon::Exclamation}};
    }
    return {true,
            Message{kTitle, why + "ページを PDF として " + path.string() + " に保存しました。",
                    MessageIcon::Information}};
}

}  // namespace

PrintedPage printCanvasPage(const PageRequest& request, const std::filesystem::path& folder,
                            const QDateTime& now) {
    PageOutcome outcome;
    const PrintResult result = printPage({}, [&](DrawSurface& surface, int dpi) {
        outcome = drawPrinterPage(surface, dpi, request);
    });
    PrintedPage page;
    if (result.status == PrintStatus::NoPrinter || result.status == PrintStatus::NoService) {
        page = keepAsPdf(request, folder, now, outcome, printFailureText(result));
    } else if (result.status != PrintStatus::Accepted) {
        return {false, Message{kTitle, printFailureText(result), MessageIcon::Exclamation}};
    } else {
        page.printed = true;
    }
    if (const auto skipped = skippedSlotsMessage(outcome, kTitle)) {
        if (page.message) {
            page.message->text += "\n" + skipped->text;
            page.message->icon = MessageIcon::Exclamation;
        } else {
            page.message = skipped;
        }
    }
    return page;
}

}  // namespace kavlo
