#include "decimal_number.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kavlo {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool hasDecimalSyntax(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        std::size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) {
            return false;
        }
    }
    return i == s.size();
}

// Whether a well-formed token that double cannot hold is too small (rather than too large):
// its first significant digit lies after the decimal point.
bool underflows(std::string_view s) {
    long long position = 0;  // decimal exponent of the first significant digit, plus one
    bool seenSignificant = false;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
        if (s[i] == '.') {
            afterPoint = true;
        } else if (isDigit(s[i])) {
            if (!seenSignificant && s[i] != '0') {
                seenSignificant = true;
            }
            if (seenSignificant && !afterPoint) {
                ++position;
            } else if (!seenSignificant && afterPoint) {
                --position;
            }
        }
    }
    long long exponent = 0;
    if (i < s.size()) {
        const char* digits = s.data() + i + 1;
        const bool negative = *digits == '-';
        if (*digits == '-' || *digits == '+') {
            ++digits;
        }
        if (std::from_chars(digits, s.data() + s.size(), exponent).ec != std::errc()) {
            return negative;  // an exponent past any long long
        }
        exponent = negative ? -exponent : exponent;
    }
    return position + exponent <= 0;
}

}  // namespace

std::optional<double> parseDecimal(std::string_view token) {
    if (!hasDecimalSyntax(token)) {
        return std::nullopt;
    }
    // from_chars takes no leading '+'.
    if (token.front() == '+') {
        token.remove_prefix(1);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is no number.
        return underflows(token) ? std::optional<double>(0.0) : std::nullopt;
    }
    if (ec != std::errc() || end != token.data() + token.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<float> parseSingle(std::string_view token) {
    const auto value = parseDecimal(token);
    if (!value || std::abs(*value) > static_cast<double>(std::numeric_limits<float>::max())) {
        return std::nullopt;
    }
    return static_cast<float>(*value);
}

std::optional<std::int16_t> parseInt16(std::string_view token) {
    const auto value = parseDecimal(token);
    if (!value) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(*value);
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

}  // namespace kavlo
