#pragma once
// Measurements made from circuits, for the fit's tests and benchmark: a circuit with its parts
// moved as a built filter's are, solved at evenly spaced points, with a network analyser's
// trace noise on S21 and S11.

#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "common/touchstone.h"
#include "ladder/circuit.h"
#include "ladder/circuit_file.h"
#include "ladder/network.h"
#include "ladder/twoport.h"
#include "ladder/walk.h"

namespace fittest {

struct Noise {
    double db = 0.02;
    double deg = 0.2;
};

// `points` frequencies from start to stop inclusive, each S-parameter times a normal
// deviation of noise.db in level and noise.deg in angle.
inline Network measurementOf(const Circuit& m, double start, double stop, int points, Noise noise,
                             std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> level(0, noise.db), angle(0, noise.deg);
    auto noisy = [&](std::complex<double> s) {
        const double db = level(rng), deg = angle(rng);
        return s * std::pow(10.0, db / 20) * std::polar(1.0, deg * std::numbers::pi / 180);
    };
    Network n;
    n.referenceR1 = m.sourcer;
    n.referenceR2 = m.loadr;
    for (int i = 0; i < points; ++i) {
        const double f = start + (stop - start) * i / (points - 1);
        const TwoPort t = solveResponse(m, f).twoPort;
        n.frequencyHz.push_back(absoluteHz(m, f));
        n.s21.push_back(noisy(t.s21));
        n.s12.push_back(n.s21.back());
        n.s11.push_back(noisy(t.s11));
        n.s22.push_back(noisy(t.s22));
    }
    return n;
}

inline Network measurementOf(const Circuit& m, int points = 401, Noise noise = {}, std::uint64_t seed = 1)
{
    return measurementOf(m, m.startfreq, m.stopfreq, points, noise, seed);
}

// Every crystal's offset moved uniformly within +-offsetHz, every shunt capacitor's value
// within +-capShare of itself.
inline Circuit built(const Circuit& design, double offsetHz, double capShare, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    Circuit m = design;
    for (int n = 1; n <= m.partcount; ++n) {
        Part& p = m.part(n);
        if (p.partcode == kXtl)
            p.partvalue += offsetHz * u(rng);
        else if (p.partcode == kCap && engine::isPar(p.partconn))
            p.partvalue *= 1 + capShare * u(rng);
    }
    return m;
}

}  // namespace fittest
