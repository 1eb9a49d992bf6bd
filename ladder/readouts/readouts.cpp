#include "ladder/readouts/readouts.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "ladder/sweep_grid.h"
#include "common/checkedmath.h"
#include "ladder/engine.h"
#include "ladder/readouts/search_core.h"
#include "common/numtext.h"
#include "ladder/twoport.h"

namespace {

using search_core::Extreme;
using search_core::negated;

// Enough for any bracket to shrink from a whole span to 1e-9 of it, with room to spare;
// also ends the search where the bracket cannot shrink any further.
constexpr int kMaxSteps = 200;

// What a refining search reads off the curve.
enum class Quantity { S21, NegS21, S11, Delay, NegDelay };

// A refining search that asks for one value at a time, so that many searches can have
// their points solved together in one batch.
class Search {
public:
    explicit Search(Quantity q) : quantity(q) {}
    virtual ~Search() = default;
    virtual bool done() const = 0;
    virtual double next() const = 0;  // the frequency whose value it needs
    virtual void take(double value) = 0;

    const Quantity quantity;
};
using Searches = std::vector<std::unique_ptr<Search>>;

// Golden-section search for the highest value on [a, b], to within tol.
class ArgMax final : public Search {
public:
    ArgMax(Quantity q, double a, double b, double tol)
        : Search(q), a_(a), b_(b), c_(b - kR * (b - a)), d_(a + kR * (b - a)), tol_(tol)
    {
    }
    bool done() const override { return want_ == Want::Nothing; }
    double next() const override { return want_ == Want::C ? c_ : d_; }
    void take(double value) override
    {
        (want_ == Want::C ? gc_ : gd_) = value;
        if (!started_) {  // the first two points: c, then d
            started_ = want_ == Want::D;
            if (!started_) {
                want_ = Want::D;
                return;
            }
        }
        if (!(steps_ < kMaxSteps && b_ - a_ > tol_)) {
            want_ = Want::Nothing;
            return;
        }
        ++steps_;
        if (gc_ >= gd_) {
            b_ = d_, d_ = c_, gd_ = gc_;
            c_ = b_ - kR * (b_ - a_), want_ = Want::C;
        } else {
            a_ = c_, c_ = d_, gc_ = gd_;
            d_ = a_ + kR * (b_ - a_), want_ = Want::D;
        }
    }
    double at() const { return gc_ >= gd_ ? c_ : d_; }
    double value() const { return gc_ >= gd_ ? gc_ : gd_; }

private:
    static constexpr double kR = 0.6180339887498949;
    enum class Want { C, D, Nothing };
    double a_, b_, c_, d_, gc_ = 0, gd_ = 0;
    double tol_;
    int steps_ = 0;
    bool started_ = false;
    Want want_ = Want::C;
};

// Where the value crosses `level` between `below` (value < level) and `above` (value >=
// level), by bisection.
class Crossing final : public Search {
public:
    Crossing(Quantity q, double level, double below, double above, double tol)
        : Search(q), level_(level), below_(below), above_(above), tol_(tol)
    {
    }
    bool done() const override { return !(steps_ < kMaxSteps && std::abs(above_ - below_) > tol_); }
    double next() const override { return below_ + (above_ - below_) / 2; }
    void take(double value) override
    {
        (value < level_ ? below_ : above_) = next();
        ++steps_;
    }
    double at() const { return next(); }

private:
    double level_, below_, above_, tol_;
    int steps_ = 0;
};

double valueAt(const ResponseCurve& curve, Quantity q, double f)
{
    switch (q) {
    case Quantity::S21: return curve.s21db(f);
    case Quantity::NegS21: return -curve.s21db(f);
    case Quantity::S11: return curve.s11db(f);
    case Quantity::Delay: return curve.delay(f);
    case Quantity::NegDelay: return -curve.delay(f);
    }
    return 0;
}

// One search after the other, one point at a time.
void refineInTurn(const ResponseCurve& curve, const Searches& searches)
{
    for (const auto& s : searches)
        while (!s->done())
            s->take(valueAt(curve, s->quantity, s->next()));
}

// Side by side: each round solves the next point of every search still running, the levels
// in one batch and the two-port points in another.
void refineTogether(const ResponseCurve& curve, const Searches& searches)
{
    std::vector<double> levelFreq, levels, pointFreq;
    std::vector<Search*> levelOf, pointOf;
    std::vector<ResponseCurve::Point> points;
    for (;;) {
        levelFreq.clear(), levelOf.clear(), pointFreq.clear(), pointOf.clear();
        for (const auto& s : searches) {
            if (s->done())
                continue;
            const bool level = s->quantity == Quantity::S21 || s->quantity == Quantity::NegS21;
            (level ? levelFreq : pointFreq).push_back(s->next());
            (level ? levelOf : pointOf).push_back(s.get());
        }
        if (levelFreq.empty() && pointFreq.empty())
            return;
        levels.resize(levelFreq.size());
        curve.s21dbAt(levelFreq.data(), static_cast<int>(levelFreq.size()), levels.data());
        points.resize(pointFreq.size());
        curve.points(pointFreq.data(), static_cast<int>(pointFreq.size()), points.data());
        for (std::size_t i = 0; i < levelOf.size(); ++i)
            levelOf[i]->take(levelOf[i]->quantity == Quantity::S21 ? levels[i] : -levels[i]);
        for (std::size_t i = 0; i < pointOf.size(); ++i) {
            const ResponseCurve::Point& p = points[i];
            const Quantity q = pointOf[i]->quantity;
            pointOf[i]->take(q == Quantity::S11 ? p.s11db : q == Quantity::Delay ? p.delay : -p.delay);
        }
    }
}

// The searches that `make` sets up, run side by side. Every point has the value it would
// have alone, so the answers are those of running them one after the other. Where a batch
// fails they do run one after the other, from the start: then the error is the one a
// single-point search meets first, in the order the searches were made.
template <class Make>
Searches refine(const ResponseCurve& curve, const Make& make)
{
    Searches searches = make();
    try {
        refineTogether(curve, searches);
    } catch (const FloatError&) {
        searches = make();
        refineInTurn(curve, searches);
    }
    return searches;
}

// The points of ys that peak among their neighbours.
std::vector<int> peakIndices(const std::vector<double>& ys)
{
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(ys.size()); ++i)
        if (search_core::isPeak(ys, i))
            out.push_back(i);
    return out;
}

// A search for the peak around each of `at` between its neighbours in xs.
void addPeakSearches(Searches& out, Quantity q, const std::vector<double>& xs, const std::vector<int>& at, double tol)
{
    const int n = static_cast<int>(xs.size());
    for (int i : at)
        out.push_back(std::make_unique<ArgMax>(q, xs[std::max(i - 1, 0)], xs[std::min(i + 1, n - 1)], tol));
}

// The refined peaks, searches[first..) for the points `at`: the search's answer where it
// beats the sample, else the sample.
std::vector<Extreme> extremes(const Searches& searches, std::size_t first, const std::vector<double>& xs,
                              const std::vector<double>& ys, const std::vector<int>& at)
{
    std::vector<Extreme> out;
    for (std::size_t k = 0; k < at.size(); ++k) {
        const auto& s = static_cast<const ArgMax&>(*searches[first + k]);
        const int i = at[k];
        out.push_back(s.value() > ys[i] ? Extreme{s.at(), s.value()} : Extreme{xs[i], ys[i]});
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

    Readouts r;

    const int best = static_cast<int>(std::max_element(level.begin(), level.end()) - level.begin());
    const auto peakSearch = refine(curve, [&] {
        Searches s;
        s.push_back(std::make_unique<ArgMax>(Quantity::S21, f[std::max(best - 1, 0)], f[std::min(best + 1, n - 1)], tol));
        return s;
    });
    const auto& top = static_cast<const ArgMax&>(*peakSearch.front());
    double peakFreq = top.at();
    double peak = top.value();
    if (level[best] >= peak)
        peakFreq = f[best], peak = level[best];
    r.peakFreq = peakFreq;
    r.insertionLossDb = -peak;

    const auto edges = search_core::edgeBrackets(f, level, peakFreq, peak);
    const auto edgeSearches = refine(curve, [&] {
        Searches s;
        for (const auto& e : edges)
            s.push_back(std::make_unique<Crossing>(Quantity::S21, peak - Readouts::kLevels[e.band], e.below, e.above, tol));
        return s;
    });
    for (std::size_t j = 0; j < edges.size(); ++j) {
        const double at = static_cast<const Crossing&>(*edgeSearches[j]).at();
        (edges[j].low ? r.bands[edges[j].band].low : r.bands[edges[j].band].high) = at;
    }
    search_core::finishBands(r);
    const Readouts::Band& b3 = r.bands[0];

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

    // Every peak and dip in the band refined at once: the ripple's maxima (and its minima
    // where there are two maxima), the highest |S11|, the delay's maxima and minima.
    const auto maxAt = peakIndices(lv);
    const auto minAt = maxAt.size() >= 2 ? peakIndices(negated(lv)) : std::vector<int>{};
    const auto s11At = peakIndices(s11);
    const auto delayMaxAt = peakIndices(delay);
    const auto delayMinAt = peakIndices(negated(delay));
    const auto bandSearches = refine(curve, [&] {
        Searches s;
        addPeakSearches(s, Quantity::S21, xs, maxAt, tol);
        addPeakSearches(s, Quantity::NegS21, xs, minAt, tol);
        addPeakSearches(s, Quantity::S11, xs, s11At, tol);
        addPeakSearches(s, Quantity::Delay, xs, delayMaxAt, tol);
        addPeakSearches(s, Quantity::NegDelay, xs, delayMinAt, tol);
        return s;
    });
    std::size_t first = 0;
    auto next = [&](const std::vector<double>& ys, const std::vector<int>& at) {
        auto out = extremes(bandSearches, first, xs, ys, at);
        first += at.size();
        return out;
    };
    const auto maxima = next(lv, maxAt);
    const auto minima = next(negated(lv), minAt);
    const auto s11Peaks = next(s11, s11At);
    const auto delayMaxima = next(delay, delayMaxAt);
    const auto delayMinima = next(negated(delay), delayMinAt);

    r.rippleDb = search_core::rippleDb(maxima, minima);

    // The worst match in the band is the highest |S11|.
    double worst = *std::max_element(s11.begin(), s11.end());
    for (const auto& e : s11Peaks)
        worst = std::max(worst, e.value);
    r.returnLossDb = -worst;

    r.delayMax = *std::max_element(delay.begin(), delay.end());
    r.delayMin = *std::min_element(delay.begin(), delay.end());
    for (const auto& e : delayMaxima)
        r.delayMax = std::max(r.delayMax, e.value);
    for (const auto& e : delayMinima)
        r.delayMin = std::min(r.delayMin, -e.value);
    if (r.centre3)
        r.delayCentre = curve.point(*r.centre3).delay;
    return r;
}

namespace {

// The engine: the sweep kernel for the coarse look, one walk per refining step.
class EngineCurve : public ResponseCurve {
public:
    EngineCurve(const Circuit& m, const SolvedPoints* solved) : m_(m), solved_(solved) {}
    void levels(const double* f, int n, double* out) const override
    {
        // The leading points the delay curve solved already; the sweep solves the rest.
        int known = 0;
        if (solved_ && solved_->s21db.size() == solved_->freq.size())
            while (known < n && known < int(solved_->freq.size()) && f[known] == solved_->freq[std::size_t(known)]) {
                out[known] = solved_->s21db[std::size_t(known)];
                ++known;
            }
        if (!sweepPlan_)
            sweepPlan_.emplace(m_);
        solveSweep(*sweepPlan_, m_, f + known, n - known, [&](int i, const Solution& s) { out[known + i] = s.s21db; });
        sweep_.assign(f, f + n);
        sweepLevels_.assign(out, out + n);
    }
    double s21db(double f) const override { return solveLadder(m_, f).s21db; }
    void s21dbAt(const double* f, int n, double* out) const override
    {
        if (!sweepPlan_)
            sweepPlan_.emplace(m_);
        solveSweep(*sweepPlan_, m_, f, n, [&](int i, const Solution& s) { out[i] = s.s21db; });
    }
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
        if (rest.empty())
            return;
        if (!responsePlan_)
            responsePlan_.emplace(m_);
        solveResponseSweep(*responsePlan_, m_, rest.data(), static_cast<int>(rest.size()), [&](int k, const Response& r) {
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

    const Circuit& m_;
    const SolvedPoints* solved_;
    mutable std::vector<double> sweep_, sweepLevels_;
    // Made at the first batch: the refining searches solve many small ones.
    mutable std::optional<engine::SweepPlan> sweepPlan_;
    mutable std::optional<engine::ResponsePlan> responsePlan_;
};

}  // namespace

Readouts measureResponse(const Circuit& m, double start, double stop)
{
    return measureCurve(EngineCurve(m, nullptr), start, stop);
}

Readouts measureResponse(const Circuit& m, double start, double stop, const SolvedPoints& solved)
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
