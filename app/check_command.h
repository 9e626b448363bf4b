#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace kavlo {

// `kavlo check [--json] [--slot G] [--turn N] [--zoom N] [--us MM] [--vs MM] FORMAT [NUMERIC]`:
// reads a slot's files as the screen draw does, reports every message, draws nothing.
// Returns the exit status: 0 plotted or frame only, 1 skipped, 2 usage error.
const char* checkUsage();

int runCheck(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace kavlo
