#pragma once
// Ladders for the engine's tests: one from a list of parts, and random ones of every shape.

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/errors.h"
#include "ladder/circuit.h"
#include "ladder/circuit_file.h"

namespace laddertest {

struct PartDef {
    const char* kind;
    const char* conn;
    double value;
};

inline Circuit ladder(const std::vector<PartDef>& parts, double loadr = 50, double sourcer = 50)
{
    Circuit m = clearedForRead(Circuit::startup());
    m.loadr = loadr;
    m.sourcer = sourcer;
    m.partcount = static_cast<int>(parts.size());
    for (int n = 1; n <= m.partcount; ++n) {
        m.setKind(n, parts[n - 1].kind);
        m.part(n).partconn = parts[n - 1].conn;
        m.part(n).partvalue = parts[n - 1].value;
    }
    return m;
}

inline bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A random ladder of 1 to 80 parts of every kind, LC or crystal. With `failing`, some
// values are zero or extreme, so that some frequencies divide by zero or overflow.
// The sweep range suits the circuit: MHz, or Hz offsets around the crystals.
inline Circuit randomLadder(std::mt19937_64& rng, bool failing = false)
{
    std::uniform_real_distribution<double> u(0, 1);
    auto logUniform = [&](double lo, double hi) { return lo * std::pow(hi / lo, u(rng)); };
    static const char* kinds[] = {"cap", "ind", "res", "duc", "dul", "dur", "xtl", "wir", "rlb"};
    static const char* conns[] = {"ser", "par", "ser", "par", "ser", "par", "Ser", ""};

    Circuit m = clearedForRead(Circuit::startup());
    const bool crystal = u(rng) < 0.4;
    m.crystalflag = crystal ? 1 : 0;
    m.xtalfreq = logUniform(1, 30);
    m.xtallm = logUniform(0.005, 0.1);
    m.xtalcp = logUniform(1, 6);
    m.xtalqx = logUniform(2e4, 3e5);
    m.inductorq = logUniform(20, 400);
    m.loadr = logUniform(5, 2000);
    m.sourcer = u(rng) < 0.3 ? m.loadr : logUniform(5, 2000);
    m.partcount = 1 + static_cast<int>(u(rng) * kMaxParts);
    for (int n = 1; n <= m.partcount; ++n) {
        const char* kind = kinds[static_cast<int>(u(rng) * (crystal ? 9 : 8))];
        m.setKind(n, kind);
        m.part(n).partconn = conns[static_cast<int>(u(rng) * 8)];
        double v = 0;
        switch (m.part(n).partcode) {
        case kCap: v = logUniform(1, 5000); break;
        case kInd: v = logUniform(10, 50000); break;
        case kRes: v = logUniform(0.1, 1e5); break;
        case kXtl: v = u(rng) * 4000; break;  // positive, so no duplicate is a negative resistor
        case kDupCap: case kDupInd: case kDupRes: v = 1 + u(rng) * (m.partcount + 1); break;
        default: break;
        }
        m.part(n).partvalue = v;
        if (m.part(n).partcode == kRlb)
            m.part(n).partconn = "ser";
    }
    if (failing) {
        switch (static_cast<int>(u(rng) * 6)) {
        case 0: m.inductorq = 0; break;
        case 1: m.part(1 + static_cast<int>(u(rng) * m.partcount)) = {"res", "par", 0, kRes}; break;
        case 2: m.sourcer = 0; break;
        case 3: m.loadr = -m.loadr; break;
        case 4: m.xtalqx = 0; break;
        default: m.sourcer = 1e200; m.loadr = 1e-200; break;
        }
    }
    if (crystal) {
        m.frequnit = "Hz";
        const double half = logUniform(500, 20000);
        m.startfreq = -half;
        m.stopfreq = half;
        // Some sweeps cross 0 Hz absolute, where a crystal divides by zero.
        if (failing && u(rng) < 0.3) {
            m.xtalfreq = 1e-3;
            m.startfreq = -3000;
            m.stopfreq = 1000;
        }
    } else {
        m.startfreq = u(rng) < 0.2 ? 0 : logUniform(0.01, 10);
        m.stopfreq = m.startfreq + logUniform(0.1, 100);
    }
    return m;
}

// The benchmark's crystal ladder filling the table: shunt capacitors between series
// crystals, with series capacitors, shunt inductors and duplicates mixed in, the bridge last.
inline Circuit fullCrystalLadder()
{
    Circuit m = clearedForRead(Circuit::startup());
    m.crystalflag = 1;
    m.frequnit = "Hz";
    m.xtalfreq = 9.0;
    m.xtallm = 0.015;
    m.xtalcp = 3.5;
    m.xtalqx = 90000;
    m.startfreq = -5000;
    m.stopfreq = 5000;
    m.partcount = kMaxParts;
    for (int n = 1; n < kMaxParts; ++n) {
        switch (n % 5) {
        case 1: m.setKind(n, "cap"); m.part(n).partconn = "par"; m.part(n).partvalue = 40 + n; break;
        case 2: m.setKind(n, "xtl"); m.part(n).partconn = "ser"; m.part(n).partvalue = 10.0 * n; break;
        case 3: m.setKind(n, "cap"); m.part(n).partconn = "ser"; m.part(n).partvalue = 200; break;
        case 4: m.setKind(n, "ind"); m.part(n).partconn = "par"; m.part(n).partvalue = 5000; break;
        default: m.setKind(n, "duc"); m.part(n).partconn = "par"; m.part(n).partvalue = n - 4; break;
        }
    }
    m.setKind(kMaxParts, "rlb");
    return m;
}

// An 80-part LC low-pass shape: shunt capacitors and series inductors, so the walk turns
// over at every part.
inline Circuit fullLcLadder()
{
    Circuit m = clearedForRead(Circuit::startup());
    m.partcount = kMaxParts;
    for (int n = 1; n < kMaxParts; ++n) {
        m.setKind(n, n % 2 ? "cap" : "ind");
        m.part(n).partconn = n % 2 ? "par" : "ser";
        m.part(n).partvalue = n % 2 ? 120 : 330;
    }
    m.setKind(kMaxParts, "rlb");
    return m;
}

// The results of a solve up to its first failure, and that failure's message: what the
// kernels must reproduce of the one-frequency walk.
template <class Result>
struct Outcome {
    std::vector<Result> results;
    std::string error;
};

template <class Result, class Solve>
Outcome<Result> outcome(Solve&& solve)
{
    Outcome<Result> o;
    try {
        solve(o.results);
    } catch (const FloatError& e) {
        o.error = e.what();
    }
    return o;
}

// The ladders the readouts' recorded reference values were made from, by name.
inline std::map<std::string, Circuit> readoutReferenceLadders()
{
    std::map<std::string, Circuit> cases{{"crystal80", fullCrystalLadder()}};
    Circuit lc = fullLcLadder();
    lc.startfreq = 0, lc.stopfreq = 60;
    cases["lc80"] = lc;
    for (int failing = 0; failing < 2; ++failing)
        for (int seed = 1; seed <= 12; ++seed) {
            std::mt19937_64 rng(seed);
            cases[(failing ? "failing" : "random") + std::to_string(seed)] = randomLadder(rng, failing);
        }
    return cases;
}

}  // namespace laddertest
