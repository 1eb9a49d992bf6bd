// The measured traces: reading, clearing, drawing; and the files the plot writes out.

#include "measurement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analyser.h"
#include "atomic_file.h"
#include "sweep_network.h"
#include "twoport.h"

namespace {

bool allZero(const std::vector<std::complex<double>>& v)
{
    return std::all_of(v.begin(), v.end(), [](std::complex<double> s) { return s == 0.0; });
}

// Pixels of the measured traces: the plot's own mapping, but a wild level is held far
// off the window instead of failing the plot as an unplottable number.
int pixelOf(int base, double offset)
{
    constexpr double kFar = 1e6;
    return base + static_cast<int>(std::nearbyint(std::clamp(offset, -kFar, kFar)));
}

}  // namespace

MeasuredResponse measuredResponse(const Network& n, const Model& m)
{
    MeasuredResponse r;
    const std::size_t count = n.frequencyHz.size();
    r.hasS21 = n.ports == 2 && n.s21.size() == count && !allZero(n.s21);
    r.hasS11 = n.s11.size() == count && !allZero(n.s11);
    r.freq.reserve(count);
    for (double hz : n.frequencyHz)
        r.freq.push_back(circuitFrequency(m, hz));
    if (r.hasS21)
        for (auto s : n.s21)
            r.s21db_.push_back(magnitudeDb(s));
    if (r.hasS11)
        for (auto s : n.s11)
            r.s11db_.push_back(magnitudeDb(s));
    if (!r.hasS21)
        return r;
    r.hasPhase = std::any_of(n.s21.begin(), n.s21.end(), [](auto s) { return s.imag() != 0; });
    if (!r.hasPhase)
        return r;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const double turn = std::arg(n.s21[i + 1] * std::conj(n.s21[i]));
        const double dw = 2 * std::numbers::pi * (n.frequencyHz[i + 1] - n.frequencyHz[i]);
        r.delayFreq.push_back(r.freq[i] + (r.freq[i + 1] - r.freq[i]) / 2);
        r.delay_.push_back(-turn / dw);
    }
    return r;
}

bool isMeasurementFile(std::string_view path)
{
    const int ports = portsFromFileName(path);
    return ports == 1 || ports == 2;
}

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
    const double start = model.startfreq, stop = model.stopfreq;
    const auto name = w.chooseFile(FileChoice::ExportTouchstone);
    if (!name)
        return;
    writeFileAtomically(*name, sweepTouchstone(model, start, stop, "Sorvel"));
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
    const Model& m = model;
    const MeasuredResponse r = measuredResponse(*measurement, m);
    w.setMeasurementLegend(r.hasS21, r.hasS11 && showS11);

    const int left = Model::plotleft, top = Model::plottop;
    const double span = m.stopfreq - m.startfreq, range = m.topdb - m.bottomdb;
    Canvas& c = w.canvas();
    // Each segment between neighbouring samples, cut to the plot's range, with the level
    // clipped at the bottom as the computed S21 is.
    auto trace = [&](const std::vector<double>& db, Color colour) {
        c.setPen(colour);
        bool started = false;
        auto point = [&](double f, double level, bool first) {
            const int x = pixelOf(left, (f - m.startfreq) * Model::plotwidth / span);
            const int y = pixelOf(top, -(Model::plotheight * std::max(level, m.bottomdb)) / range);
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
