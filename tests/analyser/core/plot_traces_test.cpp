#include <gtest/gtest.h>

#include <cmath>

#include "analyser/core/plot_traces.h"
#include "ladder/engine.h"
#include "tests/support/fake_window.h"

namespace {

const PlotTrace* named(const std::vector<PlotTrace>& traces, const std::string& name)
{
    for (const PlotTrace& t : traces)
        if (t.name == name)
            return &t;
    return nullptr;
}

TEST(PlotTraces, TheMainPlotsTracesAtItsScale)
{
    Plotted t;
    const PlotScale s = plotScale(t.a);
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.stop, 30);  // the original sweep, restored before the plot
    EXPECT_EQ(s.bottom, -100);
    EXPECT_EQ(s.xTitle, "Frequency (MHz)");

    auto traces = collectTraces(t.a, {true, false});
    const PlotTrace* s21 = named(traces, "S21");
    ASSERT_TRUE(s21);
    ASSERT_EQ(s21->x.size(), std::size_t(kSweepPoints));
    EXPECT_EQ(s21->y[500], solveLadder(t.a.circuit, s21->x[500]).s21db);
    EXPECT_TRUE(named(traces, "S11"));
    EXPECT_FALSE(named(traces, "Reference")) << "not shown";
    EXPECT_FALSE(named(collectTraces(t.a, {false, false}), "S11"));

    // The reference, kept as pixels, reads back within a pixel of the S21 it was saved from.
    t.run(&Analyser::saveReference);
    traces = collectTraces(t.a, {true, true});
    const PlotTrace* ref = named(traces, "Reference");
    ASSERT_TRUE(ref);
    s21 = named(traces, "S21");
    const double xPixel = (s.stop - s.start) / ViewState::plotwidth, yPixel = (s.top - s.bottom) / ViewState::plotheight;
    for (int i : {0, 300, 999}) {
        EXPECT_NEAR(ref->x[i], s21->x[i], xPixel);
        EXPECT_NEAR(ref->y[i], std::max(s21->y[i], s.bottom), yPixel);
    }

    // A circuit read but not plotted has no computed traces yet.
    t.a.circuitPlotted = false;
    EXPECT_FALSE(named(collectTraces(t.a, {true, true}), "S21"));
}

TEST(PlotTraces, FittedResponseLastOverTheRangeShown)
{
    Plotted t;
    EXPECT_FALSE(named(collectTraces(t.a, {true, false}), "Fitted S21")) << "no fit yet";
    Circuit fitted = t.a.circuit;
    fitted.part(2).partvalue *= 1.05;
    fitted.startfreq = 100, fitted.stopfreq = 200;  // the plot's range counts, not the fit's
    t.a.fitted = fitted;
    const auto traces = collectTraces(t.a, {false, false});
    ASSERT_FALSE(traces.empty());
    EXPECT_EQ(traces.back().name, "Fitted S21") << "drawn over everything else";
    EXPECT_EQ(traces.back().x.front(), t.a.circuit.startfreq);
    fitted.startfreq = t.a.circuit.startfreq, fitted.stopfreq = t.a.circuit.stopfreq;
    EXPECT_EQ(traces.back().y[400], solveLadder(fitted, traces.back().x[400]).s21db);
    EXPECT_TRUE(named(collectTraces(t.a, {true, false}), "Fitted S11"));
}

TEST(PlotTraces, EnvelopeIsABandBehindTheTraces)
{
    Plotted t;
    t.a.envelope = {{1, -10, -8, -6, -5}, {2, -11, -9, -7, -6}};
    const auto traces = collectTraces(t.a, {true, false});
    ASSERT_GE(traces.size(), 4u);
    EXPECT_EQ(traces[0].name, "Tolerance envelope");
    EXPECT_EQ(traces[0].y, (std::vector<double>{-10, -11}));
    EXPECT_EQ(traces[0].upper, (std::vector<double>{-5, -6}));
    EXPECT_EQ(traces[3].name, "S21");
}

}  // namespace
