#include "number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kavlo {
namespace {

constexpr int kSignificant = 15;

// `digits` as a decimal integer, plus one.
void increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

}  // namespace

std::string formatLabelNumber(double value, int decimals) {
    // The value is first taken to 15 significant digits and then rounded, so 2.675 shows as
    // 2.68 although its binary value lies below: labels read as the number the user wrote.
    std::string scaled;  // |value| x 10^decimals, rounded, as decimal digits
    if (std::isfinite(value) && value != 0) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.*e", kSignificant - 1, std::fabs(value));
        std::string mantissa;
        const char* p = buffer;
        for (; *p != 'e'; ++p) {
            if (*p != '.') {
                mantissa.push_back(*p);
            }
        }
        const int exponent = std::atoi(p + 1);
        const int keep = exponent + 1 + decimals;
        if (keep >= 0) {
            for (int k = 0; k < keep; ++k) {
                scaled.push_back(k < kSignificant ? mantissa[static_cast<std::size_t>(k)] : '0');
            }
            if (keep < kSignificant && mantissa[static_cast<std::size_t>(keep)] >= '5') {
                increment(scaled);
            }
        }
    }
    const std::size_t width = static_cast<std::size_t>(decimals) + 1;
    if (scaled.size() < width) {
        scaled.insert(0, width - scaled.size(), '0');
    }
    // A value that rounds to zero shows no sign.
    const bool negative = value < 0 && scaled.find_first_not_of('0') != std::string::npos;
    std::string text = negative ? "-" : "";
    const std::size_t integerDigits = scaled.size() - static_cast<std::size_t>(decimals);
    text += scaled.substr(0, integerDigits);
    if (decimals > 0) {
        text += '.';
        text += scaled.substr(integerDigits);
    }
    return text;
}

}  // namespace kavlo
