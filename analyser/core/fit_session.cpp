#include "analyser/core/fit_session.h"

#include <algorithm>
#include <exception>

#include "analyser/core/analyser.h"
#include "common/errors.h"
#include "common/numtext.h"
#include "ladder/fit/fit_target.h"

namespace fitting {

namespace {

std::string number(double v) { return generalText(v, 8); }

// The values a fit reads and Apply writes: every part's, and the common Qs.
bool sameValues(const Circuit& a, const Circuit& b)
{
    if (a.partcount != b.partcount || a.xtalqx != b.xtalqx || a.inductorq != b.inductorq)
        return false;
    for (int n = 1; n <= kMaxParts; ++n)
        if (a.part(n).partcode != b.part(n).partcode || a.part(n).partvalue != b.part(n).partvalue)
            return false;
    return true;
}

}  // namespace

std::vector<FreeRow> freeRows(const Circuit& m)
{
    const fit::FreeSet defaults = fit::defaultFreeSet(m);
    std::vector<FreeRow> rows;
    for (int n = 1; n <= std::min(m.partcount, kMaxParts); ++n) {
        if (!fit::isFreeable(m, n))
            continue;
        const Part& p = m.part(n);
        rows.push_back({n, integerText(n) + "  " + p.partkind + "  " + p.partconn + "  " + number(p.partvalue),
                        std::find(defaults.entries.begin(), defaults.entries.end(), n) != defaults.entries.end()});
    }
    if (fit::hasCrystals(m))
        rows.push_back({entry::kXtalQx, "103  crystal Q  " + number(m.xtalqx), false});
    if (fit::hasInductors(m))
        rows.push_back({entry::kInductorQ, "99  inductor Q  " + number(m.inductorq), false});
    return rows;
}

fit::FreeSet freeSetOf(const std::vector<FreeRow>& rows)
{
    fit::FreeSet s;
    for (const FreeRow& r : rows) {
        if (!r.ticked)
            continue;
        if (r.entry == entry::kXtalQx)
            s.crystalQ = true;
        else if (r.entry == entry::kInductorQ)
            s.inductorQ = true;
        else
            s.entries.push_back(r.entry);
    }
    return s;
}

std::vector<ResultRow> resultRows(const fit::Result& r)
{
    std::vector<ResultRow> rows;
    for (const fit::ParameterResult& p : r.parameters)
        rows.push_back({p.name, p.part, number(p.nominal), number(p.fitted), number(p.change()), generalText(p.sigma, 3),
                        p.unit, p.unresolved ? "unresolved" : ""});
    return rows;
}

std::string residualText(const fit::Result& r)
{
    std::string text = "Residual: " + generalText(r.rmsBeforeDb, 3) + " dB RMS before, " +
                       generalText(r.rmsAfterDb, 3) + " dB after (" + integerText(r.iterations) + " iterations).";
    if (r.poor)
        text += " " + r.message;
    return text;
}

void Runner::start(Circuit m, Network measurement, fit::FreeSet free, Callbacks callbacks)
{
    cancel();
    if (thread_.joinable())
        thread_.join();
    auto state = std::make_shared<State>();
    state_ = state;
    thread_ = std::jthread([state, m = std::move(m), measurement = std::move(measurement), free = std::move(free),
                            callbacks = std::move(callbacks)](std::stop_token stop) {
        try {
            fit::Options o;
            o.stop = stop;
            o.progress = callbacks.progress;
            fit::Result r = fit::fitCircuit(m, fit::targetFrom(measurement, m, m.startfreq, m.stopfreq), free, o);
            state->running = false;
            if (!r.cancelled && !stop.stop_requested() && callbacks.done)
                callbacks.done(std::move(r));
        } catch (const AppError& e) {
            state->running = false;
            if (!stop.stop_requested() && callbacks.refused)
                callbacks.refused(e.what());
        }
        state->running = false;
    });
}

void Runner::cancel()
{
    if (thread_.joinable())
        thread_.request_stop();
    if (state_)
        state_->running = false;
}

void Session::finished(const Circuit& nominal, fit::Result r)
{
    nominal_ = nominal;
    result_ = std::move(r);
}

void Session::apply(Analyser& a)
{
    if (!result_)
        throw AppError("There is no fit to apply: press Fit first.");
    if (result_->poor)
        throw AppError("A poor fit finds nothing: no value was applied.");
    if (sameValues(a.circuit, result_->fitted))
        return;
    if (!sameValues(a.circuit, nominal_))
        throw AppError("The circuit has changed since the fit: fit it again.");
    std::vector<std::pair<int, double>> before, values;
    for (const fit::ParameterResult& p : result_->parameters) {
        before.emplace_back(p.entry, p.nominal);
        values.emplace_back(p.entry, p.fitted);
    }
    a.setValues(values);
    before_ = std::move(before);
}

void Session::revert(Analyser& a)
{
    if (before_.empty())
        throw AppError("Nothing has been applied to revert.");
    a.setValues(before_);
    before_.clear();
}

}  // namespace fitting
