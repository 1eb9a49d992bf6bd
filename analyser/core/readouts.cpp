#include "readouts.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "analyser.h"
#include "checkedmath.h"
#include "engine.h"
#include "numtext.h"
#include "twoport.h"

namespace {

// Enough for any bracket to shrink from a whole span to 1e-9 of it, with room to spare;
// also ends the search where the bracket cannot shrink any further.
constexpr int kMaxSteps = 200;

using Curve = std::function<double(double)>;

// Golden-section search for the highest value of g on [a, b], to within tol.
double argMax(const Curve& g, double a, double b, double tol)
{
    constexpr double r = 0.6180339887498949;
    double c = b - r * (b - a), d = a + r * (b - a);
    double gc = g(c), gd = g(d);
    for (int i = 0; i < kMaxSteps && b - a > tol; ++i) {
        if (gc >= gd) {
            b = d, d = c, gd = gc;
            c = b - r * (b - a), gc = g(c);
        } else {
            a = c, c = d, gc = gd;
            d = a + r * (b - a), gd = g(d);
        }
    }
    return gc >= gd ? c : d;
}

// Where g crosses `level` between `below` (g < level) and `above` (g >= level), by bisection.
double crossing(const Curve& g, double level, double below, double above, double tol)
{
    for (int i = 0; i < kMaxSteps && std::abs(above - below) > tol; ++i) {
        const double mid = below + (above - below) / 2;
        (g(mid) < level ? below : above) = mid;
    }
    return below + (above - below) / 2;
}

// The points of `xs` where g peaks among its neighbours (an end counts when it beats its
// one neighbour: a band that reaches the range's end may peak there), each refined on the
// engine.
struct Extreme {
    double at, value;
};

std::vector<Extreme> peaks(const Curve& g, const std::vector<double>& xs, const std::vector<double>& ys,
                           double tol)
{
    std::vector<Extreme> out;
    const int n = static_cast<int>(xs.size());
    for (int i = 0; i < n; ++i) {
        const bool left = i == 0 || ys[i] >= ys[i - 1];
        const bool right = i + 1 < n ? ys[i] > ys[i + 1] : n == 1 || ys[i] > ys[i - 1];
        if (!(left && right))
            continue;
        const double a = xs[std::max(i - 1, 0)], b = xs[std::min(i + 1, n - 1)];
        const double x = argMax(g, a, b, tol);
        const double v = g(x);
        out.push_back(v > ys[i] ? Extreme{x, v} : Extreme{xs[i], ys[i]});
    }
    return out;
}

}  // namespace

Readouts measureCurve(const ResponseCurve& curve, double start, double stop)
{
    if (stop < start)
        std::swap(start, stop);
    const double span = checked::finite(stop - start);
    const double tol = 1e-9 * span;
    const auto sweep = sweepFrequencies(start, stop);
    std::vector<double> f(sweep.begin(), sweep.end());
    f.push_back(stop);
    for (double x : f)
        checked::finite(x);
    const int n = static_cast<int>(f.size());
    std::vector<double> level(n);
    curve.levels(f.data(), n, level.data());

    const Curve s21 = [&](double x) { return curve.s21db(x); };
    Readouts r;

    const int best = static_cast<int>(std::max_element(level.begin(), level.end()) - level.begin());
    double peakFreq = argMax(s21, f[std::max(best - 1, 0)], f[std::min(best + 1, n - 1)], tol);
    double peak = s21(peakFreq);
    if (level[best] >= peak)
        peakFreq = f[best], peak = level[best];
    r.peakFreq = peakFreq;
    r.insertionLossDb = -peak;

    for (std::size_t k = 0; k < Readouts::kLevels.size(); ++k) {
        const double target = peak - Readouts::kLevels[k];
        Readouts::Band& band = r.bands[k];
        double above = peakFreq;
        for (int i = n - 1; i >= 0; --i) {
            if (f[i] >= peakFreq)
                continue;
            if (level[i] < target) {
                band.low = crossing(s21, target, f[i], above, tol);
                break;
            }
            above = f[i];
        }
        above = peakFreq;
        for (int i = 0; i < n; ++i) {
            if (f[i] <= peakFreq)
                continue;
            if (level[i] < target) {
                band.high = crossing(s21, target, f[i], above, tol);
                break;
            }
            above = f[i];
        }
        if (band.low && band.high)
            band.width = *band.high - *band.low;
    }
    const Readouts::Band& b3 = r.bands[0];
    const Readouts::Band& b6 = r.bands[1];
    const Readouts::Band& b60 = r.bands[4];
    if (b3.low && b3.high)
        r.centre3 = *b3.low + (*b3.high - *b3.low) / 2;
    if (b60.width && b6.width)
        r.shape60to6 = checked::finite(checked::div(*b60.width, *b6.width));

    // The pass band: between the 3 dB edges, or the range's end where an edge is missing.
    const double lo = b3.low.value_or(start), hi = b3.high.value_or(stop);
    std::vector<double> xs{lo};
    for (double x : f)
        if (x > lo && x < hi)
            xs.push_back(x);
    xs.push_back(hi);
    if (peakFreq > lo && peakFreq < hi) {
        xs.push_back(peakFreq);
        std::sort(xs.begin(), xs.end());
    }
    std::vector<double> lv, s11, delay;
    std::vector<ResponseCurve::Point> points(xs.size());
    curve.points(xs.data(), static_cast<int>(xs.size()), points.data());
    for (const ResponseCurve::Point& p : points) {
        lv.push_back(p.s21db);
        s11.push_back(p.s11db);
        delay.push_back(p.delay);
    }
    auto negated = [](std::vector<double> v) {
        for (double& x : v)
            x = -x;
        return v;
    };

    // Ripple: from the lowest to the highest local maximum, the highest level minus the lowest.
    const auto maxima = peaks(s21, xs, lv, tol);
    if (maxima.size() >= 2) {
        double top = maxima.front().value;
        for (const auto& e : maxima)
            top = std::max(top, e.value);
        const Curve down = [&](double x) { return -s21(x); };
        double bottom = top;
        for (const auto& e : peaks(down, xs, negated(lv), tol))
            if (e.at > maxima.front().at && e.at < maxima.back().at)
                bottom = std::min(bottom, -e.value);
        r.rippleDb = top - bottom;
    }

    // The worst match in the band is the highest |S11|.
    const Curve s11Db = [&](double x) { return curve.s11db(x); };
    double worst = *std::max_element(s11.begin(), s11.end());
    for (const auto& e : peaks(s11Db, xs, s11, tol))
        worst = std::max(worst, e.value);
    r.returnLossDb = -worst;

    const Curve tau = [&](double x) { return curve.delay(x); };
    const Curve negTau = [&](double x) { return -curve.delay(x); };
    r.delayMax = *std::max_element(delay.begin(), delay.end());
    r.delayMin = *std::min_element(delay.begin(), delay.end());
    for (const auto& e : peaks(tau, xs, delay, tol))
        r.delayMax = std::max(r.delayMax, e.value);
    for (const auto& e : peaks(negTau, xs, negated(delay), tol))
        r.delayMin = std::min(r.delayMin, -e.value);
    if (r.centre3)
        r.delayCentre = curve.point(*r.centre3).delay;
    return r;
}

namespace {

// The engine: the sweep kernel for the coarse look, one walk per refining step.
class EngineCurve : public ResponseCurve {
public:
    EngineCurve(const Model& m, const SolvedPoints* solved) : m_(m), solved_(solved) {}
    void levels(const double* f, int n, double* out) const override
    {
        solveSweep(m_, f, n, [&](int i, const Solution& s) { out[i] = s.s21db; });
        sweep_.assign(f, f + n);
        sweepLevels_.assign(out, out + n);
    }
    double s21db(double f) const override { return solveLadder(m_, f).s21db; }
    double s11db(double f) const override { return magnitudeDb(solveTwoPort(m_, f).s11); }
    double delay(double f) const override { return solveTwoPort(m_, f).delay; }
    // One solve, with the levels' own errors first.
    Point point(double f) const override
    {
        const auto level = find(sweep_, f);
        const auto solved = solved_ ? find(solved_->freq, f) : std::nullopt;
        if (level && solved) {
            const TwoPort& t = solved_->twoPort[*solved];
            return {sweepLevels_[*level], magnitudeDb(t.s11), t.delay};
        }
        const Response r = solveResponse(m_, f);
        return {r.levels.s21db, magnitudeDb(r.twoPort.s11), r.twoPort.delay};
    }
    // Points already solved come from the caches; the rest go through the response kernel
    // in one batch, which gives the same results as point() one by one.
    void points(const double* f, int n, Point* out) const override
    {
        std::vector<double> rest;
        std::vector<int> where;
        for (int i = 0; i < n; ++i) {
            const auto level = find(sweep_, f[i]);
            const auto solved = solved_ ? find(solved_->freq, f[i]) : std::nullopt;
            if (level && solved) {
                const TwoPort& t = solved_->twoPort[*solved];
                out[i] = {sweepLevels_[*level], magnitudeDb(t.s11), t.delay};
            } else {
                rest.push_back(f[i]);
                where.push_back(i);
            }
        }
        solveResponseSweep(m_, rest.data(), static_cast<int>(rest.size()), [&](int k, const Response& r) {
            out[where[k]] = {r.levels.s21db, magnitudeDb(r.twoPort.s11), r.twoPort.delay};
        });
    }

private:
    static std::optional<std::size_t> find(const std::vector<double>& fs, double f)
    {
        const auto it = std::lower_bound(fs.begin(), fs.end(), f);
        if (it != fs.end() && *it == f)
            return std::size_t(it - fs.begin());
        return std::nullopt;
    }

    const Model& m_;
    const SolvedPoints* solved_;
    mutable std::vector<double> sweep_, sweepLevels_;
};

}  // namespace

Readouts measureResponse(const Model& m, double start, double stop)
{
    return measureCurve(EngineCurve(m, nullptr), start, stop);
}

Readouts measureResponse(const Model& m, double start, double stop, const SolvedPoints& solved)
{
    return measureCurve(EngineCurve(m, &solved), start, stop);
}

double interpolate(const std::vector<double>& xs, const std::vector<double>& ys, double x)
{
    if (xs.empty() || ys.size() != xs.size())
        return 0;
    if (!(x > xs.front()))
        return ys.front();
    if (!(x < xs.back()))
        return ys.back();
    const std::size_t i = std::upper_bound(xs.begin(), xs.end(), x) - xs.begin();
    const double t = (x - xs[i - 1]) / (xs[i] - xs[i - 1]);
    return ys[i - 1] + t * (ys[i] - ys[i - 1]);
}

void SampledResponse::levels(const double* f, int n, double* out) const
{
    for (int i = 0; i < n; ++i)
        out[i] = s21db(f[i]);
}

double SampledResponse::s21db(double f) const { return interpolate(freq, s21db_, f); }
double SampledResponse::s11db(double f) const { return interpolate(freq, s11db_, f); }
double SampledResponse::delay(double f) const { return interpolate(delayFreq, delay_, f); }

std::vector<ReadoutValue> readoutValues(const Readouts& r, const std::string& frequnit)
{
    std::vector<ReadoutValue> out;
    out.push_back({"peak_freq", r.peakFreq, frequnit});
    out.push_back({"insertion_loss_db", r.insertionLossDb, "dB"});
    for (std::size_t k = 0; k < Readouts::kLevels.size(); ++k) {
        const std::string x = std::to_string(Readouts::kLevels[k]);
        out.push_back({"low_" + x, r.bands[k].low, frequnit});
        out.push_back({"high_" + x, r.bands[k].high, frequnit});
        out.push_back({"bw_" + x, r.bands[k].width, frequnit});
    }
    out.push_back({"centre_3", r.centre3, frequnit});
    out.push_back({"shape_60_6", r.shape60to6, "1"});
    out.push_back({"ripple_db", r.rippleDb, "dB"});
    out.push_back({"return_loss_db", r.returnLossDb, "dB"});
    out.push_back({"delay_centre_s", r.delayCentre, "s"});
    out.push_back({"delay_min_s", r.delayMin, "s"});
    out.push_back({"delay_max_s", r.delayMax, "s"});
    return out;
}

std::string readoutsCsv(const Readouts& r, const std::string& frequnit)
{
    std::string out;
    for (const ReadoutValue& v : readoutValues(r, frequnit)) {
        out += v.quantity;
        out += ',';
        if (v.value)
            appendG17(out, *v.value);
        else
            out += "none";
        out += ',';
        out += v.unit;
        out += '\n';
    }
    return out;
}
