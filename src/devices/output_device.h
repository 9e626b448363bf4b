#pragma once

#include <QByteArray>
#include <QImage>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "core/atomic_file.h"
#include "core/messages.h"
#include "page_output.h"
#include "render/device_profile.h"
#include "render/page_pass.h"

class QPainter;

namespace kavlo {

constexpr int kSmallestDpi = 72;
constexpr int kLargestDpi = 4800;
// An A4 page image at this resolution takes half a gigabyte.
constexpr int kLargestImageDpi = 1200;

// The rows of `outputDevices()`, one each.
enum class OutputKind { Screen, Printer, Svg, Emf };

// One output device: everything that differs from one device to the next. Adding a device is
// one drawing target and one row of `outputDevices()`.
struct OutputDevice {
    OutputKind kind;
    // As `kavlo render --device` names it.
    std::string_view name;
    // The file extension that asks for it, with the dot.
    std::string_view extension;
    // How the save dialog offers it.
    std::string_view fileFilter;
    // What the page pass draws it with at a resolution.
    DeviceProfile (*profile)(int dpi);
    // Its picture is the selected part of the page (the canvas's selection, `--select`); the
    // others always show the whole page.
    bool drawsSelection;
    // Runs the page pass on the device's drawing target and writes the result to `path`;
    // `window` is the part of the page shown, in twips. Null where the device writes pages.
    WriteResult (*writeFile)(const std::filesystem::path& path, int dpi, QRect window,
                             const DrawCallback& pass);
    // Writes `pageCount` pages into one file, page k drawn by `draw(k, surface)`, the whole page
    // each; null where a file holds one picture.
    WriteResult (*writePages)(const std::filesystem::path& path, int dpi, int pageCount,
                              const PageDrawCallback& draw);
    // Its reading tells the messages of the files it reads; the others correct silently.
    bool readingShowsMessages;
    // The resolution it draws at unless the user asks for another.
    int defaultDpi = kScreenDpi;
    // The highest resolution it takes: a page image's memory grows with its square.
    int largestDpi = kLargestDpi;
};

std::span<const OutputDevice> outputDevices();
const OutputDevice& outputDevice(OutputKind kind);
// Nothing for a name or an extension no device has.
const OutputDevice* outputDeviceNamed(std::string_view name);
const OutputDevice* outputDeviceForFile(const std::filesystem::path& path);
// The part of the page, twips, that the device's picture shows.
TwipsWindow shownWindow(const OutputDevice& device, const std::optional<PageSelection>& selection);

// The page pass on one device: the request's page with its view steps, the messages to
// `messages` when the device's reading shows them (else dropped), the calls to `ops` when set.
// `dpi` is the printer's resolution and the screen image's; the metafile is in twips.
struct PagePassOn {
    const OutputDevice& device;
    int dpi = 600;
    const PageRequest& request;
    MessageSink& messages;
    OpsLine ops = {};
};

// The device's pass of one page on its drawing target.
PageOutcome drawPagePass(const PagePassOn& pass, DrawSurface& surface);

// Writes the device's picture of the page to `path`; the page's outcome goes to `outcome`.
WriteResult writePageFile(const PagePassOn& pass, const std::filesystem::path& path,
                          PageOutcome& outcome);
// Writes `pageCount` pages, page k drawn by `draw(k, surface)`, into the device's one file: a
// device whose file holds one picture takes one page.
WriteResult writeDocumentFile(const OutputDevice& device, int dpi,
                              const std::optional<PageSelection>& selection,
                              const std::filesystem::path& path, int pageCount,
                              const PageDrawCallback& draw);

// The screen page as the canvas shows it at `dpi`, with its messages.
QImage renderScreenImage(const PageRequest& request, MessageSink& messages, PageOutcome& outcome,
                         int dpi = kScreenDpi);
// The same on view steps and a set-up the caller keeps: the canvas's page, whose reading
// clears missing names and leaves each slot's plotted z range in `steps`.
QImage renderScreenImage(ViewSteps& steps, PageSetup& setup, MessageSink& messages,
                         PageOutcome& outcome);

// The SVG row's picture of the request's selection (or the whole page), for the clipboard:
// viewBox = the selection's twips window. Empty when it could not be drawn.
QByteArray renderMetafilePicture(const PageRequest& request, PageOutcome& outcome);

// The printer's page on an open painter whose device has `dpi` dots per inch and whose origin
// is where the page's top-left goes (a QPrinter's printable area, a PDF page). Silent.
PageOutcome drawPrinterPage(QPainter& painter, int dpi, const PageRequest& request);
// The same on a surface of `dpi` dots per inch.
PageOutcome drawPrinterPage(DrawSurface& surface, int dpi, const PageRequest& request);

}  // namespace kavlo
