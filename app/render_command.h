#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "devices/output_device.h"
#include "page_file_name.h"
#include "render/device_profile.h"
#include "render/page_pass.h"

namespace kavlo {

const char* renderUsage();
// The usage line and a line for each option.
std::string renderHelp();

// `-o -`: the document goes to standard output.
inline constexpr std::string_view kStandardOutput = "-";

struct RenderOptions {
    std::optional<std::filesystem::path> home;
    // One page each, in the order given; none: the application folder's page.
    std::vector<std::filesystem::path> pathFiles;
    // One page of just these files, placed as the main window places the files it opens.
    std::vector<std::filesystem::path> dataFiles;
    // Replaces the header text of every page.
    std::optional<std::string> header;
    // A row of the device table: the one whose calls --ops logs.
    const OutputDevice* device = nullptr;
    // The device's own when not given.
    std::optional<int> dpi;
    std::optional<std::string> opsLog;
    // A file name, numbered for one file per page, or kStandardOutput.
    std::optional<PageFileName> output;
    // What the output is written as: `--to`, else the output's extension.
    const OutputDevice* format = nullptr;
    // The part of the page the metafile picture shows, page mm.
    std::optional<PageSelection> selection;

    int pageCount() const { return std::max(1, static_cast<int>(pathFiles.size())); }
    bool toStandardOutput() const {
        return output && !output->numbered() && output->forPage(1) == kStandardOutput;
    }
};

// Exit statuses of `kavlo render`.
enum RenderExit : int {
    kRenderDrawn = 0,
    kRenderSlotLeftOut = 1,
    kRenderUsageError = 2,
    kRenderNotWritten = 3,
};

// The options of `kavlo render`; says what is wrong on `err` when they are not usable. Needs no
// Qt application, so that a usage error is told without a display.
std::optional<RenderOptions> parseRenderOptions(std::span<const std::string> args,
                                                std::ostream& err);

// Composes the pages (of path files, of data files, or of the application folder) on a device
// and writes them out, telling the screen's messages on `err`. Needs a Qt GUI application for
// pages that draw anything: `readyToDraw`, when given, makes it once the pages are known to.
int runRender(const RenderOptions& options, std::ostream& err,
              const std::function<void()>& readyToDraw = {});
int runRender(std::span<const std::string> args, std::ostream& err);

}  // namespace kavlo
