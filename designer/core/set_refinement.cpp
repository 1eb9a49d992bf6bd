#include "designer/core/set_refinement.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <Eigen/Core>
#include <unsupported/Eigen/LevenbergMarquardt>
#include <unsupported/Eigen/NumericalDiff>

#include "designer/core/realized.h"
#include "designer/core/mesh_tuning.h"
#include "common/errors.h"
#include "ladder/engine.h"

namespace {

constexpr int kScan = 1601;
constexpr int kPassbandPoints = 120;
constexpr int kEdgePoints = 12;
constexpr int kSkirtPoints = 40;
constexpr double kPassbandWeight = 10;
constexpr double kPi = 3.14159265358979323846;
constexpr double kFloorDb = -70;  // below this the skirts say nothing of the passband

struct Fit : Eigen::DenseFunctor<double> {
    Circuit circuit;
    std::vector<int> parts;  // the parts whose log-value is x[0..]; x.back() is the shift / B
    std::vector<double> freq, want, weight;
    double bw = 1;
    int* evaluations = nullptr;

    Fit(int inputs, int values) : Eigen::DenseFunctor<double>(inputs, values) {}

    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& r) const
    {
        Circuit c = circuit;
        for (std::size_t k = 0; k < parts.size(); ++k)
            c.part(parts[k]).partvalue = std::exp(x[static_cast<Eigen::Index>(k)]);
        const double shift = x[static_cast<Eigen::Index>(parts.size())] * bw;
        ++*evaluations;
        try {
            for (std::size_t j = 0; j < freq.size(); ++j) {
                const double got = solveLadder(c, freq[j] + shift).s21db;
                r[static_cast<Eigen::Index>(j)] = weight[j] * (std::max(got, kFloorDb) - want[j]);
            }
        } catch (const FloatError&) {
            // A trial step the engine cannot solve: far off, so the step is refused.
            r.setConstant(1e6);
        }
        return 0;
    }
};

}  // namespace

SetRefinement refineForSet(const DesignState& identical, DesignState& set, double startShiftHz)
{
    SetRefinement out;
    const Circuit target = realizedCircuit(identical);
    const int n = set.crystalCount;
    std::vector<int> parts;
    // Part 1 is C1, then per mesh k: crystal 3k-1, tuning capacitor 3k, shunt 3k+1.
    parts.push_back(1);
    for (int k = 1; k <= n; ++k) {
        if (set.tuningCap[k] < static_cast<float>(kWirePf))
            parts.push_back(3 * k);
        parts.push_back(3 * k + 1);
    }
    // The target's own edges: points across the passband (crowded towards its edges, where the
    // ripple peaks crowd) and along each skirt down to -60 dB, so that every readout is held.
    std::vector<double> scanF, scanDb;
    for (int j = 0; j < kScan; ++j) {
        scanF.push_back(-3.0 * identical.bw + 8.0 * identical.bw * j / (kScan - 1));
        scanDb.push_back(solveLadder(target, scanF.back()).s21db);
    }
    const std::size_t top =
        static_cast<std::size_t>(std::max_element(scanDb.begin(), scanDb.end()) - scanDb.begin());
    const double peak = scanDb[top];
    // Where the response falls to peak - drop on either side of the peak.
    auto edge = [&](double drop, int side) {
        const double level = peak - drop;
        for (std::size_t j = top; side < 0 ? j > 0 : j + 1 < scanF.size(); side < 0 ? --j : ++j) {
            const std::size_t next = side < 0 ? j - 1 : j + 1;
            if (scanDb[next] < level) {
                const double t = (scanDb[j] - level) / (scanDb[j] - scanDb[next]);
                return scanF[j] + t * (scanF[next] - scanF[j]);
            }
        }
        return side < 0 ? scanF.front() : scanF.back();
    };
    std::vector<double> freq, want, weight;
    auto add = [&](double f, double w) {
        freq.push_back(f);
        want.push_back(solveLadder(target, f).s21db);
        weight.push_back(w);
    };
    const double lo3 = edge(3, -1), hi3 = edge(3, 1), lo6 = edge(6, -1), hi6 = edge(6, 1);
    const double lo60 = edge(60, -1), hi60 = edge(60, 1);
    const double mid = (lo3 + hi3) / 2, half = (hi3 - lo3) / 2;
    for (int j = 0; j < kPassbandPoints; ++j)
        add(mid - half * std::cos(kPi * (j + 0.5) / kPassbandPoints), kPassbandWeight);
    for (int j = 0; j <= kEdgePoints; ++j) {
        const double t = static_cast<double>(j) / kEdgePoints;
        add(lo3 + t * (lo6 - lo3), 1);
        add(hi3 + t * (hi6 - hi3), 1);
    }
    for (int j = 1; j <= kSkirtPoints; ++j) {
        const double t = static_cast<double>(j) / kSkirtPoints;
        add(lo6 + t * (lo60 - lo6), 1);
        add(hi6 + t * (hi60 - hi6), 1);
    }

    Fit fit(static_cast<int>(parts.size()) + 1, static_cast<int>(freq.size()));
    fit.circuit = realizedCircuit(set);
    fit.parts = parts;
    fit.freq = freq;
    fit.want = want;
    fit.weight = weight;
    fit.bw = identical.bw;
    fit.evaluations = &out.evaluations;
    Eigen::VectorXd x(static_cast<Eigen::Index>(parts.size()) + 1);
    for (std::size_t k = 0; k < parts.size(); ++k)
        x[static_cast<Eigen::Index>(k)] = std::log(fit.circuit.part(parts[k]).partvalue);
    x[static_cast<Eigen::Index>(parts.size())] = startShiftHz / identical.bw;
    if (static_cast<Eigen::Index>(freq.size()) > x.size()) {
        Eigen::NumericalDiff<Fit> diff(fit);
        Eigen::LevenbergMarquardt<Eigen::NumericalDiff<Fit>> lm(diff);
        lm.setMaxfev(4000);
        lm.minimize(x);
    }
    auto value = [&](std::size_t k) { return static_cast<float>(std::exp(x[static_cast<Eigen::Index>(k)])); };
    std::size_t k = 0;
    set.ce1pf = value(k++);
    for (int m = 1; m <= n; ++m) {
        if (set.tuningCap[m] < static_cast<float>(kWirePf))
            set.tuningCap[m] = value(k++);
        (m < n ? set.couplingCap[m] : set.cenpf) = value(k++);
    }
    set.ce1 = set.ce1pf * 1e-12f;
    set.cen = set.cenpf * 1e-12f;
    out.shiftHz = x[static_cast<Eigen::Index>(parts.size())] * identical.bw;
    return out;
}
