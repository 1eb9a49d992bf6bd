#include "ladder/readouts/sweep_readouts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ladder/sweep_grid.h"
#include "common/checkedmath.h"
#include "ladder/readouts/search_core.h"
#include "ladder/twoport.h"
#include "ladder/walk.h"

namespace {

// Brent's methods converge in a handful of steps on these smooth curves; the cap only
// guards against a curve that never settles.
constexpr int kMaxSteps = 100;
constexpr double kEps = std::numeric_limits<double>::epsilon();

using search_core::Extreme;
using search_core::negated;

// Brent's minimiser, turned to find the highest value of g on [a, b], starting from a point
// x in [a, b] whose value gx is already known. Parabolic steps where the curve allows them,
// golden sections where it does not.
template <class Curve>
Extreme maximize(const Curve& g, double a, double b, double x, double gx, double tol)
{
    constexpr double golden = 0.3819660112501051;  // (3 - sqrt 5) / 2
    double fx = -gx;
    double w = x, v = x, fw = fx, fv = fx;
    double d = 0, e = 0;
    for (int i = 0; i < kMaxSteps; ++i) {
        const double mid = a + (b - a) / 2;
        const double tol1 = std::sqrt(kEps) * std::abs(x) + tol / 3;
        const double tol2 = 2 * tol1;
        if (std::abs(x - mid) <= tol2 - (b - a) / 2)
            break;
        bool parabolic = false;
        if (std::abs(e) > tol1) {
            const double r = (x - w) * (fx - fv);
            double q = (x - v) * (fx - fw);
            double p = (x - v) * q - (x - w) * r;
            q = 2 * (q - r);
            if (q > 0)
                p = -p;
            else
                q = -q;
            const double previous = e;
            if (std::abs(p) < std::abs(q * previous / 2) && p > q * (a - x) && p < q * (b - x)) {
                e = d;
                d = p / q;
                const double u = x + d;
                if (u - a < tol2 || b - u < tol2)
                    d = x < mid ? tol1 : -tol1;
                parabolic = true;
            }
        }
        if (!parabolic) {
            e = (x >= mid ? a : b) - x;
            d = golden * e;
        }
        const double u = std::abs(d) >= tol1 ? x + d : x + (d > 0 ? tol1 : -tol1);
        const double fu = -g(u);
        if (fu <= fx) {
            (u >= x ? a : b) = x;
            v = w, fv = fw;
            w = x, fw = fx;
            x = u, fx = fu;
        } else {
            (u < x ? a : b) = u;
            if (fu <= fw || w == x) {
                v = w, fv = fw;
                w = u, fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u, fv = fu;
            }
        }
    }
    return {x, -fx};
}

// Brent's root finder for where g crosses `level` between `below` (g < level) and `above`
// (g >= level), the values there known.
template <class Curve>
double crossing(const Curve& g, double level, double below, double gBelow, double above, double gAbove,
                double tol)
{
    double a = below, fa = gBelow - level;
    double b = above, fb = gAbove - level;
    double c = a, fc = fa;
    double d = b - a, e = d;
    for (int i = 0; i < kMaxSteps; ++i) {
        if ((fb > 0 && fc > 0) || (fb < 0 && fc < 0)) {
            c = a, fc = fa;
            d = e = b - a;
        }
        if (std::abs(fc) < std::abs(fb)) {
            a = b, b = c, c = a;
            fa = fb, fb = fc, fc = fa;
        }
        const double tol1 = 2 * kEps * std::abs(b) + tol / 2;
        const double xm = (c - b) / 2;
        if (std::abs(xm) <= tol1 || fb == 0)
            return b;
        if (std::abs(e) >= tol1 && std::abs(fa) > std::abs(fb)) {
            const double s = fb / fa;
            double p, q;
            if (a == c) {
                p = 2 * xm * s;
                q = 1 - s;
            } else {
                const double qa = fa / fc, r = fb / fc;
                p = s * (2 * xm * qa * (qa - r) - (b - a) * (r - 1));
                q = (qa - 1) * (r - 1) * (s - 1);
            }
            if (p > 0)
                q = -q;
            p = std::abs(p);
            if (2 * p < std::min(3 * xm * q - std::abs(tol1 * q), std::abs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = xm, e = d;
            }
        } else {
            d = xm, e = d;
        }
        a = b, fa = fb;
        b += std::abs(d) > tol1 ? d : (xm > 0 ? tol1 : -tol1);
        fb = g(b) - level;
    }
    return b;
}

// The points of xs where ys peaks among its neighbours (an end counts when it beats its one
// neighbour), each refined on g; the refined value only where it beats the sweep's. Only
// the peaks strictly between `from` and `to` are wanted.
template <class Curve>
std::vector<Extreme> peaks(const Curve& g, const std::vector<double>& xs, const std::vector<double>& ys,
                           double tol, double from = -HUGE_VAL, double to = HUGE_VAL)
{
    std::vector<Extreme> out;
    const int n = static_cast<int>(xs.size());
    for (int i = 0; i < n; ++i) {
        if (!(xs[i] > from && xs[i] < to))
            continue;
        if (!search_core::isPeak(ys, i))
            continue;
        const double a = xs[std::max(i - 1, 0)], b = xs[std::min(i + 1, n - 1)];
        const Extreme e = maximize(g, a, b, xs[i], ys[i], tol);
        out.push_back(e.value > ys[i] ? e : Extreme{xs[i], ys[i]});
    }
    return out;
}

}  // namespace

SweptLevels readoutSweep(double start, double stop)
{
    if (stop < start)
        std::swap(start, stop);
    checked::finite(stop - start);
    const auto grid = sweepFrequencies(start, stop);
    SweptLevels s;
    s.start = start;
    s.stop = stop;
    s.freq.assign(grid.begin(), grid.end());
    s.freq.push_back(stop);
    s.level.resize(s.freq.size());
    return s;
}

void solveLevels(const Circuit& m, SweptLevels& sweep)
{
    solveSweep(m, sweep.freq.data(), static_cast<int>(sweep.freq.size()),
               [&](int i, const Solution& s) { sweep.level[i] = s; });
}

bool addInputBridge(Circuit& m)
{
    const int count = std::clamp(m.partcount, 0, kMaxParts);
    // Other connection texts can leave the walk in admittance form at the source end, where
    // a bridge would not see the input impedance.
    for (int n = 1; n <= count; ++n)
        if (!engine::isSer(m.part(n).partconn) && !engine::isPar(m.part(n).partconn))
            return false;
    if (count > 0 && m.part(count).partcode == kRlb && engine::isSer(m.part(count).partconn))
        return true;
    if (count == kMaxParts)
        return false;
    // A series entry after the last part leaves every turn-over of the walk where it was:
    // the walk turns before it exactly when it turned before the source resistance. Its
    // value stays, for a duplicate that names the entry.
    m.partcount = count + 1;
    m.setKind(count + 1, "rlb");
    m.part(count + 1).partconn = "ser";
    return true;
}

Readouts readoutsFromSweep(const Circuit& m, const SweptLevels& sweep, bool inputS11)
{
    const std::vector<double>& f = sweep.freq;
    const int n = static_cast<int>(f.size());
    const double tol = 1e-9 * (sweep.stop - sweep.start);
    std::vector<double> level(n);
    for (int i = 0; i < n; ++i)
        level[i] = sweep.level[i].s21db;

    const auto s21 = [&](double x) { return solveLadder(m, x).s21db; };
    const auto s11 = [&](double x) {
        return inputS11 ? solveLadder(m, x).s11db : magnitudeDb(solveTwoPort(m, x).s11);
    };
    Readouts r;

    const int best = static_cast<int>(std::max_element(level.begin(), level.end()) - level.begin());
    const Extreme top =
        maximize(s21, f[std::max(best - 1, 0)], f[std::min(best + 1, n - 1)], f[best], level[best], tol);
    const double peakFreq = top.value > level[best] ? top.at : f[best];
    const double peak = std::max(top.value, level[best]);
    r.peakFreq = peakFreq;
    r.insertionLossDb = -peak;

    for (const auto& e : search_core::edgeBrackets(f, level, peakFreq, peak)) {
        const double at = crossing(s21, peak - Readouts::kLevels[e.band], e.below, e.levelBelow, e.above, e.levelAbove, tol);
        (e.low ? r.bands[e.band].low : r.bands[e.band].high) = at;
    }
    search_core::finishBands(r);
    const Readouts::Band& b3 = r.bands[0];

    // The pass band: between the 3 dB edges, or the range's end where an edge is missing.
    // The sweep's own points keep their levels; only the edges and the peak are solved.
    const double lo = b3.low.value_or(sweep.start), hi = b3.high.value_or(sweep.stop);
    std::vector<double> xs, lv, rv;
    auto addSolved = [&](double x) {
        const Solution s = solveLadder(m, x);
        xs.push_back(x);
        lv.push_back(s.s21db);
        rv.push_back(inputS11 ? s.s11db : s11(x));
    };
    addSolved(lo);
    const bool peakInside = peakFreq > lo && peakFreq < hi;
    for (int i = 0; i < n; ++i) {
        if (!(f[i] > lo && f[i] < hi))
            continue;
        if (peakInside && peakFreq < f[i] && xs.back() < peakFreq)
            addSolved(peakFreq);
        xs.push_back(f[i]);
        lv.push_back(level[i]);
        rv.push_back(inputS11 ? sweep.level[i].s11db : s11(f[i]));
    }
    if (peakInside && xs.back() < peakFreq)
        addSolved(peakFreq);
    addSolved(hi);

    // Only the dips between the outer maxima count; the band's edges are no dips.
    const auto maxima = peaks(s21, xs, lv, tol);
    if (maxima.size() >= 2) {
        const auto down = [&](double x) { return -s21(x); };
        r.rippleDb = search_core::rippleDb(
            maxima, peaks(down, xs, negated(lv), tol, maxima.front().at, maxima.back().at));
    }

    // The worst match in the band is the highest |S11|.
    double worst = *std::max_element(rv.begin(), rv.end());
    for (const auto& e : peaks(s11, xs, rv, tol))
        worst = std::max(worst, e.value);
    r.returnLossDb = -worst;
    return r;
}
