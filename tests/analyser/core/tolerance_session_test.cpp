#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "common/errors.h"
#include "tests/support/ladder_support.h"
#include "analyser/core/tolerance_session.h"

namespace {

using namespace tolerance;

TEST(ToleranceSession, ReadsTheFieldsWithADotWhateverTheLocale)
{
    Inputs in;
    in.trials = "250";
    in.uniform = true;
    in.crystalHz = "37.5";
    in.capPercent = " 2.5 ";
    in.indPercent = "1e1";
    in.seed = "18446744073709551615";
    in.bandwidthPercent = "";
    in.maxRippleDb = "0.5";
    in.maxLossDb = "   ";
    const Settings s = readSettings(in);
    EXPECT_EQ(s.trials, 250);
    EXPECT_EQ(s.spread, CrystalSpread::Uniform);
    EXPECT_EQ(s.crystalHz, 37.5);
    EXPECT_EQ(s.capPercent, 2.5);
    EXPECT_EQ(s.indPercent, 10);
    EXPECT_EQ(s.seed, UINT64_MAX);
    const Limits l = readLimits(in);
    EXPECT_FALSE(l.bandwidthPercent);
    EXPECT_EQ(l.maxRippleDb, 0.5);
    EXPECT_FALSE(l.maxLossDb);

    const struct {
        std::string Inputs::*field;
        const char* text;
        const char* message;
    } bad[] = {
        {&Inputs::trials, "1000.0", "'1000.0' is not a valid integer value"},
        {&Inputs::crystalHz, "2,5", "'2,5' is not a valid floating point value"},
        {&Inputs::seed, "", "'' is not a valid seed: give a whole number from 0 to 18446744073709551615"},
        {&Inputs::seed, "+3", "'+3' is not a valid seed: give a whole number from 0 to 18446744073709551615"},
        {&Inputs::maxLossDb, "six", "'six' is not a valid floating point value"},
    };
    for (const auto& c : bad) {
        Inputs x;
        x.*c.field = c.text;
        try {
            readSettings(x);
            readLimits(x);
            ADD_FAILURE() << c.text;
        } catch (const ConvertError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(ToleranceSession, HistogramBins)
{
    const Histogram h = histogram({1, 2, 2, 3, 5}, 4);
    EXPECT_EQ(h.from, 1);
    EXPECT_EQ(h.width, 1);
    EXPECT_EQ(h.counts, (std::vector<int>{1, 2, 1, 1}));  // 5 closes the last bin
    const Histogram same = histogram({4, 4, 4}, 10);
    EXPECT_EQ(same.counts, std::vector<int>{3});
    EXPECT_GT(same.width, 0);
    EXPECT_LT(same.from, 4);
    EXPECT_TRUE(histogram({}, 10).counts.empty());
}

TEST(ToleranceSession, RunnerReportsOnlyTheRunItWasLastGiven)
{
    const Circuit m = laddertest::fullCrystalLadder();
    Settings s;
    s.trials = 100000;
    s.crystalHz = 20;
    Runner runner;
    std::atomic<int> done = 0;
    runner.start(m, m.startfreq, m.stopfreq, s, {{}, [&](Result) { ++done; }, {}});
    EXPECT_TRUE(runner.running());
    const auto before = std::chrono::steady_clock::now();
    runner.cancel();
    EXPECT_FALSE(runner.running());

    s.trials = 20;
    std::promise<Result> result;
    runner.start(m, m.startfreq, m.stopfreq, s, {{}, [&](Result r) { result.set_value(std::move(r)); }, {}});
    // Far less than the cancelled run of 100000 trials would take, even on a loaded machine
    // under the sanitizers; how quick a cancel is belongs to the benchmarks.
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10)) << "cancel is quick";
    auto future = result.get_future();
    ASSERT_EQ(future.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    const Result r = future.get();
    EXPECT_EQ(r.trials.size(), 20u);
    EXPECT_EQ(done.load(), 0) << "the cancelled run reported";
    EXPECT_EQ(yieldText(r, {}), "Yield: 100.0 % (20 of 20 trials)");

    std::promise<std::string> refused;
    s.crystalHz = -1;
    runner.start(m, m.startfreq, m.stopfreq, s, {{}, {}, [&](std::string e) { refused.set_value(e); }});
    EXPECT_EQ(refused.get_future().get(), "The crystal spread must be from 0 to 100000 Hz.");
}

}  // namespace
