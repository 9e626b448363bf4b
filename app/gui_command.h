#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace kavlo {

// `kavlo [--home DIR]`: the main window, on the application folder. Needs a QApplication.
int runGui(std::span<const std::string> args, std::ostream& err);

}  // namespace kavlo
