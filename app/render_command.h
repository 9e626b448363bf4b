#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "devices/output_device.h"
#include "page_setup_source.h"
#include "render/device_profile.h"
#include "render/page_pass.h"

namespace kavlo {

const char* renderUsage();
// The usage line and a line for each option.
std::string renderHelp();

struct RenderOptions {
    SetupSource setup;
    // A row of the device table.
    const OutputDevice* device = nullptr;
    // The device's own when not given.
    std::optional<int> dpi;
    std::optional<std::string> opsLog;
    std::optional<std::string> output;
    // The part of the page the metafile picture shows, page mm.
    std::optional<PageSelection> selection;
};

// The options of `kavlo render [--home DIR] [--pth FILE] [--device screen|printer|metafile|emf]
// [--dpi N] [--ops LOG.jsonl] [--select X1,Y1,X2,Y2] [-o OUT]`; says what is wrong on `err` when
// they are not usable. Needs no Qt application, so that a usage error is told without a display.
std::optional<RenderOptions> parseRenderOptions(std::span<const std::string> args,
                                                std::ostream& err);

// Composes the page of a path file (or the samples) on a device and writes it out, telling the
// screen's messages on `err`. Needs a Qt GUI application. Returns 0 when every named slot was
// drawn, 1 when any was skipped, 2 on a usage error or a file that cannot be written.
int runRender(const RenderOptions& options, std::ostream& err);
int runRender(std::span<const std::string> args, std::ostream& err);

}  // namespace kavlo
