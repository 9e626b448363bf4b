#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kavlo {

using MeasureText = std::function<float(const std::string&)>;

// The rows a comment line breaks into: each the shortest start of what is left that ends with
// a line feed, is at least `width` wide, or is all of it; at least one character. The line feed
// stays at the end of its row.
std::vector<std::string> wrapCommentLine(const std::string& line, float width,
                                         const MeasureText& measure);

}  // namespace kavlo
