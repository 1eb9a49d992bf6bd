// The fit of an eight-crystal design to a measurement of 401 points with the default free set
// (8 offsets and 9 shunt capacitors), the crystals moved by up to a third of the bandwidth and
// the capacitors by up to 10 %: the goal is at most 0.5 s. Beside it, one Jacobian's batch of
// 18 circuits, on one thread and on two.

#include <benchmark/benchmark.h>

#include <string>

#include "ladder/circuit_file.h"
#include "ladder/fit/batch_response.h"
#include "ladder/fit/circuit_fit.h"
#include "tests/support/fit_support.h"

namespace {

Circuit design() { return readCircuitFile(std::string(FIT_DESIGNS_DIR) + "/crystal-8-pole.cir"); }

void eightCrystalFit(benchmark::State& state)
{
    const Circuit m = design();
    const fit::Target t =
        fit::targetFrom(fittest::measurementOf(fittest::built(m, 800, 0.1, 2), 401, {}, 7), m, m.startfreq, m.stopfreq);
    fit::Options o;
    o.threads = static_cast<int>(state.range(0));
    int iterations = 0;
    for (auto _ : state) {
        const fit::Result r = fit::fitCircuit(m, t, fit::defaultFreeSet(m), o);
        iterations = r.iterations;
        benchmark::DoNotOptimize(r.rmsAfterDb);
    }
    state.counters["lm_iterations"] = iterations;
}
BENCHMARK(eightCrystalFit)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void jacobianBatch(benchmark::State& state)
{
    const Circuit m = design();
    std::vector<double> freqs;
    for (int i = 0; i < 401; ++i)
        freqs.push_back(m.startfreq + (m.stopfreq - m.startfreq) * i / 400);
    const std::vector<Circuit> circuits(18, m);
    std::vector<fit::ModelResponse> out;
    for (auto _ : state)
        fit::solveCircuits(circuits, freqs, out, static_cast<int>(state.range(0)));
    state.SetItemsProcessed(state.iterations() * 18 * 401);
}
BENCHMARK(jacobianBatch)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
