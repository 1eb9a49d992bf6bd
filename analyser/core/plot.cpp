// The response plot: scale from the fields, grid, cursor, 1000-point sweep, traces.

#include <climits>
#include <cmath>

#include "analyser/core/analyser.h"
#include "common/checkedmath.h"
#include "ladder/engine.h"
#include "common/errors.h"
#include "common/numread.h"
#include "common/numtext.h"

namespace {

constexpr int kLeft = ViewState::plotleft;
constexpr int kTop = ViewState::plottop;
constexpr int kWidth = ViewState::plotwidth;
constexpr int kHeight = ViewState::plotheight;

// base + offset rounded to the nearest pixel, halves to even. A position that no pixel
// coordinate can hold is the FPU's invalid operation, as rounding it always was.
int pixel(int base, double offset)
{
    const double v = base + std::nearbyint(offset);
    if (!(v >= INT_MIN && v <= INT_MAX))
        throw FloatError::invalidOperation();
    return static_cast<int>(v);
}

// The grid step in whole pixels. A step under one pixel would never finish the grid
// loop, so such a scale is refused; a step beyond the plot draws only the first line,
// and is capped so the loop counter cannot overflow.
int gridStep(double step, int extent, const char* refusal)
{
    const double rounded = std::nearbyint(step);
    if (!(rounded >= 1))
        throw AppError(refusal);
    return rounded > extent ? extent : static_cast<int>(rounded);
}

double readField(const WindowPort& w, Field field)
{
    return readNumber(w.text(field));
}

void polyline(Canvas& c, const std::array<int, kSweepPoints>& x,
              const std::array<int, kSweepPoints>& y)
{
    c.moveTo(x[0], y[0]);
    for (int i = 0; i < kSweepPoints; ++i)
        c.lineTo(x[i], y[i]);
}

void line(Canvas& c, int x1, int y1, int x2, int y2)
{
    c.moveTo(x1, y1);
    c.lineTo(x2, y2);
}

}  // namespace

void Analyser::plot()
{
    view.plotenabled = true;
    plotResponse();
}

void Analyser::saveReference()
{
    refx = tracex;
    refy = tracey21;
}

void Analyser::toggleS11()
{
    plotResponse();
}

void Analyser::toggleReference()
{
    plotResponse();
}

void Analyser::plotResponse()
{
    Circuit& m = circuit;
    Canvas& c = w.canvas();

    w.setText(Field::CircuitFile, circuitfile);
    w.setText(Field::FreqUnit, m.frequnit);
    w.setText(Field::CursorFreqUnit, m.frequnit);

    tracex.fill(0);
    tracey21.fill(0);
    tracey11.fill(0);

    if (view.tunepending)
        applyTuneStep();

    c.setPen(colors::kButtonFace);
    c.setFill(colors::kWhite);
    c.rectangle(kLeft, kTop, kLeft + kWidth, kTop + kHeight + 5);
    w.setHintVisible(false);
    c.setPen(colors::kGrid);
    c.setFill(colors::kWhite);
    c.rectangle(kLeft, kTop, kLeft + kWidth, kTop + kHeight);

    // Each value is stored as soon as it is read: a later bad field leaves the earlier ones.
    view.topdb = readField(w, Field::TopDb);
    if (view.topdb != 0)
        view.topdb = 0;
    w.setText(Field::TopDb, fixedText(view.topdb, 4, 1));
    m.bottomdb = readField(w, Field::BottomDb);
    if (m.bottomdb > 0)
        m.bottomdb = -m.bottomdb;
    w.setText(Field::BottomDb, fixedText(m.bottomdb, 4, 1));
    m.dbperdiv = readField(w, Field::DbPerDiv);
    m.startfreq = readField(w, Field::StartFreq);
    m.stopfreq = readField(w, Field::StopFreq);
    m.freqperdiv = readField(w, Field::FreqPerDiv);
    // A span beyond the largest double has no sweep.
    checked::finite((m.stopfreq - m.startfreq) * 0.001);

    const int ystep = gridStep(checked::div(double(kHeight), view.topdb - m.bottomdb) * m.dbperdiv,
                               kHeight,
                               "Cannot draw the level grid: each dB division must be at least "
                               "one pixel high (check bottom and dB/div.).");
    for (int y = kTop; y < kTop + kHeight; y += ystep)
        line(c, kLeft, y, kLeft + kWidth, y);

    const int xstep = gridStep(checked::div(double(kWidth), m.stopfreq - m.startfreq) * m.freqperdiv,
                               kWidth,
                               "Cannot draw the frequency grid: each division must be at least "
                               "one pixel wide (check start, stop and Freq./div).");
    for (int x = kLeft; x < kLeft + kWidth; x += xstep)
        line(c, x, kTop, x, kTop + kHeight);

    drawEnvelope();
    drawCursor();

    const double span = m.stopfreq - m.startfreq;
    const double range = view.topdb - m.bottomdb;
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    solveSweep(m, freqs.data(), kSweepPoints, [&](int i, const Solution& s) {
        tracex[i] = pixel(kLeft, (freqs[i] - m.startfreq) * kWidth / span);
        // Clipped at the bottom only; a gain above 0 dB is drawn above the plot.
        const double level21 = s.s21db < m.bottomdb ? m.bottomdb : s.s21db;
        tracey21[i] = pixel(kTop, -(kHeight * level21) / range);
        const double level11 = s.s11db < m.bottomdb ? m.bottomdb : s.s11db;
        tracey11[i] = pixel(kTop, -(kHeight * level11) / range);
    });

    c.setPen(colors::kRed);
    line(c, kLeft + 80, 25, kLeft + 120, 25);
    polyline(c, tracex, tracey21);

    c.setPen(colors::kBlack);
    line(c, kLeft + 330, 25, kLeft + 370, 25);
    if (w.checked(Check::PlotReference))
        polyline(c, refx, refy);

    // The pen left here (blue with S11 shown, else black) draws the zoom box.
    if (w.checked(Check::PlotS11)) {
        c.setPen(colors::kBlue);
        line(c, kLeft + 210, 25, kLeft + 250, 25);
        polyline(c, tracex, tracey11);
    }
    drawMeasurement();
    circuitPlotted = true;
    drawFitted();
    w.plotFinished();
}

void Analyser::drawCursor()
{
    Circuit& m = circuit;
    cursorfreq = readField(w, Field::CursorFreq);
    if (cursorfreq == 0) {
        w.setText(Field::CursorS21, "--");
        w.setText(Field::CursorS11, "--");
        return;
    }
    cursorx = pixel(kLeft, (cursorfreq - m.startfreq) * kWidth / (m.stopfreq - m.startfreq));
    Canvas& c = w.canvas();
    c.setPen(colors::kRed);
    // The engine's values at exactly the cursor frequency, not clipped at the bottom.
    const Solution s = solveLadder(m, cursorfreq);
    w.setText(Field::CursorS21, fixedText(s.s21db, 5, 2));
    w.setText(Field::CursorS11, fixedText(s.s11db, 5, 2));
    int y = kTop + 10;
    do {
        line(c, cursorx, y, cursorx, y + 10);
        y += 15;
    } while (!(y > kTop + kHeight - 10));
}

double* Analyser::entryValue(int n)
{
    Circuit& m = circuit;
    // A file may claim more parts than the table holds; only real entries are values.
    const int parts = m.partcount < kMaxParts ? m.partcount : kMaxParts;
    if (n >= 1 && n <= parts)
        return &m.part(n).partvalue;
    switch (n) {
    case entry::kLoadR: return &m.loadr;
    case entry::kSourceR: return &m.sourcer;
    case entry::kInductorQ: return &m.inductorq;
    case entry::kXtalFreq: return &m.xtalfreq;
    case entry::kXtalLm: return &m.xtallm;
    case entry::kXtalCp: return &m.xtalcp;
    case entry::kXtalQx: return &m.xtalqx;
    default: return nullptr;
    }
}

void Analyser::applyTuneStep()
{
    // Cleared first: a step whose fields fail to convert is dropped, not replayed by
    // some later, unrelated plot.
    view.tunepending = false;
    const int entry = readInteger(w.text(Field::TuneEntry));
    const double factor = 1 + 0.01 * readNumber(w.text(Field::TunePercent));
    double* value = entryValue(entry);
    if (!value) {
        w.message("No value has the entry number " + integerText(entry) + "; nothing was tuned.");
        return;
    }
    // A step past the largest double leaves the value as it was.
    *value = checked::finite(view.tuneup ? *value * factor : checked::div(*value, factor));
    w.setText(Field::TunedValue, fixedText(*value, 8, 3));
}
