// One plot's worth of analysis: 1000 solutions of a full 80-part ladder.

#include <benchmark/benchmark.h>

#include <array>

#include "analyser.h"
#include "engine.h"
#include "model.h"

namespace {

// A crystal ladder filling the table: shunt capacitors between series crystals, with
// series capacitors, shunt inductors and duplicates mixed in, and the bridge last.
Model fullCrystalLadder()
{
    Model m = Model::startup();
    m.resetBeforeRead();
    m.crystalflag = 1;
    m.frequnit = "Hz";
    m.xtalfreq = 9.0;
    m.xtallm = 0.015;
    m.xtalcp = 3.5;
    m.xtalqx = 90000;
    m.startfreq = -5000;
    m.stopfreq = 5000;
    m.partcount = kMaxParts;
    for (int n = 1; n < kMaxParts; ++n) {
        switch (n % 5) {
        case 1: m.setKind(n, "cap"); m.part(n).partconn = "par"; m.part(n).partvalue = 40 + n; break;
        case 2: m.setKind(n, "xtl"); m.part(n).partconn = "ser"; m.part(n).partvalue = 10.0 * n; break;
        case 3: m.setKind(n, "cap"); m.part(n).partconn = "ser"; m.part(n).partvalue = 200; break;
        case 4: m.setKind(n, "ind"); m.part(n).partconn = "par"; m.part(n).partvalue = 5000; break;
        default: m.setKind(n, "duc"); m.part(n).partconn = "par"; m.part(n).partvalue = n - 4; break;
        }
    }
    m.setKind(kMaxParts, "rlb");
    return m;
}

// An 80-part LC ladder alternating shunt capacitors and series inductors, the usual
// low-pass shape: one change of connection, and so one turn-over, at every part.
Model fullLcLadder()
{
    Model m = Model::startup();
    m.resetBeforeRead();
    m.partcount = kMaxParts;
    for (int n = 1; n < kMaxParts; ++n) {
        m.setKind(n, n % 2 ? "cap" : "ind");
        m.part(n).partconn = n % 2 ? "par" : "ser";
        m.part(n).partvalue = n % 2 ? 120 : 330;
    }
    m.setKind(kMaxParts, "rlb");
    return m;
}

void sweep1000(benchmark::State& state, Model (*make)())
{
    const Model m = make();
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    for (auto _ : state) {
        solveSweep(m, freqs.data(), kSweepPoints,
                    [](int, const Solution& s) { benchmark::DoNotOptimize(s); });
    }
    state.SetItemsProcessed(state.iterations() * kSweepPoints);
}

// The same sweep one frequency at a time, for comparison.
void sweep1000OneByOne(benchmark::State& state, Model (*make)())
{
    const Model m = make();
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    for (auto _ : state) {
        for (double f : freqs)
            benchmark::DoNotOptimize(solveLadder(m, f));
    }
    state.SetItemsProcessed(state.iterations() * kSweepPoints);
}
BENCHMARK_CAPTURE(sweep1000OneByOne, crystal_ladder, fullCrystalLadder)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sweep1000, crystal_ladder, fullCrystalLadder)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(sweep1000, lc_ladder, fullLcLadder)->Unit(benchmark::kMicrosecond);

}  // namespace
