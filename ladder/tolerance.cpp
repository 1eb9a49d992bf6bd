#include "ladder/tolerance.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <random>
#include <thread>

#include "ladder/sweep_grid.h"
#include "common/errors.h"
#include "common/numtext.h"
#include "ladder/readouts/sweep_readouts.h"

namespace tolerance {

namespace {

// Mixes the seed and the trial number into the trial's own generator seed, so that every
// trial has its own stream whichever thread runs it (SplitMix64's finaliser).
std::uint64_t mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Our own distributions on mt19937_64, whose sequence the standard fixes: the library's
// distributions are free to differ between implementations.
class Draws {
public:
    Draws(std::uint64_t seed, int trial) : gen_(mix(mix(seed) ^ static_cast<std::uint64_t>(trial))) {}

    // Uniform on [0, 1), from the top 53 bits.
    double unit() { return static_cast<double>(gen_() >> 11) * 0x1p-53; }
    // Uniform on [-1, 1).
    double symmetric() { return 2 * unit() - 1; }
    // Standard normal, by Marsaglia's polar method.
    double normal()
    {
        for (;;) {
            const double u = symmetric(), v = symmetric();
            const double s = u * u + v * v;
            if (s > 0 && s < 1)
                return u * std::sqrt(-2 * std::log(s) / s);
        }
    }

private:
    std::mt19937_64 gen_;
};

int partsIn(const Circuit& m) { return std::clamp(m.partcount, 0, kMaxParts); }

bool isDuplicate(int code) { return code == kDupCap || code == kDupInd || code == kDupRes; }

// The entry a duplicate names, or 0 where it names none (it then reads 0).
int namedEntry(const Part& duplicate)
{
    const double ref = duplicate.partvalue;
    return ref >= 1.0 && ref < kMaxParts + 1.0 ? static_cast<int>(ref) : 0;
}

// The k lowest of the values pushed, kept exactly, whatever the order they come in: enough
// for the percentiles near one end without holding every trial's trace. A max-heap, so
// that most values, once it is full, cost one comparison with its top.
class LowestValues {
public:
    explicit LowestValues(std::size_t k) : k_(k) { kept_.reserve(k); }

    void push(double v)
    {
        if (kept_.size() < k_) {
            kept_.push_back(v);
            std::push_heap(kept_.begin(), kept_.end());
        } else if (v < kept_.front()) {
            std::pop_heap(kept_.begin(), kept_.end());
            kept_.back() = v;
            std::push_heap(kept_.begin(), kept_.end());
        }
    }
    std::vector<double> sorted() const
    {
        std::vector<double> out = kept_;
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::size_t k_;
    std::vector<double> kept_;
};

// The p-th percentile of n sorted values, reading value j through at(j).
template <class At>
double interpolate(int n, int percent, const At& at)
{
    const long long pos = static_cast<long long>(n - 1) * percent;
    const int i = static_cast<int>(pos / 100);
    const int rest = static_cast<int>(pos % 100);
    const double low = at(i);
    if (rest == 0)
        return low;
    return low + (at(i + 1) - low) * (rest / 100.0);
}

// How many values at each end the envelope keeps for n trials: the minimum and the 5th
// percentile's two neighbours, the maximum and the 95th's.
int lowKept(int n) { return std::min(n, (n - 1) * 5 / 100 + 2); }
int highKept(int n) { return std::min(n, n - (n - 1) * 95 / 100); }

struct Envelope {
    explicit Envelope(int trials)
    {
        low.reserve(kSweepPoints);
        high.reserve(kSweepPoints);
        for (int i = 0; i < kSweepPoints; ++i) {
            low.emplace_back(lowKept(trials));
            high.emplace_back(highKept(trials));
        }
    }
    // Highest values kept as the lowest of the negated ones.
    std::vector<LowestValues> low, high;
};

constexpr int kTrialsPerBlock = 8;

}  // namespace

std::uint64_t readSeed(const std::string& text)
{
    std::uint64_t seed = 0;
    bool ok = !text.empty();
    for (char c : text) {
        if (c < '0' || c > '9') {
            ok = false;
            break;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (seed > (UINT64_MAX - digit) / 10) {
            ok = false;
            break;
        }
        seed = seed * 10 + digit;
    }
    if (!ok)
        throw ConvertError("'" + text + "' is not a valid seed: give a whole number from 0 to 18446744073709551615");
    return seed;
}

void checkSettings(const Settings& s, const Circuit& nominal)
{
    if (s.trials < 1 || s.trials > kMaxTrials)
        throw AppError("The number of trials must be from 1 to 100000.");
    if (!(s.crystalHz >= 0 && s.crystalHz <= kMaxCrystalHz))
        throw AppError("The crystal spread must be from 0 to 100000 Hz.");
    if (!(s.capPercent >= 0 && s.capPercent <= kMaxPercent))
        throw AppError("The capacitor tolerance must be from 0 to 50 %.");
    if (!(s.indPercent >= 0 && s.indPercent <= kMaxPercent))
        throw AppError("The inductor tolerance must be from 0 to 50 %.");
    if (s.crystalHz > 0) {
        bool crystals = false;
        for (int n = 1; n <= partsIn(nominal); ++n)
            crystals = crystals || nominal.part(n).partcode == kXtl;
        if (!crystals)
            throw AppError("The circuit has no crystals to spread.");
    }
}

Circuit trialCircuit(const Circuit& nominal, const Settings& s, int trial)
{
    Draws draws(s.seed, trial);
    Circuit m = nominal;
    const int count = partsIn(nominal);
    const double capScale = s.capPercent / 100, indScale = s.indPercent / 100;

    // This trial's value of every entry, drawn in entry order; duplicates come after.
    std::array<double, kMaxParts + 2> value{};
    std::array<bool, kMaxParts + 2> drawn{};
    for (int n = 1; n <= kMaxParts; ++n)
        value[n] = nominal.part(n).partvalue;
    for (int n = 1; n <= count; ++n) {
        switch (nominal.part(n).partcode) {
        case kXtl:
            value[n] += s.crystalHz * (s.spread == CrystalSpread::Normal ? draws.normal() : draws.symmetric());
            break;
        case kCap:
            value[n] *= 1 + capScale * draws.symmetric();
            break;
        case kInd:
            value[n] *= 1 + indScale * draws.symmetric();
            break;
        default:
            continue;
        }
        drawn[n] = true;
    }

    // An entry without a draw of its own, named by duplicate capacitors or inductors: one
    // draw, shared by every duplicate that names it.
    std::array<std::optional<double>, kMaxParts + 2> shared{};
    for (int n = 1; n <= count; ++n) {
        const Part& p = nominal.part(n);
        if (!isDuplicate(p.partcode))
            continue;
        const int ref = namedEntry(p);
        double v = ref ? value[ref] : 0;
        if (ref && !drawn[ref] && p.partcode != kDupRes) {
            if (!shared[ref])
                shared[ref] = draws.symmetric();
            v *= 1 + (p.partcode == kDupCap ? capScale : indScale) * *shared[ref];
        }
        m.setKind(n, p.partcode == kDupCap ? "cap" : p.partcode == kDupInd ? "ind" : "res");
        m.part(n).partvalue = v;
    }
    for (int n = 1; n <= count; ++n)
        if (drawn[n])
            m.part(n).partvalue = value[n];
    return m;
}

const std::array<QuantityInfo, kQuantityCount>& quantityInfo()
{
    static const std::array<QuantityInfo, kQuantityCount> info{{
        {"peak_freq", "Peak frequency", true, ""},
        {"insertion_loss_db", "Insertion loss", false, "dB"},
        {"bw_3", "Bandwidth at -3 dB", true, ""},
        {"bw_6", "Bandwidth at -6 dB", true, ""},
        {"bw_20", "Bandwidth at -20 dB", true, ""},
        {"bw_40", "Bandwidth at -40 dB", true, ""},
        {"bw_60", "Bandwidth at -60 dB", true, ""},
        {"centre_3", "Centre (-3 dB)", true, ""},
        {"shape_60_6", "Shape factor 60/6 dB", false, ""},
        {"ripple_db", "Ripple", false, "dB"},
        {"return_loss_db", "Return loss", false, "dB"},
    }};
    return info;
}

TrialValues trialValues(const Readouts& r)
{
    TrialValues v;
    v[PeakFreq] = r.peakFreq;
    v[InsertionLoss] = r.insertionLossDb;
    for (int k = 0; k < 5; ++k)
        v[Bw3 + k] = r.bands[k].width;
    v[Centre3] = r.centre3;
    v[Shape60to6] = r.shape60to6;
    v[Ripple] = r.rippleDb;
    v[ReturnLoss] = r.returnLossDb;
    return v;
}

double percentile(const std::vector<double>& sorted, int percent)
{
    return interpolate(static_cast<int>(sorted.size()), percent, [&](int i) { return sorted[i]; });
}

Stats summarize(std::vector<double> values)
{
    Stats s;
    s.count = static_cast<int>(values.size());
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    // Sums of the differences from the lowest value: equal values give exactly that value
    // and an sd of exactly 0, and a large common offset costs no digits.
    const double base = values.front();
    double sum = 0;
    for (double v : values)
        sum += v - base;
    s.mean = base + sum / s.count;
    double squares = 0;
    for (double v : values)
        squares += (v - s.mean) * (v - s.mean);
    s.sd = s.count > 1 ? std::sqrt(squares / (s.count - 1)) : 0;
    s.min = values.front();
    s.max = values.back();
    s.p5 = percentile(values, 5);
    s.median = percentile(values, 50);
    s.p95 = percentile(values, 95);
    return s;
}

Result run(const Circuit& nominal, double start, double stop, const Settings& s, std::stop_token stop_token,
           const Progress& progress, int threads)
{
    checkSettings(s, nominal);
    Result result;
    result.settings = s;

    // Every trial ends in a bridge, so that its sweep also gives the input reflection.
    Circuit bridged = nominal;
    const bool inputS11 = addInputBridge(bridged);
    SweptLevels prototype = readoutSweep(start, stop);
    result.start = prototype.start;
    result.stop = prototype.stop;
    {
        SweptLevels sweep = prototype;
        solveLevels(bridged, sweep);
        result.nominal = readoutsFromSweep(bridged, sweep, inputS11);
    }

    const int total = s.trials;
    result.trials.resize(total);
    Envelope envelope(total);
    std::vector<std::string> failures(total);
    std::atomic<int> next = 0, done = 0, reported = -1;
    std::mutex merging;
    std::exception_ptr crash;

    auto worker = [&] {
        try {
            SweptLevels sweep = prototype;
            std::vector<double> levels;
            std::vector<int> finished;
            for (;;) {
                const int first = next.fetch_add(kTrialsPerBlock);
                if (first >= total)
                    return;
                const int last = std::min(first + kTrialsPerBlock, total);
                levels.clear();
                finished.clear();
                for (int t = first; t < last; ++t) {
                    if (stop_token.stop_requested())
                        return;
                    try {
                        const Circuit m = trialCircuit(bridged, s, t);
                        solveLevels(m, sweep);
                        result.trials[t] = trialValues(readoutsFromSweep(m, sweep, inputS11));
                        for (int i = 0; i < kSweepPoints; ++i)
                            levels.push_back(sweep.level[i].s21db);
                        finished.push_back(t);
                    } catch (const AppError& e) {
                        failures[t] = e.what();
                    }
                }
                {
                    const std::lock_guard lock(merging);
                    for (std::size_t j = 0; j < finished.size(); ++j)
                        for (int i = 0; i < kSweepPoints; ++i) {
                            const double v = levels[j * kSweepPoints + i];
                            envelope.low[i].push(v);
                            envelope.high[i].push(-v);
                        }
                }
                const int now = done += last - first;
                const int permille = static_cast<int>(1000LL * now / total);
                int before = reported.load();
                while (permille > before && !reported.compare_exchange_weak(before, permille)) {
                }
                if (permille > before && progress)
                    progress(now, total);
            }
        } catch (...) {
            const std::lock_guard lock(merging);
            if (!crash)
                crash = std::current_exception();
        }
    };
    {
        unsigned count = threads > 0 ? static_cast<unsigned>(threads) : std::thread::hardware_concurrency();
        count = std::clamp(count, 1u, static_cast<unsigned>((total + kTrialsPerBlock - 1) / kTrialsPerBlock));
        std::vector<std::jthread> pool;
        for (unsigned i = 0; i < count; ++i)
            pool.emplace_back(worker);
    }
    if (crash)
        std::rethrow_exception(crash);
    if (stop_token.stop_requested() && done.load() < total) {
        result.cancelled = true;
        return result;
    }

    for (int t = 0; t < total; ++t) {
        if (result.trials[t])
            continue;
        if (result.failed++ == 0) {
            result.firstFailedTrial = t;
            result.firstFailure = failures[t];
        }
    }
    for (int q = 0; q < kQuantityCount; ++q) {
        std::vector<double> values;
        for (const auto& trial : result.trials)
            if (trial && (*trial)[q])
                values.push_back(*(*trial)[q]);
        result.stats[q] = summarize(std::move(values));
    }
    const int completed = total - result.failed;
    if (completed > 0) {
        result.envelope.resize(kSweepPoints);
        for (int i = 0; i < kSweepPoints; ++i) {
            const std::vector<double> low = envelope.low[i].sorted();
            const std::vector<double> high = envelope.high[i].sorted();
            // Value j of all the trials' levels at this frequency, sorted, from whichever
            // end holds it.
            const auto at = [&](int j) {
                return j < static_cast<int>(low.size()) ? low[j] : -high[completed - 1 - j];
            };
            EnvelopePoint& e = result.envelope[i];
            e.freq = prototype.freq[i];
            e.min = at(0);
            e.p5 = interpolate(completed, 5, at);
            e.p95 = interpolate(completed, 95, at);
            e.max = at(completed - 1);
        }
    }
    return result;
}

Yield yieldOf(const Result& r, const Limits& limits)
{
    for (const auto& limit : {limits.bandwidthPercent, limits.maxRippleDb, limits.maxLossDb})
        if (limit && !(*limit >= 0 && std::isfinite(*limit)))
            throw AppError("A yield limit must be a number of 0 or more.");
    const std::optional<double> nominalWidth = r.nominal.bands[0].width;
    if (limits.bandwidthPercent && !nominalWidth)
        throw AppError("The nominal circuit has no -3 dB bandwidth to compare with.");
    Yield y;
    y.trials = static_cast<int>(r.trials.size());
    for (const auto& trial : r.trials) {
        if (!trial)
            continue;
        const TrialValues& v = *trial;
        bool pass = true;
        if (limits.bandwidthPercent)
            pass = pass && v[Bw3] &&
                   std::abs(*v[Bw3] - *nominalWidth) <= *limits.bandwidthPercent / 100 * std::abs(*nominalWidth);
        if (limits.maxRippleDb)
            pass = pass && v[Ripple] && *v[Ripple] <= *limits.maxRippleDb;
        if (limits.maxLossDb)
            pass = pass && v[InsertionLoss] && *v[InsertionLoss] <= *limits.maxLossDb;
        y.passed += pass;
    }
    return y;
}

std::string statisticsCsv(const Result& r)
{
    std::string out = "quantity,mean,sd,min,p5,median,p95,max\n";
    for (int q = 0; q < kQuantityCount; ++q) {
        out += quantityInfo()[q].name;
        const Stats& s = r.stats[q];
        for (double v : {s.mean, s.sd, s.min, s.p5, s.median, s.p95, s.max}) {
            out += ',';
            if (s.count > 0)
                appendG17(out, v);
            else
                out += "none";
        }
        out += '\n';
    }
    return out;
}

std::string envelopeCsv(const Result& r)
{
    std::string out = "frequency,min_db,p5_db,p95_db,max_db\n";
    out.reserve(out.size() + r.envelope.size() * 110);
    for (const EnvelopePoint& e : r.envelope) {
        appendG17(out, e.freq);
        for (double v : {e.min, e.p5, e.p95, e.max}) {
            out += ',';
            appendG17(out, v);
        }
        out += '\n';
    }
    return out;
}

std::string failureNote(const Result& r)
{
    if (r.failed == 0)
        return {};
    return integerText(r.failed) + " of " + integerText(static_cast<long long>(r.trials.size())) +
           " trials failed; the first, trial " + integerText(r.firstFailedTrial + 1) + ": " + r.firstFailure;
}

}  // namespace tolerance
