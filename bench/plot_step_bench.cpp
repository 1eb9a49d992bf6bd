// A tune step of the 80-part crystal ladder with the Response window open, its time plot
// hidden behind the delay plot and shown: the Up click's plot in the real main window
// (offscreen), the readouts, the delay, the step when it shows, and the repaint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>

#include "analyser/app/step_chart.h"
#include "analyser/core/step_view.h"
#include "bench/sorvel_bench_setup.h"
#include "common/numtext.h"
#include "ladder/readouts/readouts.h"
#include "tests/support/ladder_support.h"

namespace {

void tuneSteps(benchmark::State& state, bool stepShown)
{
    SorvelApp sorvel;
    std::string message;
    setUpTuneSteps(sorvel, message);
    sorvel.showResponse();
    ResponseWindow& r = sorvel.responseWindow();
    if (stepShown)
        r.plotTabs()->setCurrentWidget(r.stepChart());
    QApplication::processEvents();
    if (r.stepShown() != stepShown)
        state.SkipWithError("the time plot is not as asked");
    bool up = true;
    for (auto _ : state) {
        sorvel.command(up ? &Analyser::tuneUp : &Analyser::tuneDown);
        QApplication::processEvents();  // the repaint of both windows
        up = !up;
    }
    if (!message.empty())
        state.SkipWithError(message.c_str());
}

void TuneStepTimePlotHidden(benchmark::State& state) { tuneSteps(state, false); }
BENCHMARK(TuneStepTimePlotHidden)->Unit(benchmark::kMillisecond);

void TuneStepTimePlotShown(benchmark::State& state) { tuneSteps(state, true); }
BENCHMARK(TuneStepTimePlotShown)->Unit(benchmark::kMillisecond);

// The time plot's numbers alone, given the readouts the window already has.
void StepViewAlone(benchmark::State& state)
{
    const Circuit m = laddertest::fullCrystalLadder();
    const Readouts r = measureResponse(m, m.startfreq, m.stopfreq);
    for (auto _ : state)
        benchmark::DoNotOptimize(makeStepView(m, r));
}
BENCHMARK(StepViewAlone)->Unit(benchmark::kMillisecond);

}  // namespace
