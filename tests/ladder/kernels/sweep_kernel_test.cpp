#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analyser/core/analyser.h"
#include "ladder/engine.h"
#include "common/errors.h"
#include "tests/support/ladder_support.h"
#include "ladder/kernels/sweep_kernel.h"

namespace {

using laddertest::sameBits;
using Outcome = laddertest::Outcome<Solution>;
const auto outcome = [](auto&& solve) { return laddertest::outcome<Solution>(solve); };

void expectSame(const Outcome& sweep, const Outcome& walk)
{
    ASSERT_EQ(sweep.results.size(), walk.results.size());
    EXPECT_EQ(sweep.error, walk.error);
    for (std::size_t i = 0; i < walk.results.size(); ++i) {
        ASSERT_TRUE(sameBits(sweep.results[i].s21db, walk.results[i].s21db)) << i;
        ASSERT_TRUE(sameBits(sweep.results[i].s11db, walk.results[i].s11db)) << i;
    }
}

void compareSweeps(const Circuit& m)
{
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    const Outcome sweep = outcome([&](std::vector<Solution>& out) {
        solveSweep(m, freqs.data(), kSweepPoints, [&](int i, const Solution& s) {
            ASSERT_EQ(i, static_cast<int>(out.size()));
            out.push_back(s);
        });
    });
    const Outcome walk = outcome([&](std::vector<Solution>& out) {
        for (double f : freqs)
            out.push_back(solveLadder(m, f));
    });
    expectSame(sweep, walk);
}

TEST(SweepKernel, BenchmarkLaddersBitForBit)
{
    for (const Circuit& m : {laddertest::fullCrystalLadder(), laddertest::fullLcLadder(), Circuit::startup()}) {
        const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
        const engine::SweepPlan plan(m);
        Solution out[engine::SweepPlan::kBlock];
        // The kernel itself finishes every point of these; nothing is left to the walk.
        EXPECT_EQ(plan.solve(freqs.data(), engine::SweepPlan::kBlock, out), engine::SweepPlan::kBlock);
        compareSweeps(m);
    }
}

// Random ladders of every shape, a third of them made to fail somewhere: the same bits,
// the same failing frequency, the same message.
TEST(SweepKernel, RandomLaddersBitForBitAndFailingAtTheSamePoint)
{
    std::mt19937_64 rng(2024);
    int failed = 0, kernelPoints = 0, points = 0;
    for (int i = 0; i < 3000; ++i) {
        const Circuit m = laddertest::randomLadder(rng, i % 3 == 0);
        SCOPED_TRACE(i);
        compareSweeps(m);
        if (::testing::Test::HasFatalFailure())
            return;
        try {
            const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
            solveLadder(m, freqs[0]);
            const engine::SweepPlan plan(m);
            Solution out[engine::SweepPlan::kBlock];
            kernelPoints += plan.solve(freqs.data(), 100, out);
            points += 100;
        } catch (const FloatError&) {
            ++failed;
        }
    }
    EXPECT_GT(failed, 300);
    // The kernel, not the fallback, does most of the work.
    EXPECT_GT(kernelPoints, points * 8 / 10);
}

}  // namespace
