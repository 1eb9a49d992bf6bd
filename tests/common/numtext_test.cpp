#include <gtest/gtest.h>

#include <clocale>

#include "common/numtext.h"

namespace {

struct FixedCase {
    double value;
    int precision;
    int decimals;
    const char* text;
};

TEST(FixedText, WritesExactlyTheDecimalsAskedFor)
{
    const FixedCase cases[] = {
        {99999, 5, 2, "99999.00"},
        {0.000001, 5, 2, "0.00"},
        {200000, 5, 2, "2E5"},
        {0, 6, 2, "0.00"},
        {250, 8, 2, "250.00"},
        {4.3, 11, 5, "4.30000"},
        {0.123, 6, 2, "0.12"},
        {-100, 6, 2, "-100.00"},
        {-100, 4, 1, "-100.0"},
        {0, 4, 1, "0.0"},
        {7.5, 10, 4, "7.5000"},
        {-50, 10, 4, "-50.0000"},
        {15, 7, 3, "15.000"},
        {105, 8, 3, "105.000"},
        {50, 6, 1, "50.0"},
        {142.3412, 5, 2, "142.34"},
        {99999, 5, 2, "99999.00"},
        {0.006, 5, 2, "0.01"},     // rounds up into the last decimal
        {0.004, 5, 2, "0.00"},
        {-0.004, 5, 2, "0.00"},    // no sign on a value that rounds to zero
        {12345.678, 6, 2, "12345.70"},  // six significant digits win, zeros pad
        {999999.5, 6, 2, "1E6"},   // rounding carries into a seventh integer digit
        {1.0, 5, 0, "1"},
        {-2.85, 5, 2, "-2.85"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fixedText(c.value, c.precision, c.decimals), c.text)
            << c.value << " fixed(" << c.precision << ", " << c.decimals << ")";
}

// The p-digit limit rounds first;
// the decimals are then padded with zeros.
TEST(FixedText, PadsTheRoundedValueWithZeros)
{
    EXPECT_EQ(fixedText(12345.678, 6, 3), "12345.700");
    EXPECT_EQ(fixedText(1234567, 8, 2), "1234567.00");
}

TEST(FixedText, HalvesRoundAwayFromZeroOnTheExactValue)
{
    EXPECT_EQ(fixedText(0.125, 5, 2), "0.13");   // 0.125 is exact in binary
    EXPECT_EQ(fixedText(-0.125, 5, 2), "-0.13");
    EXPECT_EQ(fixedText(2.675, 5, 2), "2.67");   // 2.675 is 2.67499999... in binary
}

TEST(GeneralText, FollowsThePositionalAndScientificRules)
{
    const struct {
        double value;
        int precision;
        const char* text;
    } cases[] = {
        {0, 15, "0"},
        {12.5, 15, "12.5"},
        {0.00005, 15, "5E-5"},
        {0.0001, 15, "0.0001"},
        {100, 15, "100"},
        {-500, 15, "-500"},
        {12.5, 15, "12.5"},
        {200000, 5, "2E5"},
        {123456, 5, "1.2346E5"},
        {static_cast<double>(0.02f), 15, "0.0199999995529652"},
        {static_cast<double>(10.0f), 15, "10"},
        {1e15, 15, "1E15"},
        {1.5e20, 15, "1.5E20"},
        {-2.5e-7, 15, "-2.5E-7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(generalText(c.value, c.precision), c.text) << c.value;
}

TEST(NumberTexts, IgnoreTheUsersLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_EQ(fixedText(2.5, 5, 2), "2.50");
    EXPECT_EQ(generalText(0.25, 15), "0.25");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(NumberTexts, NonFiniteValuesAreNamed)
{
    EXPECT_EQ(fixedText(1.0 / 0.0 * 1, 5, 2), "INF");
    EXPECT_EQ(generalText(-1.0 / 0.0, 15), "-INF");
}

}  // namespace
