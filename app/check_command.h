#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace kavlo {

// `kavlo check [--json] [--slot G] [--turn N] [--zoom N] [--us MM] [--vs MM] FORMAT [NUMERIC]`:
// reads a slot's files as the screen draw does, reports every message, draws nothing.
// Returns the exit status: 0 plotted or frame only, 1 skipped, 2 usage error.
const char* checkUsage();
// The usage line and a line for each option.
std::string checkHelp();

int runCheck(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace kavlo
