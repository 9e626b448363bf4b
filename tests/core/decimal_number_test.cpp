#include "core/decimal_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace kavlo {
namespace {

TEST(DecimalNumberTest, AcceptsPlainDecimals) {
    const struct {
        std::string_view token;
        double expected;
    } cases[] = {
        {"1", 1},      {"-2.5", -2.5},  {"+3", 3},          {".5", 0.5},
        {"5.", 5},     {"-.25", -0.25}, {"1e3", 1000},      {"1.5E-2", 0.015},
        {"2e+2", 200}, {"007", 7},      {"0.000e999", 0},   {"123456789012", 123456789012.0},
        {"1e-400", 0}, {"-1e-400", 0},  {"0.0001e-330", 0}, {"1e-99999999999999999999", 0},
    };
    for (const auto& c : cases) {
        // Correctly rounded reading: the literal and the token give the same double.
        EXPECT_EQ(parseDecimal(c.token), std::optional<double>(c.expected)) << c.token;
    }
    const auto negativeZero = parseDecimal("-0");
    ASSERT_TRUE(negativeZero.has_value());
    EXPECT_EQ(*negativeZero, 0.0);
}

TEST(DecimalNumberTest, RefusesAnythingElse) {
    const std::string_view refused[] = {"",     "abc",      "1,5",   "1.2.3", "nan", "NaN", "inf",
                                        "-inf", "infinity", "0x10",  "1e",    "1e+", "e5",  ".",
                                        "-",    "+",        "--1",   "+-1",   " 1",  "1 ",  "1\t",
                                        "1.5f", "1e3.5",    "1e400", "-1e400"};
    for (const std::string_view token : refused) {
        EXPECT_FALSE(parseDecimal(token).has_value()) << '"' << token << '"';
        EXPECT_FALSE(parseSingle(token).has_value()) << '"' << token << '"';
        EXPECT_FALSE(parseInt16(token).has_value()) << '"' << token << '"';
    }
    EXPECT_FALSE(parseDecimal("1e99999999999999999999").has_value());
    EXPECT_FALSE(parseDecimal(std::string_view("1\0", 2)).has_value());
}

TEST(DecimalNumberTest, SingleRangeLimits) {
    const struct {
        std::string_view token;
        std::optional<float> expected;
    } cases[] = {
        {"3e38", 3e38f},        {"-3e38", -3e38f}, {"1e39", std::nullopt}, {"-1e39", std::nullopt},
        {"1e99", std::nullopt}, {"0.1", 0.1f},     {"1e-50", 0.0f},        {"-2.5", -2.5f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseSingle(c.token), c.expected) << c.token;
    }
}

TEST(DecimalNumberTest, Int16RoundsHalfToEvenWithinRange) {
    const struct {
        std::string_view token;
        std::optional<std::int16_t> expected;
    } cases[] = {
        {"1.5", 2},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-1.5", -2},
        {"0.5", 0},
        {"2.51", 3},
        {"-0.4", 0},
        {"1e4", 10000},
        {"32767", 32767},
        {"32767.4", 32767},
        {"32767.5", std::nullopt},
        {"32768", std::nullopt},
        {"-32768", -32768},
        {"-32768.5", -32768},
        {"-32769", std::nullopt},
        {"1e10", std::nullopt},
        {"abc", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseInt16(c.token), c.expected) << c.token;
    }
}

}  // namespace
}  // namespace kavlo
