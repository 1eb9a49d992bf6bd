#include "analyser/core/tolerance_session.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "common/errors.h"
#include "common/numread.h"
#include "common/numtext.h"

namespace tolerance {

Settings readSettings(const Inputs& in)
{
    Settings s;
    s.trials = readInteger(in.trials);
    s.spread = in.uniform ? CrystalSpread::Uniform : CrystalSpread::Normal;
    s.crystalHz = readNumber(in.crystalHz);
    s.capPercent = readNumber(in.capPercent);
    s.indPercent = readNumber(in.indPercent);
    s.seed = readSeed(in.seed);
    return s;
}

Limits readLimits(const Inputs& in)
{
    auto limit = [](const std::string& text) -> std::optional<double> {
        if (text.find_first_not_of(' ') == std::string::npos)
            return std::nullopt;
        return readNumber(text);
    };
    return {limit(in.bandwidthPercent), limit(in.maxRippleDb), limit(in.maxLossDb)};
}

std::vector<StatsRow> statisticsRows(const Result& r, const std::string& frequnit)
{
    std::vector<StatsRow> rows;
    const TrialValues nominal = trialValues(r.nominal);
    for (int q = 0; q < kQuantityCount; ++q) {
        const QuantityInfo& info = quantityInfo()[q];
        const Stats& s = r.stats[q];
        StatsRow row;
        row.caption = info.caption;
        row.unit = info.frequency ? frequnit : info.unit;
        row.nominal = nominal[q] ? generalText(*nominal[q], 7) : "-";
        row.trials = integerText(s.count);
        std::string* texts[] = {&row.mean, &row.sd, &row.min, &row.p5, &row.median, &row.p95, &row.max};
        const double values[] = {s.mean, s.sd, s.min, s.p5, s.median, s.p95, s.max};
        for (int i = 0; i < 7; ++i)
            *texts[i] = s.count > 0 ? generalText(values[i], 7) : "-";
        rows.push_back(row);
    }
    return rows;
}

std::string yieldText(const Result& r, const Limits& limits)
{
    const Yield y = yieldOf(r, limits);
    std::string text = "Yield: " + fixedText(100 * y.share(), 4, 1) + " % (" + integerText(y.passed) + " of " +
                       integerText(y.trials) + " trials";
    if (r.failed > 0)
        text += "; " + integerText(r.failed) + " failed";
    return text + ")";
}

std::vector<double> valuesOf(const Result& r, Quantity q)
{
    std::vector<double> out;
    for (const auto& trial : r.trials)
        if (trial && (*trial)[q])
            out.push_back(*(*trial)[q]);
    return out;
}

Histogram histogram(const std::vector<double>& values, int bins)
{
    Histogram h;
    if (values.empty() || bins < 1)
        return h;
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    h.from = *lo;
    if (*hi == *lo) {
        h.width = *lo != 0 ? std::abs(*lo) * 1e-3 : 1;  // something to draw a bar with
        h.counts.assign(1, static_cast<int>(values.size()));
        h.from -= h.width / 2;
        return h;
    }
    h.width = (*hi - *lo) / bins;
    h.counts.assign(bins, 0);
    for (double v : values) {
        // The highest value closes the last bin.
        const int i = std::min(bins - 1, static_cast<int>((v - h.from) / h.width));
        ++h.counts[std::max(i, 0)];
    }
    return h;
}

void Runner::start(Circuit nominal, double start, double stop, Settings s, Callbacks callbacks)
{
    cancel();
    if (thread_.joinable())
        thread_.join();
    state_ = std::make_shared<State>();
    thread_ = std::jthread([state = state_, nominal = std::move(nominal), start, stop, s,
                            callbacks = std::move(callbacks)](std::stop_token stop_token) {
        try {
            Result r = run(nominal, start, stop, s, stop_token, callbacks.progress);
            state->running = false;
            if (!r.cancelled && callbacks.done)
                callbacks.done(std::move(r));
        } catch (const AppError& e) {
            state->running = false;
            if (!stop_token.stop_requested() && callbacks.refused)
                callbacks.refused(e.what());
        }
    });
}

void Runner::cancel()
{
    thread_.request_stop();
    state_.reset();
}

}  // namespace tolerance
