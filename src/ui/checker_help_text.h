#pragma once

#include <array>
#include <cstddef>

namespace kavlo {

inline constexpr std::size_t kCheckerHelpLineCount = 89;

// The format parameters explained, one UTF-8 line each, for the checker's help pane.
const std::array<const char*, kCheckerHelpLineCount>& checkerHelpLines();

}  // namespace kavlo
