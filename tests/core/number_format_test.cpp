#include "core/number_format.h"

#include <gtest/gtest.h>

namespace kavlo {
namespace {

TEST(NumberFormatTest, RoundsHalfAwayFromZeroAtFifteenSignificantDigits) {
    const struct {
        double value;
        int decimals;
        const char* expected;
    } cases[] = {
        {1234.5678, 0, "1235"},
        {1234.5678, 1, "1234.6"},
        {1234.5678, 2, "1234.57"},
        {1234.5678, 3, "1234.568"},
        {1234.5678, 4, "1234.5678"},
        {1234.5678, 5, "1234.56780"},
        {1234.5678, 6, "1234.567800"},
        {-0.25, 3, "-0.250"},
        {1e10, 1, "10000000000.0"},
        {0.125, 2, "0.13"},
        {-2.5, 0, "-3"},
        // Just below the half in binary, but a half once taken to 15 digits.
        {2.675, 2, "2.68"},
        {1.005, 2, "1.01"},
        // A single's binary value shows within 15 digits: 2.67499995231628.
        {static_cast<double>(2.675f), 2, "2.67"},
        {0.12344, 4, "0.1234"},
        {9.9996, 3, "10.000"},
        {-9.9996, 3, "-10.000"},
        {99.5, 0, "100"},
        {0.9999995, 6, "1.000000"},
        // Values that round to zero show no sign.
        {-0.4, 0, "0"},
        {-0.0, 2, "0.00"},
        {-0.00049, 3, "0.000"},
        {-1e-20, 0, "0"},
        {-0.0005, 3, "-0.001"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatLabelNumber(c.value, c.decimals), c.expected)
            << c.value << " with " << c.decimals << " decimals";
    }
}

}  // namespace
}  // namespace kavlo
