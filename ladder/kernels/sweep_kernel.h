#pragma once
// The level walk compiled once per sweep into a flat list of steps, then run part by part
// over blocks of frequencies, so that the compiler can vectorize each step.
//
// It does exactly the arithmetic of the one-frequency walk (engine.cpp), in the same order,
// so every result is the same to the last bit. It never raises an error itself: a
// frequency where the walk would divide by zero, take a bad logarithm or overflow is only
// flagged, and the caller solves from there on with solveLadder(), which raises the error
// at exactly that frequency with exactly that message.

#include <cstdint>
#include <vector>

#include "ladder/circuit.h"

struct Solution;

namespace engine {

class SweepPlan {
public:
    static constexpr int kBlock = 256;

    explicit SweepPlan(const Circuit& m);

    // Solves freqs[0..n), n <= kBlock, into out. Returns how many leading results are
    // final; the caller solves the rest one by one.
    int solve(const double* freqs, int n, Solution* out) const;

    struct Step {
        enum Kind : std::uint8_t { SerCap, ParCap, SerInd, ParInd, AddRe, SerXtl, ParXtl, Rlb, Invert };
        Kind kind;
        double value;  // pF, nH, the ohms or siemens added, or the crystal's Cm
    };

private:
    std::vector<Step> steps_;
    bool usable_ = true;  // false: some part fails at every frequency, leave it all to the walk
    bool hasRlb_ = false;
    bool crystal_ = false;
    double load_ = 0;
    double sourcer_ = 0, loadr_ = 0, inductorq_ = 0;
    double xtalfreq_ = 0, xtallm_ = 0, xtalcp_ = 0, xtalqx_ = 0;
};

}  // namespace engine
