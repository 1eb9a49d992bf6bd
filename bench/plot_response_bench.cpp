// One tune step as the user meets it with the Response window open: the Up click's plot
// of the 80-part crystal ladder in the real main window (offscreen), the readouts, the
// group delay over the plot's range, the window's table, chart and repaint.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "analyser/core/response_report.h"
#include "bench/sorvel_bench_setup.h"
#include "common/numtext.h"
#include "tests/support/ladder_support.h"

namespace {

void TuneStepWithResponseWindow(benchmark::State& state)
{
    SorvelApp sorvel;
    std::string message;
    setUpTuneSteps(sorvel, message);
    sorvel.showResponse();
    bool up = true;
    for (auto _ : state) {
        sorvel.command(up ? &Analyser::tuneUp : &Analyser::tuneDown);
        QApplication::processEvents();  // the repaint of both windows
        up = !up;
    }
    if (!message.empty())
        state.SkipWithError(message.c_str());
}
BENCHMARK(TuneStepWithResponseWindow)->Unit(benchmark::kMillisecond);

// The same step without the Response window, for comparison.
void TuneStepPlotOnly(benchmark::State& state)
{
    SorvelApp sorvel;
    std::string message;
    setUpTuneSteps(sorvel, message);
    bool up = true;
    for (auto _ : state) {
        sorvel.command(up ? &Analyser::tuneUp : &Analyser::tuneDown);
        QApplication::processEvents();
        up = !up;
    }
    if (!message.empty())
        state.SkipWithError(message.c_str());
}
BENCHMARK(TuneStepPlotOnly)->Unit(benchmark::kMillisecond);

// The window's numbers alone: readouts on the engine and the 1000-point delay.
void ResponseReportAlone(benchmark::State& state)
{
    const Circuit m = laddertest::fullCrystalLadder();
    for (auto _ : state)
        benchmark::DoNotOptimize(makeResponseReport(m, (m.startfreq + m.stopfreq) / 2, nullptr));
}
BENCHMARK(ResponseReportAlone)->Unit(benchmark::kMillisecond);

// Its largest part: the readouts on the engine.
void ReadoutsAlone(benchmark::State& state)
{
    const Circuit m = laddertest::fullCrystalLadder();
    for (auto _ : state)
        benchmark::DoNotOptimize(measureResponse(m, m.startfreq, m.stopfreq));
}
BENCHMARK(ReadoutsAlone)->Unit(benchmark::kMillisecond);

}  // namespace
