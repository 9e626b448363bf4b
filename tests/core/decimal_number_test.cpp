#include "core/decimal_number.h"
#include "core/number_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kavlo {
namespace {

using namespace std::string_view_literals;
constexpr auto kNone = std::nullopt;

TEST(DecimalNumberTest, AcceptsDecimalsWithinTheirType) {
    const std::pair<std::string_view, double> cases[] = {
        {"1", 1},        {"-2.5", -2.5},   {"+3", 3},         {"5.", 5},
        {"-.25", -0.25}, {"1e3", 1000},    {"1.5E-2", 0.015}, {"2e+2", 200},
        {"007", 7},      {"0.000e999", 0}, {"1e-400", 0},     {"1e-99999999999999999999", 0}};
    for (const auto& [token, value] : cases) {
        EXPECT_EQ(parseDecimal(token), std::optional<double>(value)) << token;
    }
    // Exponents of any length: whatever underflows is zero, and a long exponent that lands in
    // range keeps its exact value.
    const std::string shifted = "25" + std::string(200000, '0') + "e-200001";
    const std::pair<std::string, double> longExponents[] = {
        {"0.001e-9223372036854775807", 0},
        {"-123.4e-9223372036854775808", 0},
        {"5e-" + std::string(40, '9'), 0},
        {"-1e0000000000000000000000000003", -1000},
        {shifted, 2.5},
        {"0." + std::string(200000, '0') + "75e200000", 0.75}};
    for (const auto& [token, value] : longExponents) {
        EXPECT_EQ(parseDecimal(token), std::optional<double>(value)) << token.substr(0, 30);
    }
    const std::pair<std::string_view, std::optional<float>> singles[] = {
        {"3e38", 3e38f},  {"-3e38", -3e38f}, {"1e39", kNone},
        {"-1e39", kNone}, {"0.1", 0.1f},     {"1e-50", 0.0f}};
    for (const auto& [token, value] : singles) {
        EXPECT_EQ(parseSingle(token), value) << token;
    }
    // Whole numbers round half to even.
    const std::pair<std::string_view, std::optional<std::int16_t>> int16s[] = {
        {"1.5", 2},           {"2.5", 2},         {"-2.5", -2},
        {"2.51", 3},          {"32767.4", 32767}, {"32767.5", kNone},
        {"-32768.5", -32768}, {"-32769", kNone},  {"1e10", kNone}};
    for (const auto& [token, value] : int16s) {
        EXPECT_EQ(parseInt16(token), value) << token;
    }
}

TEST(DecimalNumberTest, RefusesAnythingElse) {
    const std::string_view refused[] = {
        "", "abc", "1,5", "1.2.3", "nan", "inf", "-inf", "infinity", "0x10", "1e", "e5", ".", "-",
        "+-1", " 1", "1 ", "1.5f", "1e3.5", "1e400", "-1e400", "1e99999999999999999999", "1\0"sv,
        // Too large however long the exponent.
        "1e9223372036854775807", "-0.001e9223372036854775807", "1e18446744073709551616"};
    for (const std::string_view token : refused) {
        EXPECT_FALSE(parseDecimal(token) || parseSingle(token) || parseInt16(token))
            << '"' << token << '"';
    }
}

TEST(NumberFormatTest, RoundsHalfAwayFromZeroAtFifteenSignificantDigits) {
    // 2.675 and 1.005 lie just below the half in binary but are a half taken to 15 digits; the
    // single 2.675f (2.67499995231628) is not. Values that round to zero show no sign.
    // clang-format off
    const struct { double value; int decimals; const char* expected; } cases[] = {
        {1234.5678, 0, "1235"}, {1234.5678, 1, "1234.6"}, {1234.5678, 2, "1234.57"},
        {1234.5678, 3, "1234.568"}, {1234.5678, 4, "1234.5678"}, {1234.5678, 5, "1234.56780"},
        {1234.5678, 6, "1234.567800"}, {-0.25, 3, "-0.250"}, {1e10, 1, "10000000000.0"},
        {0.125, 2, "0.13"}, {-2.5, 0, "-3"}, {0.12344, 4, "0.1234"}, {9.9996, 3, "10.000"},
        {-9.9996, 3, "-10.000"}, {99.5, 0, "100"}, {0.9999995, 6, "1.000000"},
        {2.675, 2, "2.68"}, {1.005, 2, "1.01"}, {static_cast<double>(2.675f), 2, "2.67"},
        {-0.4, 0, "0"}, {-0.0, 2, "0.00"}, {-0.00049, 3, "0.000"}, {-1e-20, 0, "0"},
        {-0.0005, 3, "-0.001"}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(formatLabelNumber(c.value, c.decimals), c.expected)
            << c.value << " with " << c.decimals << " decimals";
    }
}

}  // namespace
}  // namespace kavlo
