#include "analyser/instrument/protocol/frequency_plan.h"

#include <gtest/gtest.h>

#include "common/errors.h"

TEST(FrequencyPlan, SpreadsWholeHertzEvenlyAndCutsEvenSegments)
{
    const FrequencyPlan p = planSweep(1e6, 2e6 + 0.4, 201, 101);
    ASSERT_EQ(p.hz.size(), 201u);
    EXPECT_EQ(p.hz.front(), 1000000u);
    EXPECT_EQ(p.hz[1], 1005000u);
    EXPECT_EQ(p.hz.back(), 2000000u);
    // 201 in pieces of at most 101: two, neither of them a lone point.
    ASSERT_EQ(p.segments.size(), 2u);
    EXPECT_EQ(p.segments[0].count, 101);
    EXPECT_EQ(p.segments[1].first, 101);
    EXPECT_EQ(p.segments[1].count, 100);
    EXPECT_EQ(p.segments[1].startHz, p.hz[101]);
    EXPECT_EQ(p.segments[1].stopHz, 2000000u);

    // A step that is not whole: rounded, still rising, the last point exactly the stop.
    const FrequencyPlan q = planSweep(10e6, 10e6 + 1000, 301, 401);
    ASSERT_EQ(q.segments.size(), 1u);
    for (std::size_t i = 1; i < q.hz.size(); ++i)
        ASSERT_GT(q.hz[i], q.hz[i - 1]);
    EXPECT_EQ(q.hz.back(), 10001000u);

    const FrequencyPlan r = planSweep(1e6, 2e6, 10001, 401);
    int total = 0;
    for (const Segment& s : r.segments) {
        EXPECT_EQ(s.first, total);
        EXPECT_LE(s.count, 401);
        EXPECT_GE(s.count, 11);
        total += s.count;
    }
    EXPECT_EQ(total, 10001);
}

TEST(FrequencyPlan, RefusesWhatNoInstrumentCanSweep)
{
    EXPECT_THROW(planSweep(2e6, 1e6, 201, 101), AppError);
    EXPECT_THROW(planSweep(1e6, 1e6, 201, 101), AppError);
    EXPECT_THROW(planSweep(999, 1e6, 201, 101), AppError);
    EXPECT_THROW(planSweep(1e6, 10.1e9, 201, 101), AppError);
    EXPECT_THROW(planSweep(1e6, 2e6, 10, 101), AppError);
    EXPECT_THROW(planSweep(1e6, 2e6, 10002, 101), AppError);
    EXPECT_THROW(planSweep(1e6, 2e6, 201, 402), AppError);
    EXPECT_THROW(planSweep(1e6, 1e6 + 100, 201, 101), AppError);  // not a whole hertz apart
    EXPECT_NO_THROW(planSweep(1e3, 10e9, 11, 11));
}
