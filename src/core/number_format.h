#pragma once

#include <string>

namespace kavlo {

// A numeric label with `decimals` places (0..6), rounded half away from zero, no leading
// blanks, at least one digit before the point.
std::string formatLabelNumber(double value, int decimals);

}  // namespace kavlo
