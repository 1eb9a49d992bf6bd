#include "analyser/core/plot_traces.h"

#include "analyser/core/analyser.h"
#include "common/numtext.h"
#include "ladder/engine.h"
#include "ladder/readouts/measured_response.h"
#include "ladder/sweep_grid.h"

namespace {

constexpr Color kEnvelopeBand{255, 222, 222};
constexpr Color kEnvelopePercentiles{245, 160, 160};

std::vector<PlotTrace> envelope(const Analyser& a, const TraceView&)
{
    if (a.envelope.empty())
        return {};
    PlotTrace band{"Tolerance envelope", kEnvelopeBand, {}, {}, {}};
    PlotTrace p5{"5 %", kEnvelopePercentiles, {}, {}, {}}, p95{"95 %", kEnvelopePercentiles, {}, {}, {}};
    for (const auto& e : a.envelope) {
        band.x.push_back(e.freq);
        band.y.push_back(e.min);
        band.upper.push_back(e.max);
        p5.x.push_back(e.freq);
        p5.y.push_back(e.p5);
        p95.x.push_back(e.freq);
        p95.y.push_back(e.p95);
    }
    return {band, p5, p95};
}

// S21 (and S11 where shown) of m over its sweep, in one colour or two.
std::vector<PlotTrace> levels(const Circuit& m, const TraceView& view, const std::string& prefix, Color s21Colour,
                              Color s11Colour)
{
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    PlotTrace s21{prefix + "S21", s21Colour, {}, {}, {}}, s11{prefix + "S11", s11Colour, {}, {}, {}};
    solveSweep(m, freqs.data(), kSweepPoints, [&](int i, const Solution& s) {
        s21.x.push_back(freqs[std::size_t(i)]);
        s21.y.push_back(s.s21db);
        s11.x.push_back(freqs[std::size_t(i)]);
        s11.y.push_back(s.s11db);
    });
    std::vector<PlotTrace> out{s21};
    if (view.s11)
        out.push_back(s11);
    return out;
}

// S21 and S11 over the plot's sweep, as the plot computed them.
std::vector<PlotTrace> computed(const Analyser& a, const TraceView& view)
{
    if (!a.circuitPlotted)
        return {};
    return levels(a.circuit, view, "", colors::kRed, colors::kBlue);
}

// The reference is kept as the pixels it was drawn at; read back at the plot's scale, it
// lies where the main plot draws it.
std::vector<PlotTrace> reference(const Analyser& a, const TraceView& view)
{
    if (!view.reference || a.refx[0] == 1)
        return {};
    const PlotScale s = plotScale(a);
    PlotTrace t{"Reference", colors::kBlack, {}, {}, {}};
    for (int i = 0; i < kSweepPoints; ++i) {
        t.x.push_back(s.start + (a.refx[std::size_t(i)] - ViewState::plotleft) * (s.stop - s.start) / ViewState::plotwidth);
        t.y.push_back(s.top - (a.refy[std::size_t(i)] - ViewState::plottop) * (s.top - s.bottom) / ViewState::plotheight);
    }
    return {t};
}

std::vector<PlotTrace> measured(const Analyser& a, const TraceView& view)
{
    if (!a.measurement)
        return {};
    const MeasuredResponse r = measuredResponse(*a.measurement, a.circuit);
    std::vector<PlotTrace> out;
    if (r.hasS21)
        out.push_back({"Measured S21", colors::kMeasuredS21, r.freq, r.s21db_, {}});
    if (r.hasS11 && view.s11)
        out.push_back({"Measured S11", colors::kMeasuredS11, r.freq, r.s11db_, {}});
    return out;
}

// The fitted circuit over the plot's range, as drawFitted() draws it over the measurement.
std::vector<PlotTrace> fitted(const Analyser& a, const TraceView& view)
{
    if (!a.fitted || !a.circuitPlotted)
        return {};
    Circuit f = *a.fitted;
    f.startfreq = a.circuit.startfreq;
    f.stopfreq = a.circuit.stopfreq;
    return levels(f, view, "Fitted ", colors::kFitted, colors::kFitted);
}

}  // namespace

PlotScale plotScale(const Analyser& a)
{
    const Circuit& m = a.circuit;
    PlotScale s{m.startfreq, m.stopfreq, m.bottomdb, a.view.topdb, ""};
    s.xTitle = m.crystalflag == 1 ? "Offset from the crystal frequency, " + generalText(m.xtalfreq, 10) + " MHz (Hz)"
                                  : "Frequency (" + m.frequnit + ")";
    return s;
}

const std::vector<TraceSource>& mainPlotTraces()
{
    static const std::vector<TraceSource> sources{envelope, computed, reference, measured, fitted};
    return sources;
}

std::vector<PlotTrace> collectTraces(const Analyser& a, const TraceView& view)
{
    std::vector<PlotTrace> out;
    for (const TraceSource& source : mainPlotTraces())
        for (PlotTrace& t : source(a, view))
            out.push_back(std::move(t));
    return out;
}
