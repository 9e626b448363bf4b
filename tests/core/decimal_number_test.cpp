#include "core/decimal_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <optional>
#include <random>
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
    // Plain decimals of every length and point, bit for bit as the standard reading rounds.
    std::mt19937_64 random(7);
    for (int k = 0; k < 200000; ++k) {
        std::string token = k % 3 == 0 ? "-" : "";
        const int length = 1 + static_cast<int>(random() % 22);
        for (int d = 0; d < length; ++d) {
            token += static_cast<char>('0' + random() % 10);
        }
        token.insert(token.size() - random() % (length + 1), ".");
        double expected = 0;
        std::from_chars(token.data(), token.data() + token.size(), expected);
        const auto read = parseDecimal(token);
        ASSERT_TRUE(read &&
                    std::bit_cast<std::uint64_t>(*read) == std::bit_cast<std::uint64_t>(expected))
            << token;
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

}  // namespace
}  // namespace kavlo
