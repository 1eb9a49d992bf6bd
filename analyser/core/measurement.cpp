// The measured traces: reading, clearing, drawing; and the files the plot writes out.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analyser/core/analyser.h"
#include "ladder/readouts/measured_response.h"
#include "common/atomic_file.h"
#include "ladder/network.h"
#include "ladder/renormalise.h"
#include "ladder/twoport.h"

namespace {

// Pixels of the measured traces: the plot's own mapping, but a wild level is held far
// off the window instead of failing the plot as an unplottable number.
int pixelOf(int base, double offset)
{
    constexpr double kFar = 1e6;
    return base + static_cast<int>(std::nearbyint(std::clamp(offset, -kFar, kFar)));
}

}  // namespace

void Analyser::openMeasurement()
{
    if (const auto name = w.chooseFile(FileChoice::OpenMeasurement))
        loadMeasurement(*name);
}

void Analyser::loadMeasurement(const std::string& path)
{
    // Read whole before anything changes: a refused file leaves the traces shown.
    Network n = readTouchstoneFile(path);
    measurement = std::move(n);
    measurementFile = path;
    if (onFileUsed)
        onFileUsed(path, FileUse::MeasurementRead);
    plot();
}

void Analyser::clearMeasurement()
{
    measurement.reset();
    measurementFile.clear();
    plot();
}

void Analyser::exportTouchstone()
{
    // The range of the plot on screen, as its fields were last read.
    const double start = circuit.startfreq, stop = circuit.stopfreq;
    const auto name = w.chooseFile(FileChoice::ExportTouchstone);
    if (!name)
        return;
    writeFileAtomically(*name, sweepTouchstoneAs(circuit, circuitfile, start, stop, "Sorvel",
                                                 exportFormFor(*name, ExportForm::AsIs)));
}

void Analyser::exportTouchstoneOneReference()
{
    const double start = circuit.startfreq, stop = circuit.stopfreq;
    const auto name = w.chooseFile(FileChoice::ExportTouchstoneOneReference);
    if (!name)
        return;
    writeFileAtomically(*name, sweepTouchstoneAs(circuit, circuitfile, start, stop, "Sorvel",
                                                 exportFormFor(*name, ExportForm::OneReference)));
}

void Analyser::savePlotImage()
{
    if (const auto name = w.chooseFile(FileChoice::SavePlotImage))
        w.savePlotImage(*name);
}

void Analyser::drawMeasurement()
{
    const bool showS11 = w.checked(Check::PlotS11);
    if (!measurement) {
        w.setMeasurementLegend(false, false);
        return;
    }
    const Circuit& m = circuit;
    const MeasuredResponse r = measuredResponse(*measurement, m);
    w.setMeasurementLegend(r.hasS21, r.hasS11 && showS11);

    const int left = ViewState::plotleft, top = ViewState::plottop;
    const double span = m.stopfreq - m.startfreq, range = view.topdb - m.bottomdb;
    Canvas& c = w.canvas();
    // Each segment between neighbouring samples, cut to the plot's range, with the level
    // clipped at the bottom as the computed S21 is.
    auto trace = [&](const std::vector<double>& db, Color colour) {
        c.setPen(colour);
        bool started = false;
        auto point = [&](double f, double level, bool first) {
            const int x = pixelOf(left, (f - m.startfreq) * ViewState::plotwidth / span);
            const int y = pixelOf(top, -(ViewState::plotheight * std::max(level, m.bottomdb)) / range);
            first ? c.moveTo(x, y) : c.lineTo(x, y);
        };
        for (std::size_t i = 0; i + 1 < r.freq.size(); ++i) {
            const double a = r.freq[i], b = r.freq[i + 1];
            if (b < m.startfreq || a > m.stopfreq)
                continue;
            const double lo = std::max(a, m.startfreq), hi = std::min(b, m.stopfreq);
            const double slope = (db[i + 1] - db[i]) / (b - a);
            if (!started)
                point(lo, db[i] + (lo - a) * slope, true);
            point(hi, db[i] + (hi - a) * slope, false);
            started = true;
        }
    };
    if (r.hasS21)
        trace(r.s21db_, colors::kMeasuredS21);
    if (r.hasS11 && showS11)
        trace(r.s11db_, colors::kMeasuredS11);
    // The zoom box is drawn with the pen the plot leaves: blue with S11 shown, else black.
    c.setPen(showS11 ? colors::kBlue : colors::kBlack);
}
