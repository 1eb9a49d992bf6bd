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

// The two available values either side of v (the same twice where v is one of them).
std::pair<float, float> neighbours(double v, const std::vector<double>& available)
{
    const auto above = std::lower_bound(available.begin(), available.end(), v);
    if (above == available.end())
        return {static_cast<float>(available.back()), static_cast<float>(available.back())};
    if (*above == v || above == available.begin())
        return {static_cast<float>(*above), static_cast<float>(*above)};
    return {static_cast<float>(*(above - 1)), static_cast<float>(*above)};
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
    // Bandwidth and centre in units of 1 % of the bandwidth, ripple in units of 0.3 dB.
    auto cost = [&](const DesignState& s) {
        ++out.evaluations;
        const std::optional<Target> got = measure(s);
        if (!got)
            return static_cast<double>(INFINITY);
        const double b = (got->bw3 / want->bw3 - 1) / 0.01;
        const double c = (got->centre - want->centre) / (0.01 * want->bw3);
        const double r = (got->ripple - want->ripple) / 0.3;
        return b * b + 0.25 * c * c + r * r;
    };

    // The capacitors of the design, each with its two candidates.
    const int n = exact.crystalCount;
    DesignState s = exact;
    std::vector<float*> caps{&s.ce1pf, &s.cenpf};
    for (int j = 1; j < n; ++j)
        caps.push_back(&s.couplingCap[j]);
    for (int i = 1; i <= n; ++i)
        if (s.tuningCap[i] < static_cast<float>(kWirePf))
            caps.push_back(&s.tuningCap[i]);
    std::vector<std::pair<float, float>> choices;
    for (float* c : caps) {
        choices.push_back(neighbours(*c, available));
        *c = static_cast<float>(nearestByRatio(*c, available));
    }
    auto sync = [&] {
        s.ce1 = s.ce1pf * 1e-12f;
        s.cen = s.cenpf * 1e-12f;
    };
    sync();
    double best = cost(s);
    double rStep = 0.1;
    for (int pass = 0; pass < 20; ++pass) {
        bool changed = false;
        for (std::size_t k = 0; k < caps.size(); ++k) {
            const float keep = *caps[k];
            const float other = keep == choices[k].first ? choices[k].second : choices[k].first;
            if (other == keep)
                continue;
            *caps[k] = other;
            sync();
            const double c = cost(s);
            if (c < best) {
                best = c;
                changed = true;
            } else {
                *caps[k] = keep;
                sync();
            }
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
            // Two capacitors at once: a move a single change cannot start.
            for (std::size_t a = 0; a < caps.size() && !changed; ++a)
                for (std::size_t b = a + 1; b < caps.size() && !changed; ++b) {
                    const float keepA = *caps[a], keepB = *caps[b];
                    const float otherA = keepA == choices[a].first ? choices[a].second : choices[a].first;
                    const float otherB = keepB == choices[b].first ? choices[b].second : choices[b].first;
                    if (otherA == keepA || otherB == keepB)
                        continue;
                    *caps[a] = otherA;
                    *caps[b] = otherB;
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
    out.state = s;
    out.cost = best;
    return out;
}
