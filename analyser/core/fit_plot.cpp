// A fit's response on the response plot, over the measured traces it was fitted to.

#include <algorithm>
#include <cmath>

#include "analyser/core/analyser.h"
#include "ladder/engine.h"

void Analyser::drawFitted()
{
    if (!fitted)
        return;
    const Circuit& m = circuit;
    const bool showS11 = w.checked(Check::PlotS11);
    const double span = m.stopfreq - m.startfreq, range = view.topdb - m.bottomdb;
    // The plot's own mapping, a wild level held far off the window rather than failing it.
    auto pixel = [](int base, double offset) {
        return base + static_cast<int>(std::nearbyint(std::clamp(offset, -1e6, 1e6)));
    };
    auto y = [&](double db) { return pixel(ViewState::plottop, -(ViewState::plotheight * std::max(db, m.bottomdb)) / range); };
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    std::array<int, kSweepPoints> x{}, y21{}, y11{};
    // The fitted circuit over the plot's range, which may have zoomed since the fit.
    Circuit f = *fitted;
    f.startfreq = m.startfreq;
    f.stopfreq = m.stopfreq;
    solveSweep(f, freqs.data(), kSweepPoints, [&](int i, const Solution& s) {
        x[i] = pixel(ViewState::plotleft, (freqs[i] - m.startfreq) * ViewState::plotwidth / span);
        y21[i] = y(s.s21db);
        y11[i] = y(s.s11db);
    });
    Canvas& c = w.canvas();
    c.setPen(colors::kFitted);
    auto trace = [&](const std::array<int, kSweepPoints>& ys) {
        c.moveTo(x[0], ys[0]);
        for (int i = 1; i < kSweepPoints; ++i)
            c.lineTo(x[i], ys[i]);
    };
    trace(y21);
    if (showS11)
        trace(y11);
    // The zoom box is drawn with the pen the plot leaves: blue with S11 shown, else black.
    c.setPen(showS11 ? colors::kBlue : colors::kBlack);
}
