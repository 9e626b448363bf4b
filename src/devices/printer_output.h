#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QPageLayout>
#include <filesystem>
#include <functional>
#include <string>

#include "render/draw_surface.h"

namespace kavlo {

// Printed pages are drawn at this resolution whatever the printer's own, so that a printed page
// is the page `kavlo render --device printer` draws.
constexpr int kPrintDpi = 600;

enum class PrintStatus {
    Accepted,        // CUPS took the job
    NoService,       // nothing answers where CUPS is sought, which `reason` names
    NoPrinter,       // no printer installed, or none of them the default
    UnknownPrinter,  // the printer asked for is not installed
    Refused,         // CUPS refused the job; its words are in `reason`
};

struct PrintResult {
    PrintStatus status = PrintStatus::NoPrinter;
    // The queue the job went to, or was meant for.
    std::string printer;
    std::string reason;
    int jobId = 0;
};

// Draws the page on a surface of `dpi` dots per inch whose origin is the page's top-left.
using PaintPage = std::function<void(DrawSurface& surface, int dpi)>;

// Prints one page on the named printer, or on the default one when the name is empty, with the
// printer's current paper and margins and no dialog. The page's top-left corner is the printable
// area's top-left corner; what lies beyond the printable area is lost.
PrintResult printPage(const std::string& printerName, const PaintPage& paint);

// One page as a PDF document in this layout, the surface's origin at the layout's margins.
QByteArray renderPdfPage(const QPageLayout& layout, int dpi, const PaintPage& paint);

// Where the page goes when there is no printer, or no CUPS to print on:
// print-YYYYMMDD-HHMMSS.pdf in `folder`.
std::filesystem::path printFallbackPath(const std::filesystem::path& folder, const QDateTime& when);

// The user-facing words for a print that did not reach a printer.
std::string printFailureText(const PrintResult& result);

}  // namespace kavlo
