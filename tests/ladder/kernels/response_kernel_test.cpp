#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analyser/core/analyser.h"
#include "common/errors.h"
#include "tests/support/ladder_support.h"
#include "ladder/twoport.h"

namespace {

using laddertest::ladder;
using laddertest::sameBits;
using Outcome = laddertest::Outcome<Response>;
const auto outcome = [](auto&& solve) { return laddertest::outcome<Response>(solve); };

bool sameBits(const Response& a, const Response& b)
{
    const TwoPort &s = a.twoPort, &t = b.twoPort;
    return sameBits(a.levels.s21db, b.levels.s21db) && sameBits(a.levels.s11db, b.levels.s11db) &&
           sameBits(s.s11.real(), t.s11.real()) && sameBits(s.s11.imag(), t.s11.imag()) &&
           sameBits(s.s21.real(), t.s21.real()) && sameBits(s.s21.imag(), t.s21.imag()) &&
           sameBits(s.s22.real(), t.s22.real()) && sameBits(s.s22.imag(), t.s22.imag()) &&
           sameBits(s.delay, t.delay);
}

// The sweep against solveResponse() one frequency at a time: the same bits, the same
// failing frequency, the same message.
void compareSweeps(const Circuit& m, const double* freqs, int count)
{
    const Outcome sweep = outcome([&](std::vector<Response>& out) {
        solveResponseSweep(m, freqs, count, [&](int i, const Response& r) {
            ASSERT_EQ(i, static_cast<int>(out.size()));
            out.push_back(r);
        });
    });
    const Outcome walk = outcome([&](std::vector<Response>& out) {
        for (int i = 0; i < count; ++i)
            out.push_back(solveResponse(m, freqs[i]));
    });
    ASSERT_EQ(sweep.results.size(), walk.results.size());
    EXPECT_EQ(sweep.error, walk.error);
    for (std::size_t i = 0; i < walk.results.size(); ++i)
        ASSERT_TRUE(sameBits(sweep.results[i], walk.results[i])) << "frequency " << i;
}

void compareSweeps(const Circuit& m)
{
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    compareSweeps(m, freqs.data(), kSweepPoints);
}

// How many of the first block's frequencies the kernel finishes itself.
int kernelPoints(const Circuit& m)
{
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    constexpr int n = engine::ResponsePlan::kBlock;
    Response out[n];
    bool exact[n];
    engine::ResponsePlan(m).solve(freqs.data(), n, out, exact);
    int count = 0;
    for (bool e : exact)
        count += e;
    return count;
}

TEST(ResponseKernel, BenchmarkLaddersBitForBit)
{
    Circuit withResistors = ladder({{"res", "ser", 12}, {"cap", "par", 150}, {"ind", "ser", 400}, {"res", "par", 300},
                                  {"dur", "par", 4}, {"res", "ser", 0}, {"wir", "ser", 0}, {"ind", "par", 900}},
                                 75, 50);
    withResistors.startfreq = 1;
    withResistors.stopfreq = 40;
    for (const Circuit& m : {laddertest::fullCrystalLadder(), laddertest::fullLcLadder(), Circuit::startup(), withResistors}) {
        compareSweeps(m);
        // The kernel itself finishes every point of these; nothing is left to the walk.
        EXPECT_EQ(kernelPoints(m), engine::ResponsePlan::kBlock);
    }
}

TEST(ResponseKernel, RandomLaddersBitForBitAndFailingAtTheSamePoint)
{
    std::mt19937_64 rng(4049);
    int failed = 0, fromKernel = 0, points = 0;
    for (int i = 0; i < 3000; ++i) {
        const Circuit m = laddertest::randomLadder(rng, i % 3 == 0);
        SCOPED_TRACE(i);
        compareSweeps(m);
        if (::testing::Test::HasFatalFailure())
            return;
        try {
            solveResponse(m, sweepFrequencies(m.startfreq, m.stopfreq)[0]);
            fromKernel += kernelPoints(m);
            points += engine::ResponsePlan::kBlock;
        } catch (const FloatError&) {
            ++failed;
        }
    }
    EXPECT_GT(failed, 300);
    // The kernel, not the fallback, does most of the work.
    EXPECT_GT(fromKernel, points * 8 / 10);
}

// Where the one-frequency solve takes a path the kernel does not have, the sweep hands the
// frequency over, and the answer is still the same.
TEST(ResponseKernel, PathsLeftToTheOneFrequencySolve)
{
    // Deep in the stop band the chain matrix passes 2^500 and is rescaled: from about
    // -3000 dB down to where the levels themselves underflow, near -3240 dB.
    std::vector<laddertest::PartDef> deep;
    for (int n = 0; n < 80; ++n)
        deep.push_back(n % 2 ? laddertest::PartDef{"ind", "ser", 1e4} : laddertest::PartDef{"cap", "par", 1e4});
    const Circuit stopBand = ladder(deep);
    std::vector<double> freqs;
    for (double f = 30; f < 53; f += 0.5)
        freqs.push_back(f);
    const int count = static_cast<int>(freqs.size());
    compareSweeps(stopBand, freqs.data(), count);
    Response out[engine::ResponsePlan::kBlock];
    bool exact[engine::ResponsePlan::kBlock];
    engine::ResponsePlan(stopBand).solve(freqs.data(), count, out, exact);
    int rescaled = 0;
    for (int i = 0; i < count; ++i) {
        const double level = solveLadder(stopBand, freqs[i]).s21db;
        if (level > -2990) {
            EXPECT_TRUE(exact[i]) << freqs[i];
        }
        if (level < -3020) {
            EXPECT_FALSE(exact[i]) << freqs[i];
            ++rescaled;
        }
    }
    EXPECT_GT(rescaled, 10);

    // A capacitor so large that its susceptance is infinite adds exactly nothing in series.
    const Circuit huge = ladder({{"cap", "par", 100}, {"cap", "ser", 1e305}, {"cap", "par", 100}});
    const double some[] = {0.5, 10, 100, 1000, 5000};
    compareSweeps(huge, some, 5);
    EXPECT_LT(kernelPoints(huge), engine::ResponsePlan::kBlock);
}

// Sweeps of any length, blocks full and partial, every frequency in order.
TEST(ResponseKernel, AnyCount)
{
    const Circuit m = laddertest::fullCrystalLadder();
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    for (int count : {0, 1, 63, 64, 65, 200})
        compareSweeps(m, freqs.data(), count);
}

}  // namespace
