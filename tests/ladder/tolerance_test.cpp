#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>

#include "analyser/core/analyser.h"
#include "ladder/engine.h"
#include "common/errors.h"
#include "tests/support/ladder_support.h"
#include "ladder/tolerance.h"

namespace {

using laddertest::ladder;
using laddertest::sameBits;
using namespace tolerance;

Settings spread(int trials, double crystalHz, double capPercent, double indPercent, std::uint64_t seed = 1)
{
    Settings s;
    s.trials = trials;
    s.crystalHz = crystalHz;
    s.capPercent = capPercent;
    s.indPercent = indPercent;
    s.seed = seed;
    return s;
}

Result runOn(const Circuit& m, const Settings& s, int threads = 2)
{
    return run(m, m.startfreq, m.stopfreq, s, {}, {}, threads);
}

std::vector<double> levels(const Circuit& m)
{
    const auto f = sweepFrequencies(m.startfreq, m.stopfreq);
    std::vector<double> out(kSweepPoints);
    solveSweep(m, f.data(), kSweepPoints, [&](int i, const Solution& s) { out[i] = s.s21db; });
    return out;
}

TEST(Tolerance, ZeroSpreadGivesTheNominalCircuitInEveryTrial)
{
    const Circuit m = laddertest::fullCrystalLadder();
    const Result r = runOn(m, spread(24, 0, 0, 0));
    ASSERT_FALSE(r.cancelled);
    EXPECT_EQ(r.failed, 0);
    const TrialValues nominal = trialValues(r.nominal);
    for (const auto& trial : r.trials) {
        ASSERT_TRUE(trial);
        for (int q = 0; q < kQuantityCount; ++q)
            EXPECT_TRUE((*trial)[q] == nominal[q]) << quantityInfo()[q].name;
    }
    for (int q = 0; q < kQuantityCount; ++q) {
        SCOPED_TRACE(quantityInfo()[q].name);
        const Stats& s = r.stats[q];
        if (!nominal[q]) {
            EXPECT_EQ(s.count, 0);
            continue;
        }
        EXPECT_EQ(s.count, 24);
        EXPECT_EQ(s.sd, 0);
        for (double v : {s.mean, s.min, s.p5, s.median, s.p95, s.max})
            EXPECT_TRUE(sameBits(v, *nominal[q])) << v;
    }
    const std::vector<double> trace = levels(m);
    ASSERT_EQ(r.envelope.size(), trace.size());
    for (int i = 0; i < kSweepPoints; ++i) {
        const EnvelopePoint& e = r.envelope[i];
        for (double v : {e.min, e.p5, e.p95, e.max})
            ASSERT_TRUE(sameBits(v, trace[i])) << i;
    }
}

TEST(Tolerance, SameSeedSameBytesOnAnyNumberOfThreads)
{
    const Circuit m = laddertest::fullCrystalLadder();
    const Settings s = spread(40, 50, 2, 3, 7);
    const Result one = runOn(m, s, 1), two = runOn(m, s, 2), three = runOn(m, s, 3);
    EXPECT_EQ(statisticsCsv(one), statisticsCsv(two));
    EXPECT_EQ(statisticsCsv(one), statisticsCsv(three));
    EXPECT_EQ(envelopeCsv(one), envelopeCsv(two));
    EXPECT_EQ(envelopeCsv(one), envelopeCsv(three));

    Settings other = s;
    other.seed = 8;
    const Result r = runOn(m, other);
    EXPECT_NE(statisticsCsv(one), statisticsCsv(r));
    EXPECT_NE(envelopeCsv(one), envelopeCsv(r));
}

// Every figure of a run against the same trials computed one by one, the readouts by the
// full measurement. 200 trials: the envelope keeps only the 11 lowest and highest levels.
TEST(Tolerance, StatisticsAndEnvelopeMatchADirectComputation)
{
    const Circuit m = laddertest::fullCrystalLadder();
    Settings s = spread(200, 40, 1, 1, 3);
    s.spread = CrystalSpread::Uniform;
    const Result r = runOn(m, s);
    ASSERT_EQ(r.failed, 0);

    std::array<std::vector<double>, kQuantityCount> values;
    std::vector<std::vector<double>> traces;
    for (int t = 0; t < s.trials; ++t) {
        const Circuit trial = trialCircuit(m, s, t);
        const TrialValues v = trialValues(measureResponse(trial, m.startfreq, m.stopfreq));
        for (int q = 0; q < kQuantityCount; ++q)
            if (v[q])
                values[q].push_back(*v[q]);
        traces.push_back(levels(trial));
    }

    for (int q = 0; q < kQuantityCount; ++q) {
        SCOPED_TRACE(quantityInfo()[q].name);
        std::vector<double> v = values[q];
        const Stats& got = r.stats[q];
        ASSERT_EQ(got.count, static_cast<int>(v.size()));
        if (v.empty())
            continue;
        std::sort(v.begin(), v.end());
        double sum = 0;
        for (double x : v)
            sum += x;
        const double mean = sum / v.size();
        double squares = 0;
        for (double x : v)
            squares += (x - mean) * (x - mean);
        const double sd = std::sqrt(squares / (v.size() - 1));
        // Positions 9.95, 99.5 and 189.05 among the 200 sorted values.
        const double p5 = v[9] + 0.95 * (v[10] - v[9]);
        const double median = (v[99] + v[100]) / 2;
        const double p95 = v[189] + 0.05 * (v[190] - v[189]);
        // The two searches agree to about 1e-7 of the span, so the figures do too.
        const double tol = 1e-6 * std::max(1.0, std::abs(mean));
        EXPECT_NEAR(got.mean, mean, tol);
        EXPECT_NEAR(got.sd, sd, tol);
        EXPECT_NEAR(got.min, v.front(), tol);
        EXPECT_NEAR(got.p5, p5, tol);
        EXPECT_NEAR(got.median, median, tol);
        EXPECT_NEAR(got.p95, p95, tol);
        EXPECT_NEAR(got.max, v.back(), tol);
    }

    // The sweep's levels are the engine's to the bit, so the envelope is exact.
    ASSERT_EQ(r.envelope.size(), static_cast<std::size_t>(kSweepPoints));
    for (int i = 0; i < kSweepPoints; ++i) {
        std::vector<double> at;
        for (const auto& trace : traces)
            at.push_back(trace[i]);
        std::sort(at.begin(), at.end());
        const EnvelopePoint& e = r.envelope[i];
        ASSERT_EQ(e.min, at.front()) << i;
        ASSERT_EQ(e.max, at.back()) << i;
        ASSERT_EQ(e.p5, percentile(at, 5)) << i;
        ASSERT_EQ(e.p95, percentile(at, 95)) << i;
        for (const auto& trace : traces)
            ASSERT_TRUE(e.min <= trace[i] && trace[i] <= e.max) << i;
    }
}

TEST(Tolerance, PercentilesAndSpread)
{
    struct Case {
        std::vector<double> values;
        double p5, median, p95, sd;
    };
    const Case cases[] = {
        {{7}, 7, 7, 7, 0},
        {{2, 1}, 1.05, 1.5, 1.95, std::sqrt(0.5)},
        {{5, 4, 3, 2, 1}, 1.2, 3, 4.8, std::sqrt(2.5)},
        {{2, 4, 4, 4, 5, 5, 7, 9}, 2.7, 4.5, 8.3, std::sqrt(32.0 / 7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values.size());
        const Stats s = summarize(c.values);
        EXPECT_DOUBLE_EQ(s.p5, c.p5);
        EXPECT_DOUBLE_EQ(s.median, c.median);
        EXPECT_DOUBLE_EQ(s.p95, c.p95);
        EXPECT_DOUBLE_EQ(s.sd, c.sd);
        EXPECT_EQ(s.min, *std::min_element(c.values.begin(), c.values.end()));
        EXPECT_EQ(s.max, *std::max_element(c.values.begin(), c.values.end()));
    }
    EXPECT_EQ(summarize({}).count, 0);
}

TEST(Tolerance, EachPartMovesWithinItsSpreadAndDuplicatesFollowTheirEntry)
{
    // 1 crystal, 2 capacitor, 3 inductor, 4 resistor; 5 and 6 name the capacitor, 7 and 8 the
    // resistor, 9 the inductor.
    Circuit m = ladder({{"xtl", "ser", 100},
                      {"cap", "par", 200},
                      {"ind", "ser", 1000},
                      {"res", "ser", 30},
                      {"duc", "par", 2},
                      {"dul", "par", 2},
                      {"duc", "par", 4},
                      {"duc", "ser", 4},
                      {"dul", "par", 3}});
    m.crystalflag = 1;
    m.xtalfreq = 9, m.xtallm = 0.015, m.xtalcp = 3.5, m.xtalqx = 90000;
    Settings s = spread(1, 80, 5, 10);
    s.spread = CrystalSpread::Uniform;
    double sum = 0, squares = 0;
    constexpr int kTrials = 4000;
    for (int t = 0; t < kTrials; ++t) {
        const Circuit x = trialCircuit(m, s, t);
        const double xtal = x.part(1).partvalue, cap = x.part(2).partvalue, ind = x.part(3).partvalue;
        ASSERT_TRUE(xtal >= 20 && xtal < 180) << t;
        ASSERT_TRUE(cap >= 190 && cap < 210) << t;
        ASSERT_TRUE(ind >= 900 && ind < 1100) << t;
        EXPECT_EQ(x.part(4).partvalue, 30);
        EXPECT_EQ(x.part(5).partvalue, cap);
        EXPECT_EQ(x.part(6).partvalue, cap);  // a duplicate inductor follows the capacitor it names
        EXPECT_EQ(x.part(9).partvalue, ind);
        // Two duplicate capacitors naming the resistor share one draw.
        EXPECT_EQ(x.part(7).partvalue, x.part(8).partvalue);
        ASSERT_TRUE(x.part(7).partvalue >= 28.5 && x.part(7).partvalue < 31.5) << t;
        EXPECT_EQ(x.part(5).partcode, kCap);
        EXPECT_EQ(x.part(9).partcode, kInd);
        EXPECT_EQ(x.part(8).partconn, "ser");
        sum += xtal - 100;
        squares += (xtal - 100) * (xtal - 100);
    }
    // Uniform within +-80 Hz: mean 0, standard deviation 80 / sqrt 3.
    EXPECT_NEAR(sum / kTrials, 0, 3);
    EXPECT_NEAR(std::sqrt(squares / kTrials), 80 / std::sqrt(3.0), 2);

    s.spread = CrystalSpread::Normal;
    sum = squares = 0;
    int beyondTwoSigma = 0;
    for (int t = 0; t < kTrials; ++t) {
        const double d = trialCircuit(m, s, t).part(1).partvalue - 100;
        sum += d;
        squares += d * d;
        beyondTwoSigma += std::abs(d) > 160;
    }
    EXPECT_NEAR(sum / kTrials, 0, 4);
    EXPECT_NEAR(std::sqrt(squares / kTrials), 80, 3);
    EXPECT_NEAR(beyondTwoSigma / double(kTrials), 0.0455, 0.012);
}

TEST(Tolerance, BadSettingsAreRefusedBeforeAnythingRuns)
{
    const Circuit crystal = laddertest::fullCrystalLadder();
    const Circuit lc = Circuit::startup();
    struct Case {
        Settings s;
        const Circuit* m;
        const char* message;
    };
    const char* trials = "The number of trials must be from 1 to 100000.";
    const char* crystalSpread = "The crystal spread must be from 0 to 100000 Hz.";
    const Case cases[] = {
        {spread(0, 10, 0, 0), &crystal, trials},
        {spread(100001, 10, 0, 0), &crystal, trials},
        {spread(-5, 10, 0, 0), &crystal, trials},
        {spread(10, -1, 0, 0), &crystal, crystalSpread},
        {spread(10, 1e6, 0, 0), &crystal, crystalSpread},
        {spread(10, std::nan(""), 0, 0), &crystal, crystalSpread},
        {spread(10, 0, -1, 0), &lc, "The capacitor tolerance must be from 0 to 50 %."},
        {spread(10, 0, 60, 0), &lc, "The capacitor tolerance must be from 0 to 50 %."},
        {spread(10, 0, 0, 50.5), &lc, "The inductor tolerance must be from 0 to 50 %."},
        {spread(10, 20, 1, 1), &lc, "The circuit has no crystals to spread."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        bool progressed = false;
        try {
            run(*c.m, c.m->startfreq, c.m->stopfreq, c.s, {}, [&](int, int) { progressed = true; });
            ADD_FAILURE() << "ran";
        } catch (const AppError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_FALSE(progressed);
    }
    // The largest run and spreads are accepted.
    EXPECT_NO_THROW(checkSettings(spread(100000, 100000, 50, 50), crystal));
    EXPECT_NO_THROW(checkSettings(spread(1, 0, 50, 50), lc));
}

TEST(Tolerance, AFailedTrialIsCountedAndTheRunGoesOn)
{
    // A capacitor so large that 6 % more is beyond a double: those trials meet an invalid
    // operation in the walk, the others solve (at these very low frequencies, where
    // omega C stays finite).
    Circuit m = ladder({{"cap", "par", 1.7e308}});
    m.startfreq = 1e-7;
    m.stopfreq = 1.5e-7;
    const Result r = runOn(m, spread(100, 0, 10, 0));
    EXPECT_GT(r.failed, 5);
    EXPECT_LT(r.failed, 50);
    int missing = 0;
    for (const auto& trial : r.trials)
        missing += !trial;
    EXPECT_EQ(missing, r.failed);
    ASSERT_GE(r.firstFailedTrial, 0);
    EXPECT_FALSE(r.trials[r.firstFailedTrial]);
    for (int t = 0; t < r.firstFailedTrial; ++t)
        EXPECT_TRUE(r.trials[t]);
    EXPECT_EQ(r.firstFailure, "Invalid floating point operation");
    EXPECT_EQ(r.stats[InsertionLoss].count, 100 - r.failed);
    EXPECT_EQ(failureNote(r), std::to_string(r.failed) + " of 100 trials failed; the first, trial " +
                                  std::to_string(r.firstFailedTrial + 1) + ": Invalid floating point operation");
    EXPECT_EQ(yieldOf(r, {}).passed, 100 - r.failed);
}

TEST(Tolerance, YieldCountsTrialsWithinEveryLimit)
{
    const Circuit m = laddertest::fullCrystalLadder();
    const Result r = runOn(m, spread(60, 60, 1, 1, 5));
    const double nominalWidth = *r.nominal.bands[0].width;
    auto count = [&](auto&& pass) {
        int n = 0;
        for (const auto& t : r.trials)
            n += t && pass(*t);
        return n;
    };
    EXPECT_EQ(yieldOf(r, {}).passed, 60);
    EXPECT_EQ(yieldOf(r, {}).trials, 60);
    Limits bw;
    bw.bandwidthPercent = 10;
    EXPECT_EQ(yieldOf(r, bw).passed, count([&](const TrialValues& v) {
                  return v[Bw3] && std::abs(*v[Bw3] - nominalWidth) <= 0.1 * nominalWidth;
              }));
    Limits all = bw;
    all.maxRippleDb = 2.5;
    all.maxLossDb = 9.8;
    const Yield y = yieldOf(r, all);
    EXPECT_EQ(y.passed, count([&](const TrialValues& v) {
                  return v[Bw3] && std::abs(*v[Bw3] - nominalWidth) <= 0.1 * nominalWidth && *v[Ripple] <= 2.5 &&
                         *v[InsertionLoss] <= 9.8;
              }));
    EXPECT_GT(y.passed, 0);
    EXPECT_LT(y.passed, 60);

    Limits negative;
    negative.maxLossDb = -1;
    EXPECT_THROW(yieldOf(r, negative), AppError);
}

TEST(Tolerance, CancelStopsTheRunAndProgressCounts)
{
    const Circuit m = laddertest::fullCrystalLadder();
    std::vector<int> seen;
    std::mutex lock;
    const Result whole = run(m, m.startfreq, m.stopfreq, spread(80, 30, 1, 1), {}, [&](int done, int total) {
        const std::lock_guard guard(lock);
        EXPECT_EQ(total, 80);
        seen.push_back(done);
    });
    EXPECT_FALSE(whole.cancelled);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(*std::max_element(seen.begin(), seen.end()), 80);

    std::stop_source stop;
    std::atomic<int> calls = 0;
    const Result cut = run(m, m.startfreq, m.stopfreq, spread(100000, 30, 1, 1), stop.get_token(),
                           [&](int, int) {
                               ++calls;
                               stop.request_stop();
                           });
    EXPECT_TRUE(cut.cancelled);
    EXPECT_TRUE(cut.envelope.empty());
    EXPECT_LE(calls.load(), 4);
}

TEST(Tolerance, CsvTexts)
{
    const Circuit m = laddertest::fullCrystalLadder();
    const Result r = runOn(m, spread(3, 10, 0, 0));
    const std::string stats = statisticsCsv(r);
    EXPECT_EQ(stats.substr(0, stats.find('\n')), "quantity,mean,sd,min,p5,median,p95,max");
    EXPECT_EQ(std::count(stats.begin(), stats.end(), '\n'), 1 + kQuantityCount);
    EXPECT_NE(stats.find("\nbw_3,"), std::string::npos);
    const std::string env = envelopeCsv(r);
    EXPECT_EQ(env.substr(0, env.find('\n')), "frequency,min_db,p5_db,p95_db,max_db");
    EXPECT_EQ(std::count(env.begin(), env.end(), '\n'), 1 + kSweepPoints);

    // A low-pass has no lower band edge: no trial has a bandwidth.
    Circuit lowPass = ladder({{"cap", "par", 300}, {"ind", "ser", 800}, {"cap", "par", 300}});
    lowPass.startfreq = 0, lowPass.stopfreq = 30;
    const std::string none = statisticsCsv(runOn(lowPass, spread(2, 0, 1, 1)));
    EXPECT_NE(none.find("\nbw_3,none,none,none,none,none,none,none\n"), std::string::npos) << none;
}

}  // namespace
