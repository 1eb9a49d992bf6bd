// The step response of the 80-part benchmark ladder: the solves of the spectrum and the
// inverse FFT, with and without the readouts that locate the centre.
#include <benchmark/benchmark.h>

#include "ladder/readouts/readouts.h"
#include "ladder/step/step_response.h"
#include "tests/support/ladder_support.h"

namespace {

// As the command line makes it: the readouts over the sweep locate the centre first.
void StepResponseWhole(benchmark::State& state)
{
    const Circuit m = laddertest::fullCrystalLadder();
    for (auto _ : state)
        benchmark::DoNotOptimize(stepReadouts(stepResponse(m)));
}
BENCHMARK(StepResponseWhole)->Unit(benchmark::kMillisecond);

// As the Response window makes it: the readouts it shows already hold the centre.
void StepResponseGivenReadouts(benchmark::State& state)
{
    const Circuit m = laddertest::fullCrystalLadder();
    const Readouts r = measureResponse(m, m.startfreq, m.stopfreq);
    for (auto _ : state)
        benchmark::DoNotOptimize(stepReadouts(stepResponse(m, r)));
    const StepResponse s = stepResponse(m, r);
    state.counters["solved"] = s.grid.solved;
    state.counters["fft"] = s.grid.fftSize;
}
BENCHMARK(StepResponseGivenReadouts)->Unit(benchmark::kMillisecond);

// The 80-part LC low-pass.
void StepResponseLcLadder(benchmark::State& state)
{
    Circuit m = laddertest::fullLcLadder();
    m.startfreq = 0, m.stopfreq = 60;
    for (auto _ : state)
        benchmark::DoNotOptimize(stepReadouts(stepResponse(m)));
    const StepResponse s = stepResponse(m);
    state.counters["solved"] = s.grid.solved;
    state.counters["fft"] = s.grid.fftSize;
}
BENCHMARK(StepResponseLcLadder)->Unit(benchmark::kMillisecond);

}  // namespace
