#include "designer/core/refit.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "common/errors.h"
#include "designer/core/mesh_tuning.h"
#include "designer/core/preferred_values.h"
#include "designer/core/realized.h"
#include "ladder/readouts/readouts.h"

namespace {

struct Target {
    double bw3 = 0, centre = 0, ripple = 0;
};

std::optional<Target> measure(const DesignState& s)
{
    try {
        const Readouts r = measureResponse(realizedCircuit(s), -2.0 * s.bw, 4.0 * s.bw);
        if (!r.bands[0].width || !r.centre3)
            return std::nullopt;
        return Target{*r.bands[0].width, *r.centre3, r.rippleDb};
    } catch (const AppError&) {
        return std::nullopt;
    }
}

// The available values around v, rising: two either side (one where v is one of them), so
// that the search can step past a neighbour that rounding alone would never leave.
std::vector<float> candidates(double v, const std::vector<double>& available)
{
    const auto above = std::lower_bound(available.begin(), available.end(), v);
    const std::ptrdiff_t i = above - available.begin();
    const std::ptrdiff_t size = static_cast<std::ptrdiff_t>(available.size());
    const bool exact = above != available.end() && *above == v;
    const std::ptrdiff_t lo = std::max<std::ptrdiff_t>(0, exact ? i - 1 : i - 2);
    const std::ptrdiff_t hi = std::min<std::ptrdiff_t>(size - 1, exact ? i + 1 : i + 1);
    std::vector<float> out;
    for (std::ptrdiff_t j = lo; j <= hi; ++j)
        out.push_back(static_cast<float>(available[static_cast<std::size_t>(j)]));
    if (out.empty())
        out.push_back(static_cast<float>(available.back()));
    return out;
}

}  // namespace

RefitResult refitToValues(const DesignState& exact, const std::vector<double>& available, double askedBwHz)
{
    std::optional<Target> want = measure(exact);
    if (!want)
        throw AppError("The exact design has no -3 dB band to refit to.");
    if (askedBwHz > 0)
        want->bw3 = askedBwHz;
    RefitResult out;
    // Bandwidth and centre in units of 1 % of the bandwidth, ripple in units of 0.3 dB; the
    // quartic terms make one large miss cost more than several small ones.
    auto cost = [&](const DesignState& s) {
        ++out.evaluations;
        const std::optional<Target> got = measure(s);
        if (!got)
            return static_cast<double>(INFINITY);
        const double b = (got->bw3 / want->bw3 - 1) / 0.01;
        const double c = (got->centre - want->centre) / (0.01 * want->bw3);
        const double r = (got->ripple - want->ripple) / 0.3;
        return b * b + 0.25 * c * c + r * r + 0.1 * (b * b * b * b + r * r * r * r);
    };

    const int n = exact.crystalCount;
    DesignState s = exact;
    std::vector<float*> caps{&s.ce1pf, &s.cenpf};
    for (int j = 1; j < n; ++j)
        caps.push_back(&s.couplingCap[j]);
    for (int i = 1; i <= n; ++i)
        if (s.tuningCap[i] < static_cast<float>(kWirePf))
            caps.push_back(&s.tuningCap[i]);
    std::vector<std::vector<float>> choices;
    std::vector<float> nearest;
    for (float* c : caps) {
        choices.push_back(candidates(*c, available));
        nearest.push_back(static_cast<float>(nearestByRatio(*c, available)));
    }
    auto sync = [&] {
        s.ce1 = s.ce1pf * 1e-12f;
        s.cen = s.cenpf * 1e-12f;
    };
    // The candidate index a capacitor holds now.
    auto at = [&](std::size_t k) {
        const auto& ch = choices[k];
        return static_cast<std::ptrdiff_t>(std::find(ch.begin(), ch.end(), *caps[k]) - ch.begin());
    };

    // One descent from the nearest values and the given end resistance.
    auto descend = [&](float rend) {
        for (std::size_t k = 0; k < caps.size(); ++k)
            *caps[k] = nearest[k];
        s.rend = rend;
        sync();
        double best = cost(s);
        double rStep = 0.1;
        for (int pass = 0; pass < 30; ++pass) {
            bool changed = false;
            for (std::size_t k = 0; k < caps.size(); ++k) {
                const float keep = *caps[k];
                float chosen = keep;
                for (float v : choices[k]) {
                    if (v == keep)
                        continue;
                    *caps[k] = v;
                    sync();
                    const double c = cost(s);
                    if (c < best) {
                        best = c;
                        chosen = v;
                        changed = true;
                    }
                }
                *caps[k] = chosen;
                sync();
            }
            // The end resistance: a continuous value, searched by shrinking steps.
            for (double factor : {1 + rStep, 1 / (1 + rStep)}) {
                const float keep = s.rend;
                s.rend = static_cast<float>(keep * factor);
                const double c = cost(s);
                if (c < best) {
                    best = c;
                    changed = true;
                } else {
                    s.rend = keep;
                }
            }
            if (!changed) {
                // Two capacitors one step each at once: a move a single change cannot start.
                for (std::size_t a = 0; a < caps.size() && !changed; ++a)
                    for (std::size_t b = a + 1; b < caps.size() && !changed; ++b)
                        for (int da : {-1, 1})
                            for (int db : {-1, 1}) {
                                if (changed)
                                    break;
                                const std::ptrdiff_t ia = at(a) + da, ib = at(b) + db;
                                if (ia < 0 || ib < 0 || ia >= static_cast<std::ptrdiff_t>(choices[a].size()) ||
                                    ib >= static_cast<std::ptrdiff_t>(choices[b].size()))
                                    continue;
                                const float keepA = *caps[a], keepB = *caps[b];
                                *caps[a] = choices[a][static_cast<std::size_t>(ia)];
                                *caps[b] = choices[b][static_cast<std::size_t>(ib)];
                                sync();
                                const double c = cost(s);
                                if (c < best) {
                                    best = c;
                                    changed = true;
                                } else {
                                    *caps[a] = keepA;
                                    *caps[b] = keepB;
                                    sync();
                                }
                            }
            }
            if (!changed) {
                if (rStep < 0.002)
                    break;
                rStep /= 3;
            }
        }
        return best;
    };

    // Restarts from other end resistances where the first descent ends far from the aim.
    double best = descend(exact.rend);
    DesignState bestState = s;
    for (double factor : {0.85, 1.15, 0.7, 1.3}) {
        if (best < 2)
            break;
        const double c = descend(static_cast<float>(exact.rend * factor));
        if (c < best) {
            best = c;
            bestState = s;
        }
    }
    out.state = bestState;
    out.cost = best;
    return out;
}
