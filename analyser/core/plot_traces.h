#pragma once
// The main plot's traces as numbers (frequency in the circuit's unit, level in dB) rather
// than pixels, for a larger chart: the same traces at the same scale. Each kind of trace is
// one source in mainPlotTraces(); a new trace is one more source there.

#include <functional>
#include <string>
#include <vector>

#include "analyser/core/window_port.h"

class Analyser;

struct PlotTrace {
    std::string name;
    Color colour;
    std::vector<double> x, y;
    // A band between y (lower) and upper, filled, instead of a line.
    std::vector<double> upper;
};

// The scale the main plot was last drawn at.
struct PlotScale {
    double start = 0, stop = 1, bottom = -100, top = 0;
    std::string xTitle;  // "Frequency (MHz)", or the offset from the crystal frequency in Hz
};
PlotScale plotScale(const Analyser& a);

// What the main window shows besides the circuit: the check boxes' states.
struct TraceView {
    bool s11 = true, reference = false;
};

using TraceSource = std::function<std::vector<PlotTrace>(const Analyser&, const TraceView&)>;

// Tolerance envelope, S21, reference, S11, measurement, fitted response: the main plot's
// order, back to front.
const std::vector<TraceSource>& mainPlotTraces();

// Every source's traces in order. Throws what the engine throws (FloatError).
std::vector<PlotTrace> collectTraces(const Analyser& a, const TraceView& view);
