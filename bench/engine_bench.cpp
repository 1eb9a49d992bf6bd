// One plot's worth of analysis: 1000 solutions of a full 80-part ladder.

#include <benchmark/benchmark.h>

#include <array>

#include "ladder/sweep_grid.h"
#include "ladder/engine.h"
#include "tests/support/ladder_support.h"
#include "ladder/twoport.h"
#include "ladder/circuit.h"

namespace {

using laddertest::fullCrystalLadder;
using laddertest::fullLcLadder;

void sweep1000(benchmark::State& state, Circuit (*make)())
{
    const Circuit m = make();
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    for (auto _ : state) {
        solveSweep(m, freqs.data(), kSweepPoints,
                    [](int, const Solution& s) { benchmark::DoNotOptimize(s); });
    }
    state.SetItemsProcessed(state.iterations() * kSweepPoints);
}

// The same sweep one frequency at a time, for comparison.
void sweep1000OneByOne(benchmark::State& state, Circuit (*make)())
{
    const Circuit m = make();
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    for (auto _ : state) {
        for (double f : freqs)
            benchmark::DoNotOptimize(solveLadder(m, f));
    }
    state.SetItemsProcessed(state.iterations() * kSweepPoints);
}
// Levels, complex S-parameters and group delay at every point, as `--delay` and the
// readouts need them.
void sweep1000WithTwoPort(benchmark::State& state, Circuit (*make)())
{
    const Circuit m = make();
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    for (auto _ : state) {
        solveResponseSweep(m, freqs.data(), kSweepPoints,
                           [](int, const Response& r) { benchmark::DoNotOptimize(r); });
    }
    state.SetItemsProcessed(state.iterations() * kSweepPoints);
}

// The same, one frequency at a time, for comparison.
void sweep1000WithTwoPortOneByOne(benchmark::State& state, Circuit (*make)())
{
    const Circuit m = make();
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    for (auto _ : state) {
        for (double f : freqs)
            benchmark::DoNotOptimize(solveResponse(m, f));
    }
    state.SetItemsProcessed(state.iterations() * kSweepPoints);
}
BENCHMARK_CAPTURE(sweep1000WithTwoPort, crystal_ladder, fullCrystalLadder)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sweep1000WithTwoPort, lc_ladder, fullLcLadder)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sweep1000WithTwoPortOneByOne, crystal_ladder, fullCrystalLadder)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sweep1000OneByOne, crystal_ladder, fullCrystalLadder)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sweep1000, crystal_ladder, fullCrystalLadder)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sweep1000, lc_ladder, fullLcLadder)->Unit(benchmark::kMicrosecond);

}  // namespace
