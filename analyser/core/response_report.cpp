#include "analyser/core/response_report.h"

#include <algorithm>
#include <cmath>

#include "analyser/core/analyser.h"
#include "common/checkedmath.h"
#include "ladder/engine.h"
#include "ladder/readouts/measured_response.h"
#include "common/numtext.h"
#include "ladder/twoport.h"

DelayScale delayScale(double largestSeconds)
{
    const double t = std::abs(largestSeconds);
    if (t < 1e-6)
        return {"ns", 1e9};
    if (t < 1e-3)
        return {"\u00b5s", 1e6};
    return {"ms", 1e3};
}

ResponseReport makeResponseReport(const Circuit& m, double cursorfreq, const Network* measurement)
{
    ResponseReport r;
    r.frequnit = m.frequnit;
    r.start = std::min(m.startfreq, m.stopfreq);
    r.stop = std::max(m.startfreq, m.stopfreq);
    // The delay curve's solutions serve the readouts' points in the band too.
    const auto freqs = sweepFrequencies(r.start, r.stop);
    SolvedPoints solved;
    solved.freq.assign(freqs.begin(), freqs.end());
    solved.twoPort.reserve(freqs.size());
    solved.s21db.reserve(freqs.size());
    solveResponseSweep(m, freqs.data(), static_cast<int>(freqs.size()), [&](int, const Response& resp) {
        solved.twoPort.push_back(resp.twoPort);
        solved.s21db.push_back(resp.levels.s21db);
    });
    r.computed = measureResponse(m, r.start, r.stop, solved);
    r.freq = solved.freq;
    r.computedDelay.reserve(freqs.size());
    for (const TwoPort& t : solved.twoPort)
        r.computedDelay.push_back(t.delay);

    r.cursorFreq = cursorfreq;
    if (cursorfreq != 0) {
        const Response c = solveResponse(m, cursorfreq);
        r.cursorComputed = CursorValues{c.levels.s21db, magnitudeDb(c.twoPort.s11), c.twoPort.delay};
    }
    if (!measurement)
        return r;

    const MeasuredResponse meas = measuredResponse(*measurement, m);
    r.measuredS11 = meas.hasS11;
    r.measuredPhase = meas.hasPhase;
    for (std::size_t i = 0; i < meas.delayFreq.size(); ++i)
        if (meas.delayFreq[i] >= r.start && meas.delayFreq[i] <= r.stop) {
            r.measuredDelayFreq.push_back(meas.delayFreq[i]);
            r.measuredDelay.push_back(meas.delay_[i]);
        }
    if (meas.freq.empty())
        return r;
    const double lo = std::max(r.start, meas.freq.front()), hi = std::min(r.stop, meas.freq.back());
    if (meas.hasS21 && lo < hi)
        r.measured = measureCurve(meas, lo, hi);
    if (cursorfreq != 0 && cursorfreq >= meas.freq.front() && cursorfreq <= meas.freq.back()) {
        CursorValues v;
        if (meas.hasS21)
            v.s21db = meas.s21db(cursorfreq);
        if (meas.hasS11)
            v.s11db = meas.s11db(cursorfreq);
        if (meas.hasPhase)
            v.delay = meas.delay(cursorfreq);
        r.cursorMeasured = v;
    }
    return r;
}

std::vector<ReadoutRow> readoutRows(const ResponseReport& r)
{
    const auto computed = readoutValues(r.computed, r.frequnit);
    std::vector<ReadoutValue> measured;
    if (r.measured)
        measured = readoutValues(*r.measured, r.frequnit);
    std::vector<ReadoutRow> rows;
    for (std::size_t i = 0; i < computed.size(); ++i) {
        ReadoutRow row{computed[i].quantity, computed[i].unit, computed[i].value, {}, {}};
        if (i < measured.size()) {
            row.measured = measured[i].value;
            // Without S11 or phase in the file these readouts were never measured.
            const bool returnLoss = row.quantity == "return_loss_db";
            const bool delay = row.quantity.rfind("delay_", 0) == 0;
            if ((returnLoss && !r.measuredS11) || (delay && !r.measuredPhase))
                row.measured.reset();
        }
        if (row.computed && row.measured)
            row.difference = *row.measured - *row.computed;
        rows.push_back(row);
    }
    return rows;
}

std::string readoutText(std::optional<double> v)
{
    return v && std::isfinite(*v) ? generalText(*v, 10) : "none";
}

std::string responseReportText(const ResponseReport& r)
{
    std::string out = "quantity\tcomputed\tmeasured\tdifference\tunit\n";
    auto line = [&](const std::string& name, std::optional<double> c, std::optional<double> m,
                    std::optional<double> d, const std::string& unit) {
        out += name + '\t' + readoutText(c) + '\t' + readoutText(m) + '\t' + readoutText(d) + '\t' +
               unit + '\n';
    };
    for (const ReadoutRow& row : readoutRows(r))
        line(row.quantity, row.computed, row.measured, row.difference, row.unit);
    if (!r.cursorComputed)
        return out;
    const CursorValues& c = *r.cursorComputed;
    const CursorValues m = r.cursorMeasured.value_or(CursorValues{});
    auto diff = [](std::optional<double> a, std::optional<double> b) -> std::optional<double> {
        if (a && b)
            return *b - *a;
        return std::nullopt;
    };
    line("cursor_freq", r.cursorFreq, {}, {}, r.frequnit);
    line("cursor_s21_db", c.s21db, m.s21db, diff(c.s21db, m.s21db), "dB");
    line("cursor_s11_db", c.s11db, m.s11db, diff(c.s11db, m.s11db), "dB");
    line("cursor_delay_s", c.delay, m.delay, diff(c.delay, m.delay), "s");
    return out;
}
