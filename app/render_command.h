#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace kavlo {

const char* renderUsage();

// `kavlo render [--home DIR] [--pth FILE] [--device screen|printer|metafile] [--dpi N]
// [--ops LOG.jsonl] [-o OUT]`: composes the page of a path file (or the samples) on a device
// and writes it out. Needs a Qt GUI application. Returns 0 when every named slot was drawn,
// 1 when any was skipped, 2 on a usage error.
int runRender(std::span<const std::string> args, std::ostream& err);

}  // namespace kavlo
