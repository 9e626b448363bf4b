#include "decimal_number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

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

// Beyond these decimal magnitudes a double holds only infinity or zero. An exponent is read no
// further than this bound, so no sum below can overflow whatever its length.
constexpr long long kExponentBound = 1'000'000'000'000LL;
constexpr long long kBeyondLargest = 310;   // 1e309 > DBL_MAX
constexpr long long kBelowSmallest = -330;  // 1e-330 rounds to 0
// Fewer digits than this, with no exponent, can neither overflow nor underflow.
constexpr std::size_t kShortToken = 300;
// Exponents up to this size are left to from_chars as written.
constexpr long long kPlainExponent = 100'000;

// A well-formed token taken apart: its sign, whether any digit is not zero, and the decimal
// exponent of its first significant digit plus one.
struct DecimalParts {
    bool negative = false;
    bool significant = false;
    long long magnitude = 0;
    long long exponent = 0;  // as written, clamped to the bound
};

// Where the exponent's letter is, else the end. A plain loop: find_first_of searches the set
// for every character, and grids have millions of values.
std::size_t exponentLetter(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] != 'e' && s[i] != 'E') {
        ++i;
    }
    return i;
}

long long clampedExponent(std::string_view text) {
    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+') {
        text.remove_prefix(1);
    }
    long long value = 0;
    for (const char c : text) {
        value = std::min(value * 10 + (c - '0'), kExponentBound);
    }
    return negative ? -value : value;
}

DecimalParts splitDecimal(std::string_view s) {
    DecimalParts parts;
    parts.negative = s.front() == '-';
    const std::size_t e = exponentLetter(s);
    bool afterPoint = false;
    long long position = 0;
    for (std::size_t i = 0; i < e; ++i) {
        if (s[i] == '.') {
            afterPoint = true;
        } else if (isDigit(s[i])) {
            parts.significant = parts.significant || s[i] != '0';
            if (parts.significant != afterPoint) {
                position += parts.significant ? 1 : -1;
            }
        }
    }
    parts.exponent = e < s.size() ? clampedExponent(s.substr(e + 1)) : 0;
    parts.magnitude = position + parts.exponent;
    return parts;
}

// The same value as "0.<significant digits>e<magnitude>", an exponent from_chars reads exactly.
std::string withShortExponent(std::string_view s, const DecimalParts& parts) {
    std::string text = parts.negative ? "-0." : "0.";
    const std::size_t e = exponentLetter(s);
    bool significant = false;
    for (std::size_t i = 0; i < e; ++i) {
        significant = significant || (isDigit(s[i]) && s[i] != '0');
        if (significant && isDigit(s[i])) {
            text.push_back(s[i]);
        }
    }
    return text + "e" + std::to_string(parts.magnitude);
}

// Powers of ten a double holds exactly.
constexpr std::array<double, 23> kExactTens = [] {
    std::array<double, 23> tens{};
    double ten = 1;
    for (double& power : tens) {
        power = ten;
        ten *= 10;
    }
    return tens;
}();
constexpr std::uint64_t kExactIntegers = std::uint64_t{1} << 53;
constexpr std::size_t kMostDigits = 19;  // any 19 digits fit in 64 bits

// A plain decimal of at most 15 or so digits, as grid values are: its digits and the power of
// ten under them are both exact doubles, so one division rounds as reading the text would.
// Nothing for anything else, which the careful way reads.
std::optional<double> plainDecimal(std::string_view s) {
    const bool negative = !s.empty() && s[0] == '-';
    std::size_t i = !s.empty() && (s[0] == '-' || s[0] == '+') ? 1 : 0;
    // Digits past the 19th wrap around; such a token is refused below by its length.
    std::uint64_t digits = 0;
    const std::size_t whole = i;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        digits = digits * 10 + static_cast<std::uint64_t>(s[i] - '0');
    }
    std::size_t count = i - whole;
    std::size_t decimals = 0;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fraction = ++i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            digits = digits * 10 + static_cast<std::uint64_t>(s[i] - '0');
        }
        decimals = i - fraction;
        count += decimals;
    }
    if (i != s.size() || count == 0 || count > kMostDigits || digits > kExactIntegers ||
        decimals >= kExactTens.size()) {
        return std::nullopt;
    }
    const double value = static_cast<double>(digits) / kExactTens[decimals];
    return negative ? -value : value;
}

}  // namespace

std::optional<double> parseDecimal(std::string_view token) {
    if (const auto plain = plainDecimal(token)) {
        return plain;
    }
    if (!hasDecimalSyntax(token)) {
        return std::nullopt;
    }
    // Without an exponent a token this short lies well inside the double range, and from_chars
    // reads it as the longer way below would: grid values go straight to it.
    if (token.size() < kShortToken && exponentLetter(token) == token.size()) {
        const std::string_view text = token.front() == '+' ? token.substr(1) : token;
        double value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size()) {
            return std::nullopt;
        }
        return value;
    }
    const DecimalParts parts = splitDecimal(token);
    const double zero = parts.negative ? -0.0 : 0.0;
    // The value lies in [10^(magnitude - 1), 10^magnitude): far outside the double range the
    // answer is known without converting.
    if (!parts.significant || parts.magnitude < kBelowSmallest) {
        return zero;  // underflow reads as zero
    }
    if (parts.magnitude > kBeyondLargest) {
        return std::nullopt;
    }
    // A long exponent is rewritten into a short one of the same value.
    std::string rewritten;
    std::string_view text =
        token.front() == '+' ? token.substr(1) : token;  // from_chars takes no '+'
    if (std::abs(parts.exponent) > kPlainExponent) {
        rewritten = withShortExponent(token, parts);
        text = rewritten;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        return parts.magnitude <= 0 ? std::optional<double>(zero) : std::nullopt;
    }
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
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

namespace {

std::string charsOf(float value, std::chars_format format, int precision) {
    std::array<char, 64> buffer{};
    const auto result = precision < 0
                            ? std::to_chars(buffer.begin(), buffer.end(), value, format)
                            : std::to_chars(buffer.begin(), buffer.end(), value, format, precision);
    return std::string(buffer.begin(), result.ptr);
}

bool readsBackAs(const std::string& text, float value) {
    const auto read = parseSingle(text);
    return read && *read == value;
}

}  // namespace

std::string shortestSingleText(float value) {
    // The shortest round trip is proven for reading straight to float; the files are read
    // through double, so check it and lengthen it in the rare case that differs.
    std::string text = charsOf(value, std::chars_format::general, -1);
    for (int digits = 1; !readsBackAs(text, value) && digits <= 9; ++digits) {
        text = charsOf(value, std::chars_format::general, digits);
    }
    const std::string plain = charsOf(value, std::chars_format::fixed, -1);
    if (plain.size() <= text.size() && readsBackAs(plain, value)) {
        return plain;
    }
    return text;
}

}  // namespace kavlo
