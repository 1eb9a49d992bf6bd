#include "ladder/fit/fit_target.h"

#include <algorithm>
#include <cmath>

#include "common/errors.h"
#include "common/numtext.h"
#include "ladder/network.h"
#include "ladder/twoport.h"

namespace fit {

namespace {

bool allZero(const std::vector<std::complex<double>>& v)
{
    return std::all_of(v.begin(), v.end(), [](std::complex<double> s) { return s == 0.0; });
}

bool finite(std::complex<double> s) { return std::isfinite(s.real()) && std::isfinite(s.imag()); }

double weight(std::complex<double> s) { return 1 / std::sqrt(std::norm(s) + kFloor * kFloor); }

double flooredDb(std::complex<double> s) { return std::max(magnitudeDb(s), kNoiseFloorDb); }

}  // namespace

Target targetFrom(const Network& n, const Circuit& m, double start, double stop)
{
    const std::size_t count = n.frequencyHz.size();
    if (count == 0)
        throw AppError("The measurement has no points.");
    if (n.ports != 2 || n.s21.size() != count || allZero(n.s21))
        throw AppError("The measurement has no S21: the fit needs a two-port measurement (.s2p).");
    if (std::all_of(n.s21.begin(), n.s21.end(), [](auto s) { return s.imag() == 0; }))
        throw AppError("The measurement's S21 has no phases: the fit needs complex S21.");
    Target t;
    t.hasS11 = n.s11.size() == count && !allZero(n.s11);
    t.hasS22 = n.s22.size() == count && !allZero(n.s22);
    const double lo = std::min(start, stop), hi = std::max(start, stop);
    for (std::size_t i = 0; i < count; ++i) {
        const double f = circuitFrequency(m, n.frequencyHz[i]);
        if (!std::isfinite(f) || !finite(n.s21[i]) || (t.hasS11 && !finite(n.s11[i])) ||
            (t.hasS22 && !finite(n.s22[i])))
            throw AppError("The measurement's point at " + generalText(n.frequencyHz[i], 12) +
                           " Hz is not a finite number.");
        if (f < lo || f > hi)
            continue;
        t.freq.push_back(f);
        t.s21.push_back(n.s21[i]);
        t.w21.push_back(weight(n.s21[i]));
        if (t.hasS11) {
            t.s11.push_back(n.s11[i]);
            t.w11.push_back(weight(n.s11[i]));
        }
        if (t.hasS22) {
            t.s22.push_back(n.s22[i]);
            t.w22.push_back(weight(n.s22[i]));
        }
    }
    if (t.freq.empty())
        throw AppError("No point of the measurement lies inside the sweep from " + generalText(lo, 12) + " to " +
                       generalText(hi, 12) + " " + m.frequnit + ".");
    return t;
}

void residual(const Target& t, const ModelResponse& model, double* r)
{
    const int n = t.points();
    for (int i = 0; i < n; ++i) {
        const std::complex<double> d21 = (model.s21[i] - t.s21[i]) * t.w21[i];
        *r++ = d21.real();
        *r++ = d21.imag();
        if (t.hasS11) {
            const std::complex<double> d11 = (model.s11[i] - t.s11[i]) * t.w11[i];
            *r++ = d11.real();
            *r++ = d11.imag();
        }
        if (t.hasS22) {
            const std::complex<double> d22 = (model.s22[i] - t.s22[i]) * t.w22[i];
            *r++ = d22.real();
            *r++ = d22.imag();
        }
    }
}

double rmsDb(const Target& t, const ModelResponse& model)
{
    double sum = 0;
    int count = 0;
    auto add = [&](std::complex<double> fitted, std::complex<double> measured) {
        if (magnitudeDb(measured) < kRmsFloorDb)
            return;
        const double d = flooredDb(fitted) - flooredDb(measured);
        sum += d * d;
        ++count;
    };
    for (int i = 0; i < t.points(); ++i) {
        add(model.s21[i], t.s21[i]);
        if (t.hasS11)
            add(model.s11[i], t.s11[i]);
        if (t.hasS22)
            add(model.s22[i], t.s22[i]);
    }
    return count > 0 ? std::sqrt(sum / count) : 0;
}

}  // namespace fit
