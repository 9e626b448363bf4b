#pragma once

#include <algorithm>
#include <string_view>

namespace kavlo {

constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Windows matches file names without regard to case; only ASCII letters are folded, so that the
// match does not hang on a locale.
constexpr bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

}  // namespace kavlo
