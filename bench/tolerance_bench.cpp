// A tolerance run of the 80-part crystal ladder: 1000 trials of 1000 points with readouts,
// and the two halves of a trial on their own, one thread, to show where the time goes.

#include <benchmark/benchmark.h>

#include "tests/support/ladder_support.h"
#include "ladder/readouts/sweep_readouts.h"
#include "ladder/tolerance.h"

namespace {

tolerance::Settings batch()
{
    tolerance::Settings s;
    s.trials = 1000;
    s.crystalHz = 50;
    s.capPercent = 2;
    s.indPercent = 2;
    return s;
}

void toleranceRun(benchmark::State& state)
{
    const Circuit m = laddertest::fullCrystalLadder();
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(tolerance::run(m, m.startfreq, m.stopfreq, batch(), {}, {}, threads));
    state.SetItemsProcessed(state.iterations() * batch().trials);
}
BENCHMARK(toleranceRun)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// One trial's circuit and sweep (1001 points, the readouts' grid).
void trialSweep(benchmark::State& state)
{
    Circuit m = laddertest::fullCrystalLadder();
    addInputBridge(m);
    SweptLevels sweep = readoutSweep(m.startfreq, m.stopfreq);
    int trial = 0;
    for (auto _ : state) {
        const Circuit x = tolerance::trialCircuit(m, batch(), trial++);
        solveLevels(x, sweep);
        benchmark::DoNotOptimize(sweep.level.data());
    }
}
BENCHMARK(trialSweep)->Unit(benchmark::kMicrosecond);

// One trial's readouts from its sweep.
void trialReadouts(benchmark::State& state)
{
    Circuit m = laddertest::fullCrystalLadder();
    const bool inputS11 = addInputBridge(m);
    std::vector<Circuit> trials;
    std::vector<SweptLevels> sweeps;
    for (int t = 0; t < 64; ++t) {
        trials.push_back(tolerance::trialCircuit(m, batch(), t));
        sweeps.push_back(readoutSweep(m.startfreq, m.stopfreq));
        solveLevels(trials.back(), sweeps.back());
    }
    int t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(readoutsFromSweep(trials[t], sweeps[t], inputS11));
        t = (t + 1) % 64;
    }
}
BENCHMARK(trialReadouts)->Unit(benchmark::kMicrosecond);

// The full measurement on the same circuit, for comparison.
void fullMeasurement(benchmark::State& state)
{
    const Circuit m = laddertest::fullCrystalLadder();
    for (auto _ : state)
        benchmark::DoNotOptimize(measureResponse(m, m.startfreq, m.stopfreq));
}
BENCHMARK(fullMeasurement)->Unit(benchmark::kMicrosecond);

}  // namespace
