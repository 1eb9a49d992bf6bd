// The envelope of a tolerance run on the response plot: the band from the lowest to the
// highest S21 of the trials as vertical strokes, the 5th and 95th percentiles as lines,
// both in light tints of the S21 trace's red, so the traces drawn afterwards stay on top.

#include <algorithm>
#include <cmath>

#include "analyser/core/analyser.h"

namespace {

constexpr Color kEnvelopeBand{255, 222, 222};
constexpr Color kEnvelopePercentiles{245, 160, 160};

constexpr int kLeft = ViewState::plotleft;
constexpr int kTop = ViewState::plottop;
constexpr int kWidth = ViewState::plotwidth;
constexpr int kHeight = ViewState::plotheight;

}  // namespace

void Analyser::drawEnvelope()
{
    if (envelope.empty())
        return;
    const Circuit& m = circuit;
    // The plot has just drawn its grid with this scale, so neither difference is 0.
    const double span = m.stopfreq - m.startfreq;
    const double range = view.topdb - m.bottomdb;
    const double low = std::min(m.startfreq, m.stopfreq), high = std::max(m.startfreq, m.stopfreq);
    // Clipped to the plot frame at both ends, unlike the traces: it is only a backdrop.
    auto y = [&](double db) {
        const double level = std::clamp(db, std::min(m.bottomdb, view.topdb), std::max(m.bottomdb, view.topdb));
        return kTop + static_cast<int>(std::nearbyint(-(kHeight * level) / range));
    };
    auto x = [&](double f) { return kLeft + static_cast<int>(std::nearbyint((f - m.startfreq) * kWidth / span)); };
    auto inView = [&](const tolerance::EnvelopePoint& e) { return e.freq >= low && e.freq <= high; };

    Canvas& c = w.canvas();
    c.setPen(kEnvelopeBand);
    for (const auto& e : envelope) {
        if (!inView(e))
            continue;
        c.moveTo(x(e.freq), y(e.max));
        c.lineTo(x(e.freq), y(e.min));
    }
    c.setPen(kEnvelopePercentiles);
    for (double tolerance::EnvelopePoint::*level : {&tolerance::EnvelopePoint::p5, &tolerance::EnvelopePoint::p95}) {
        bool first = true;
        for (const auto& e : envelope) {
            if (!inView(e)) {
                first = true;
                continue;
            }
            if (first)
                c.moveTo(x(e.freq), y(e.*level));
            else
                c.lineTo(x(e.freq), y(e.*level));
            first = false;
        }
    }
}
