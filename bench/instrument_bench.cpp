// Sorvel at the instrument: the work one finished 201-point sweep costs (parsing the two
// scan_bin segments, averaging, the measurement's redraw and the Response window), and
// continuous 101-point sweeps against a simulated NanoVNA that answers at once.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "analyser/app/sorvel_app.h"
#include "analyser/instrument/link/instrument_link.h"
#include "analyser/instrument/protocol/nanovna_shell.h"
#include "analyser/instrument/sim/simulator.h"
#include "bench/sorvel_bench_setup.h"
#include "common/numtext.h"
#include "ladder/network.h"
#include "ladder/twoport.h"
#include "tests/support/ladder_support.h"

namespace {

// The exact bytes a NanoVNA sends for each segment of the plan.
std::vector<std::string> binaryReplies(const Circuit& m, const FrequencyPlan& plan)
{
    std::vector<std::string> replies;
    for (const Segment& s : plan.segments) {
        std::string t = nanovna::scanCommand(s, true) + "\r\n";
        auto u16 = [&](unsigned v) { t += char(v & 0xff), t += char(v >> 8); };
        u16(135);
        u16(s.count);
        for (int i = 0; i < s.count; ++i) {
            const std::uint32_t f = static_cast<std::uint32_t>(plan.hz[s.first + i]);
            const TwoPort p = solveTwoPort(m, circuitFrequency(m, f));
            const float v[4] = {float(p.s11.real()), float(p.s11.imag()), float(p.s21.real()), float(p.s21.imag())};
            t.append(reinterpret_cast<const char*>(&f), 4);
            t.append(reinterpret_cast<const char*>(v), 16);
        }
        replies.push_back(t + "ch> ");
    }
    return replies;
}

void FinishedSweep201(benchmark::State& state)
{
    SorvelApp sorvel;
    std::string message;
    loadFullCrystalLadder(sorvel, message);
    const Circuit& m = sorvel.analyser().circuit;
    sorvel.showResponse();
    const FrequencyPlan plan = planSweep(absoluteHz(m, m.startfreq), absoluteHz(m, m.stopfreq), 201, 101);
    const auto replies = binaryReplies(m, plan);
    auto protocol = makeProtocol(InstrumentKind::NanoVna);
    protocol->beginIdentify();
    protocol->received("ch> ");
    protocol->received("version\r\n1.0\r\nch> ");
    protocol->received("help\r\nCommands: scan scan_bin\r\nch> ");
    for (auto _ : state) {
        protocol->beginSweep(plan);
        for (const std::string& r : replies)
            protocol->received(r);
        SweepAverage average;
        average.add(protocol->takeSweep());
        sorvel.analyser().measurement = sweepNetwork(average.mean());
        sorvel.command(&Analyser::plotResponse);
        QApplication::processEvents();  // the repaint of both windows
    }
    if (!message.empty())
        state.SkipWithError(message.c_str());
}
BENCHMARK(FinishedSweep201)->Unit(benchmark::kMillisecond);

// Sweeps a second, as the link sweeps again the moment one finishes.
void ContinuousSweeps101(benchmark::State& state)
{
    const Circuit m = laddertest::fullCrystalLadder();
    auto sim = startNanoVnaSimulator(m);
    InstrumentLink link({InstrumentKind::NanoVna, QString::fromStdString(sim->address()), {}, 0});
    const FrequencyPlan plan = planSweep(absoluteHz(m, m.startfreq), absoluteHz(m, m.stopfreq), 101, 101);
    bool ready = false, failed = false;
    link.onOpened = [&](const QString&) { ready = true; };
    link.onSweep = [&](const SweepData&) { ready = true; };
    link.onFailed = [&](const QString&) { failed = ready = true; };
    link.open();
    while (!ready)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    for (auto _ : state) {
        ready = false;
        link.sweep(plan);
        while (!ready)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (failed)
        state.SkipWithError("the link failed");
    state.counters["sweeps_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(ContinuousSweeps101)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
