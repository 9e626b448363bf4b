#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavlo {

// The lines of a text, each without its end: CR LF, LF and a lone CR all end a line, and a
// last line without an end still counts.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace kavlo
