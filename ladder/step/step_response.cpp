// The step response from the frequency response.
//
// The span: outward from the 3 dB corner (low-pass) or the 3 dB half-width (band-pass) in
// steps of sqrt(2), until S21 lies 80 dB below its peak at two steps in a row (one point in
// a notch does not stop it), on both sides of a band-pass. Past 80 dB the rest adds less
// than 1e-4 of the final value, far inside the 1 % the step is good to, so the spectrum is
// cut there without a window. Where S21 never falls that far (the holder capacitance of
// crystals leaves a floor, a shunt capacitor in series feeds through), the span stops at 512
// times that width, or short of 0 Hz for a band-pass, and the outer half of it is tapered by
// a raised cosine, so that the cut rings no more than the filter does.
//
// The points: the spacing is 1/T for a time window T, first 8 times the largest group delay
// in the passband plus 40 / bandwidth, and doubled until the step has stayed within 0.2 % of
// its final value over the window's third quarter; the last quarter holds negative time,
// where what a cut spectrum leaks before t = 0 goes instead of wrapping onto the settling.
// Finally zeros are padded above the span until the settling plus 20 % holds 500 samples.
//
// The step is integrated in the frequency domain: G(f) = H(f) / (j 2 pi f) plus the ramp of
// H(0), exact for the sampled spectrum, so no integration rule adds its own error. A band-pass
// a few per cent wide also feels its passband's mirror at -fc (S21 at negative frequencies is
// the conjugate); that share is added from the same samples, with a transform of its own.

#include "ladder/step/step_response.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "common/errors.h"
#include "common/numtext.h"
#include "ladder/engine.h"
#include "ladder/readouts/readouts.h"
#include "ladder/step/inverse_fft.h"
#include "ladder/sweep_grid.h"
#include "ladder/twoport.h"

namespace {

using cx = std::complex<double>;

constexpr double kDownDb = 80;
constexpr double kSpanLimit = 512;      // times the corner or half-width
constexpr double kQuiet = 0.002;        // of the final value, over the third quarter
constexpr int kMinFft = 1024;
constexpr int kMaxSolved = 1 << 18;  // about a tenth of a second of solves
constexpr int kMinPoints = 500;

double hzPerUnit(const Circuit& m) { return m.crystalflag == 1 ? 1.0 : 1e6; }

// Far in the stop band of a long ladder the level walk underflows and fails: there S21 is
// below anything the step can show, so such a point reads as -inf and the rest go on.
std::vector<double> levels(const Circuit& m, const std::vector<double>& f)
{
    std::vector<double> db(f.size(), -INFINITY);
    try {
        solveSweep(m, f.data(), int(f.size()), [&](int i, const Solution& s) { db[std::size_t(i)] = s.s21db; });
    } catch (const FloatError&) {
        for (std::size_t i = 0; i < f.size(); ++i)
            try {
                db[i] = solveLadder(m, f[i]).s21db;
            } catch (const FloatError&) {
                db[i] = -INFINITY;
            }
    }
    return db;
}

// What the sweep from 0 Hz to the stop frequency says of an LC circuit.
struct LowPassLook {
    bool lowPass = false;
    double peakDb = 0;
    double cornerHz = 0;  // where S21 first falls 3 dB below its peak
};

LowPassLook lookFromZero(const Circuit& m)
{
    LowPassLook look;
    if (m.crystalflag == 1 || !(m.stopfreq > 0))
        return look;
    const auto grid = sweepFrequencies(0, m.stopfreq);
    std::vector<double> f(grid.begin(), grid.end());
    f[0] = 0;
    const std::vector<double> db = levels(m, f);
    look.peakDb = *std::max_element(db.begin(), db.end());
    look.lowPass = db[0] >= look.peakDb - 3;
    look.cornerHz = m.stopfreq * 1e6;
    for (std::size_t i = 1; i < f.size(); ++i)
        if (db[i] < look.peakDb - 3) {
            look.cornerHz = f[i] * 1e6;
            break;
        }
    return look;
}

// Where the spectrum is needed: the centre (circuit unit), the passband's width and peak.
struct Band {
    StepKind kind;
    double centre = 0;
    double widthHz = 0;  // the corner of a low-pass, the 3 dB width of a band-pass
    double peakDb = 0;
};

double realCentreHz(const Circuit& m, const Band& b)
{
    return m.crystalflag == 1 ? m.xtalfreq * 1e6 + b.centre : b.centre * hzPerUnit(m);
}

// The half-span in Hz, and whether it stopped at its limit short of 80 dB down.
std::pair<double, bool> chooseSpan(const Circuit& m, const Band& b)
{
    const double u = hzPerUnit(m);
    const bool bandPass = b.kind == StepKind::BandPass;
    const double base = bandPass ? b.widthHz / 2 : b.widthHz;
    double limit = kSpanLimit * base;
    if (bandPass) {
        // Up to 0 Hz at most: below it lies the mirror of the passband, added apart.
        limit = std::min(limit, realCentreHz(m, b));
    }
    std::vector<double> d;
    for (double x = base; x <= limit; x *= std::numbers::sqrt2)
        d.push_back(x);
    if (d.empty())
        return {limit, true};
    std::vector<double> f;
    for (double x : d) {
        f.push_back(b.centre + x / u);
        if (bandPass)
            f.push_back(b.centre - x / u);
    }
    const std::vector<double> db = levels(m, f);
    const int per = bandPass ? 2 : 1;
    auto down = [&](std::size_t j) {
        for (int s = 0; s < per; ++s)
            if (!(db[j * per + std::size_t(s)] <= b.peakDb - kDownDb))
                return false;
        return true;
    };
    for (std::size_t j = 0; j + 1 < d.size(); ++j)
        if (down(j) && down(j + 1))
            return {d[j + 1], false};
    return {limit, true};
}

double largestDelay(const Circuit& m, const Band& b)
{
    const double u = hzPerUnit(m);
    constexpr int n = 33;
    std::vector<double> f(n);
    const bool bandPass = b.kind == StepKind::BandPass;
    for (int i = 0; i < n; ++i) {
        const double x = bandPass ? (i - (n - 1) / 2.0) / (n - 1) : double(i) / (n - 1);
        f[std::size_t(i)] = b.centre + x * b.widthHz / u;
    }
    double most = 0;
    solveResponseSweep(m, f.data(), n, [&](int, const Response& r) { most = std::max(most, r.twoPort.delay); });
    return most;
}

// The solved spectrum on the grid k * spacing, k = -K..K (band-pass) or 0..K (low-pass).
struct Spectrum {
    std::vector<cx> h;  // band-pass: index k + K
    int k = 0;
    double spacing = 0;
};

Spectrum solveSpectrum(const Circuit& m, const Band& b, double halfSpan, double spacing, bool tapered)
{
    Spectrum s;
    s.spacing = spacing;
    s.k = int(std::floor(halfSpan / spacing));
    const bool bandPass = b.kind == StepKind::BandPass;
    const int first = bandPass ? -s.k : 0;
    const int count = s.k - first + 1;
    const double u = hzPerUnit(m);
    std::vector<double> f(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        f[std::size_t(i)] = b.centre + (first + i) * spacing / u;
    // The two-port has no answer at exactly 0 Hz; a millionth of a step above it, S21 is S21(0).
    if (!bandPass)
        f[0] = 1e-6 * spacing / u;
    s.h.assign(std::size_t(count), cx());
    try {
        solveResponseSweep(m, f.data(), count, [&](int i, const Response& r) { s.h[std::size_t(i)] = r.twoPort.s21; });
    } catch (const FloatError&) {
        // As in levels(): a point that underflows passes nothing, but the final value's
        // point must have its answer.
        const int final = bandPass ? s.k : 0;
        for (int i = 0; i < count; ++i)
            try {
                s.h[std::size_t(i)] = solveResponse(m, f[std::size_t(i)]).twoPort.s21;
            } catch (const FloatError&) {
                if (i == final)
                    throw;
            }
    }
    if (tapered)
        for (int i = 0; i < count; ++i) {
            const double x = std::abs(double(first + i)) / s.k;  // 0..1 of the span
            if (x > 0.5)
                s.h[std::size_t(i)] *= 0.5 * (1 + std::cos(std::numbers::pi * (x - 0.5) / 0.5));
        }
    return s;
}

// The step (complex for a band-pass) at t_n = n dt for n < 3N/4, from t = -T/4 on.
std::vector<cx> integrate(const Spectrum& s, StepKind kind, int n, double mirrorHz)
{
    const double df = s.spacing;
    const double window = 1 / df;
    const double dt = window / n;
    std::vector<double> g;
    std::vector<cx> gc;
    cx h0;
    if (kind == StepKind::LowPass) {
        std::vector<cx> half(std::size_t(n / 2 + 1));
        h0 = s.h[0].real();
        for (int k = 1; k <= s.k && k <= n / 2 - 1; ++k)
            half[std::size_t(k)] = s.h[std::size_t(k)] / cx(0, 2 * std::numbers::pi * k * df);
        fft::inverseReal(half, n, g);
    } else {
        gc.assign(std::size_t(n), cx());
        h0 = s.h[std::size_t(s.k)];
        for (int k = -s.k; k <= s.k; ++k)
            if (k != 0)
                gc[std::size_t(k < 0 ? n + k : k)] = s.h[std::size_t(k + s.k)] / cx(0, 2 * std::numbers::pi * k * df);
        fft::inverse(gc);
    }
    auto at = [&](int i) { return kind == StepKind::LowPass ? cx(g[std::size_t(i)]) : gc[std::size_t(i)]; };
    const int start = 3 * n / 4;
    const double ts = -window / 4;
    const cx gs = at(start) * df;
    std::vector<cx> step(static_cast<std::size_t>(start));
    for (int i = 0; i < start; ++i)
        step[std::size_t(i)] = h0 * df * (i * dt - ts) + at(i) * df - gs;
    if (mirrorHz > 0) {
        // The passband's mirror at -fc, where S21(fc + f) = conj(S21(fc - g)) for f = g - 2 fc:
        // the same samples reversed, over 1 / (g - 2 fc), moved down by 2 fc after the transform.
        std::vector<cx> m(static_cast<std::size_t>(n));
        for (int k = -s.k; k <= s.k; ++k)
            m[std::size_t(k < 0 ? n + k : k)] =
                std::conj(s.h[std::size_t(s.k - k)]) / cx(0, 2 * std::numbers::pi * (k * df - 2 * mirrorHz));
        fft::inverse(m);
        for (int i = 0; i < start; ++i)
            step[std::size_t(i)] += m[std::size_t(i)] * df * std::polar(1.0, -4 * std::numbers::pi * mirrorHz * i * dt);
    }
    return step;
}

double magnitude(StepKind kind, cx v) { return kind == StepKind::LowPass ? v.real() : std::abs(v); }

int fftSizeFor(double points)
{
    int n = kMinFft;
    while (n < points)
        n *= 2;
    return n;
}

// The last sample outside +-1 % of the final value, or -1.
int lastOutside(const std::vector<double>& y, double final)
{
    for (int i = int(y.size()) - 1; i >= 0; --i)
        if (std::abs(y[std::size_t(i)] - final) > 0.01 * std::abs(final))
            return i;
    return -1;
}

StepResponse respond(const Circuit& m, const Band& b)
{
    const auto [halfSpan, tapered] = chooseSpan(m, b);
    // The mirror's share is of the order of the relative bandwidth: left out below 1e-4.
    const double fc = realCentreHz(m, b);
    const double mirror = b.kind == StepKind::BandPass && b.widthHz > 1e-4 * fc ? fc : 0;
    double window = 8 * largestDelay(m, b) + 40 / b.widthHz;
    for (;;) {
        const double spacing = 1 / window;
        if (2 * halfSpan / spacing > kMaxSolved)
            throw AppError("The step response does not settle within the longest time window");
        const Spectrum s = solveSpectrum(m, b, halfSpan, spacing, tapered);
        const double final = b.kind == StepKind::LowPass ? s.h[0].real() : std::abs(s.h[std::size_t(s.k)]);
        if (!(final != 0) || !std::isfinite(final))
            throw AppError("The filter passes nothing at its centre: there is no step to show");
        int n = fftSizeFor(2.0 * s.k + 2);
        std::vector<cx> step = integrate(s, b.kind, n, mirror);
        std::vector<double> y(step.size());
        for (std::size_t i = 0; i < y.size(); ++i)
            y[i] = magnitude(b.kind, step[i]);
        bool quiet = true;
        for (std::size_t i = std::size_t(n / 2); i < y.size(); ++i)
            quiet = quiet && std::abs(y[i] - final) <= kQuiet * std::abs(final);
        if (!quiet) {
            window *= 2;
            continue;
        }
        // Enough samples over the settling plus 20 %: zeros padded above the span.
        int last = std::max(lastOutside(y, final) + 1, 1);
        while (1.2 * last < kMinPoints) {
            n *= 2;
            last *= 2;
        }
        if (n > int(step.size() * 4 / 3)) {
            step = integrate(s, b.kind, n, mirror);
            y.resize(step.size());
            for (std::size_t i = 0; i < y.size(); ++i)
                y[i] = magnitude(b.kind, step[i]);
            last = std::max(lastOutside(y, final) + 1, 1);
        }
        const int count = std::min(int(y.size()), std::max(kMinPoints, int(std::ceil(1.2 * last)) + 1));
        StepResponse r;
        r.kind = b.kind;
        r.finalValue = final;
        r.grid = {b.kind == StepKind::BandPass ? b.centre : 0, halfSpan, spacing, int(s.h.size()), n, tapered};
        const double dt = window / n;
        r.time.resize(std::size_t(count));
        r.value.assign(y.begin(), y.begin() + count);
        for (int i = 0; i < count; ++i)
            r.time[std::size_t(i)] = i * dt;
        return r;
    }
}

Band bandPassBand(const Circuit& m, const Readouts& r)
{
    Band b;
    b.kind = StepKind::BandPass;
    b.centre = r.centre3.value_or(r.peakFreq);
    const double u = hzPerUnit(m);
    const double width = r.bands[0].width.value_or((m.stopfreq - m.startfreq) / 10);
    b.widthHz = std::abs(width) * u;
    if (!(b.widthHz > 0))
        b.widthHz = std::abs(b.centre * u) / 10;
    if (!(b.widthHz > 0))
        throw AppError("The filter has no passband to take a step response from");
    if (!(realCentreHz(m, b) > 0))
        throw AppError("The filter's centre lies at or below 0 Hz: there is no carrier to switch on");
    b.peakDb = std::max(solveLadder(m, b.centre).s21db, solveLadder(m, r.peakFreq).s21db);
    return b;
}

StepResponse respond(const Circuit& m, const Readouts* overSweep)
{
    const LowPassLook look = lookFromZero(m);
    if (look.lowPass) {
        Band b;
        b.kind = StepKind::LowPass;
        b.widthHz = look.cornerHz;
        b.peakDb = look.peakDb;
        return respond(m, b);
    }
    if (overSweep)
        return respond(m, bandPassBand(m, *overSweep));
    return respond(m, bandPassBand(m, measureResponse(m, m.startfreq, m.stopfreq)));
}

// The time where y crosses `level` between samples i - 1 and i.
double crossing(const StepResponse& s, std::size_t i, double level)
{
    if (i == 0)
        return s.time[0];
    const double a = s.value[i - 1], b = s.value[i];
    const double x = b != a ? (level - a) / (b - a) : 0;
    return s.time[i - 1] + std::clamp(x, 0.0, 1.0) * (s.time[i] - s.time[i - 1]);
}

double firstReach(const StepResponse& s, double fraction)
{
    const double level = fraction * s.finalValue;
    for (std::size_t i = 0; i < s.value.size(); ++i)
        if (s.finalValue > 0 ? s.value[i] >= level : s.value[i] <= level)
            return crossing(s, i, level);
    return s.time.empty() ? 0 : s.time.back();
}

}  // namespace

StepKind stepKindOf(const Circuit& m) { return lookFromZero(m).lowPass ? StepKind::LowPass : StepKind::BandPass; }

StepResponse stepResponse(const Circuit& m) { return respond(m, nullptr); }

StepResponse stepResponse(const Circuit& m, const Readouts& overSweep) { return respond(m, &overSweep); }

StepReadouts stepReadouts(const StepResponse& s)
{
    StepReadouts r;
    if (s.value.empty())
        return r;
    const double final = s.finalValue;
    r.delay = firstReach(s, 0.5);
    r.rise = firstReach(s, 0.9) - firstReach(s, 0.1);
    // The peak between samples: the parabola through the highest sample and its neighbours.
    std::size_t top = 0;
    for (std::size_t i = 0; i < s.value.size(); ++i)
        if (s.value[i] / final > s.value[top] / final)
            top = i;
    double peak = s.value[top];
    if (top > 0 && top + 1 < s.value.size()) {
        const double a = s.value[top - 1], b = s.value[top], c = s.value[top + 1];
        const double denom = a - 2 * b + c;
        if (denom != 0)
            peak = b - (a - c) * (a - c) / (8 * denom);
    }
    r.overshootPct = std::max(0.0, 100 * (peak - final) / final);
    const int last = lastOutside(s.value, final);
    if (last >= 0) {
        const std::size_t i = std::size_t(last) + 1;
        if (i < s.value.size()) {
            const double edge = s.value[i - 1] > final ? final + 0.01 * std::abs(final) : final - 0.01 * std::abs(final);
            r.settle = crossing(s, i, edge);
        } else {
            r.settle = s.time.back();
        }
    }
    return r;
}

std::string stepCsv(const StepResponse& s)
{
    std::string out = "time_s,step\n";
    out.reserve(out.size() + s.time.size() * 48);
    for (std::size_t i = 0; i < s.time.size(); ++i) {
        appendG17(out, s.time[i]);
        out += ',';
        appendG17(out, s.value[i]);
        out += '\n';
    }
    return out;
}

std::string stepReadoutsCsv(const StepReadouts& r)
{
    std::string out;
    auto line = [&out](const char* quantity, double v, const char* unit) {
        out += quantity;
        out += ',';
        appendG17(out, v);
        out += ',';
        out += unit;
        out += '\n';
    };
    line("step_delay_s", r.delay, "s");
    line("rise_s", r.rise, "s");
    line("overshoot_pct", r.overshootPct, "%");
    line("settle_s", r.settle, "s");
    return out;
}
