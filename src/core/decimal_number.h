#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kavlo {

// A plain decimal number as the data files write them: optional sign, digits with an optional
// point, optional exponent. Nothing else (no "nan", "inf", hex, or trailing characters).
std::optional<double> parseDecimal(std::string_view token);

// The same as a 32-bit float; values a float cannot hold are not numbers.
std::optional<float> parseSingle(std::string_view token);

// The same as a 16-bit integer: a fraction is rounded half to even, as the files have always
// been read, and values outside -32768..32767 are not numbers.
std::optional<std::int16_t> parseInt16(std::string_view token);

// The shortest decimal text that parseSingle reads back as `value` (finite), plain rather than
// with an exponent when that is no longer.
std::string shortestSingleText(float value);

}  // namespace kavlo
