#pragma once

#include <string>

namespace kavlo {

// Message-box titles naming a graph slot 1..6, e.g. " 1st Format Data Error".
std::string formatErrorTitle(int slot);
std::string graphErrorTitle(int slot);
std::string commentErrorTitle(int slot);

}  // namespace kavlo
