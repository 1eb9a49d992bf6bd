#include <gtest/gtest.h>

#include <QValueAxis>

#include <cmath>

#include "desktop/round_ticks.h"

namespace {

TEST(RoundTicks, StepsOfOneTwoOrFiveTimesAPowerOfTen)
{
    const struct {
        double span;
        int parts;
        double step;
    } cases[] = {
        {90, 4, 50},        // not 22.5 dB
        {100, 5, 20},    {100, 6, 20},  {28.7, 3, 10},  {1, 6, 0.2},  {0.003, 6, 0.0005},
        {207, 3, 100},   {6, 6, 1},     {7e6, 5, 2e6},  {-90, 4, 50}, {0, 6, 1},
        {INFINITY, 6, 1}, {1e-12, 4, 5e-13},
    };
    for (const auto& c : cases) {
        const double step = desktop::roundStep(c.span, c.parts);
        EXPECT_DOUBLE_EQ(step, c.step) << c.span << " in " << c.parts;
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        EXPECT_TRUE(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9);
    }
}

TEST(RoundTicks, DecimalsShowEachTickExactly)
{
    EXPECT_EQ(desktop::stepDecimals(50), 0);
    EXPECT_EQ(desktop::stepDecimals(1), 0);
    EXPECT_EQ(desktop::stepDecimals(0.5), 1);
    EXPECT_EQ(desktop::stepDecimals(0.2), 1);
    EXPECT_EQ(desktop::stepDecimals(0.05), 2);
    EXPECT_EQ(desktop::stepDecimals(0.0001), 4);
}

TEST(RoundTicks, AxesTakeTheStepAndCountsStayWhole)
{
    QValueAxis axis;
    desktop::setRoundTicks(axis, -90, 0, 4);
    EXPECT_EQ(axis.tickType(), QValueAxis::TicksDynamic);
    EXPECT_DOUBLE_EQ(axis.tickInterval(), 50);
    EXPECT_DOUBLE_EQ(axis.tickAnchor(), -50);
    EXPECT_DOUBLE_EQ(axis.min(), -90);
    EXPECT_DOUBLE_EQ(axis.max(), 0);

    // 207 trials in the tallest bar: ticks at whole, round counts (not 69, 138, 207).
    QValueAxis counts;
    desktop::setCountTicks(counts, 207, 3);
    EXPECT_DOUBLE_EQ(counts.tickInterval(), 100);
    EXPECT_DOUBLE_EQ(counts.min(), 0);
    EXPECT_DOUBLE_EQ(counts.max(), 300);
    // A histogram of one trial still counts in whole trials.
    desktop::setCountTicks(counts, 1, 6);
    EXPECT_DOUBLE_EQ(counts.tickInterval(), 1);
    EXPECT_EQ(counts.labelFormat(), "%.0f");
}

}  // namespace
