// The Plot command as the user meets it: the real main window (offscreen), an 80-part
// ladder, 1000 solutions and the drawing into the window's picture, then the update.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "analyser/app/sorvel_app.h"

namespace {

// A long ladder from the load end: 79 alternating shunt capacitors and series inductors,
// then the return-loss bridge at the source end.
void eightyParts(Circuit& m)
{
    m.partcount = kMaxParts;
    for (int n = 1; n < kMaxParts; ++n) {
        const bool shunt = n % 2 == 1;
        m.setKind(n, shunt ? "cap" : "ind");
        m.part(n).partconn = shunt ? "par" : "ser";
        m.part(n).partvalue = shunt ? 330 : 820;
    }
    m.setKind(kMaxParts, "rlb");
    m.part(kMaxParts).partconn = "ser";
    m.part(kMaxParts).partvalue = 0;
}

void Plot80Parts(benchmark::State& state)
{
    SorvelApp sorvel;
    std::string message;
    sorvel.port().showMessage = [&message](const std::string& text) { message = text; };
    eightyParts(sorvel.analyser().circuit);
    QtWindowPort& port = sorvel.port();
    port.setText(Field::StartFreq, "0");
    port.setText(Field::StopFreq, "30");
    port.setText(Field::CursorFreq, "12.5");  // with the cursor, as the user would have it
    for (auto _ : state)
        sorvel.command(&Analyser::plot);
    if (!message.empty())
        state.SkipWithError(message.c_str());
    benchmark::DoNotOptimize(sorvel.analyser().tracey21.data());
}
BENCHMARK(Plot80Parts)->Unit(benchmark::kMillisecond);

}  // namespace
