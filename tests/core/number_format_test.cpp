#include "core/number_format.h"

#include <gtest/gtest.h>

#include <string>

namespace kavlo {
namespace {

struct Case {
    double value;
    int decimals;
    const char* expected;
};

void expectFormats(std::initializer_list<Case> cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(formatLabelNumber(c.value, c.decimals), c.expected)
            << "value " << c.value << " with " << c.decimals << " decimals";
    }
}

TEST(NumberFormatTest, EachDecimalCountHasItsPicture) {
    expectFormats({
        {1234.5678, 0, "1235"},
        {1234.5678, 1, "1234.6"},
        {1234.5678, 2, "1234.57"},
        {1234.5678, 3, "1234.568"},
        {1234.5678, 4, "1234.5678"},
        {1234.5678, 5, "1234.56780"},
        {1234.5678, 6, "1234.567800"},
        {0, 0, "0"},
        {0, 3, "0.000"},
        {0, 6, "0.000000"},
        {1.5, 3, "1.500"},
        {-0.25, 3, "-0.250"},
        {12.3, 0, "12"},
        {0.4, 0, "0"},
        {0.5, 2, "0.50"},
        {-7, 1, "-7.0"},
        {9999999, 0, "9999999"},
        {123456789, 0, "123456789"},
        {1e10, 1, "10000000000.0"},
    });
}

TEST(NumberFormatTest, RoundsHalfAwayFromZeroOnTheDecimalValue) {
    expectFormats({
        {0.125, 2, "0.13"},
        {-0.125, 2, "-0.13"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {3.5, 0, "4"},
        {0.0000005, 6, "0.000001"},
        {0.0005, 3, "0.001"},
        // Binary values just below the half still round up once taken to 15 digits.
        {2.675, 2, "2.68"},
        {1.005, 2, "1.01"},
        {0.95, 1, "1.0"},
        // A single's binary value shows beyond 15 digits: 2.67499995231628.
        {static_cast<double>(2.675f), 2, "2.67"},
        {static_cast<double>(0.1f), 6, "0.100000"},
        {0.12344, 4, "0.1234"},
    });
}

TEST(NumberFormatTest, CarriesIntoNewDigits) {
    expectFormats({
        {9.9996, 3, "10.000"},
        {-9.9996, 3, "-10.000"},
        {999999.96, 1, "1000000.0"},
        {0.99999, 2, "1.00"},
        {99.5, 0, "100"},
        {0.9999995, 6, "1.000000"},
    });
}

TEST(NumberFormatTest, TinyAndNegativeZeroValuesShowNoSign) {
    expectFormats({
        {-0.4, 0, "0"},
        {-0.0001, 3, "0.000"},
        {-0.0, 2, "0.00"},
        {-0.00049, 3, "0.000"},
        {-0.0005, 3, "-0.001"},
        {1e-20, 3, "0.000"},
        {-1e-20, 0, "0"},
        {1e-300, 6, "0.000000"},
    });
}

}  // namespace
}  // namespace kavlo
