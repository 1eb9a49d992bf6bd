#pragma once
// The level walk compiled once per sweep into a flat list of steps, then run part by part
// over blocks of frequencies, so that the compiler can vectorize each step.
//
// It does exactly the arithmetic of the one-frequency walk (engine.cpp), in the same order,
// so every result is the same to the last bit. It never raises an error itself: a
// frequency where the walk would divide by zero, take a bad logarithm or overflow is only
// flagged, and the caller solves from there on with solveLadder(), which raises the error
// at exactly that frequency with exactly that message.

#include "ladder/circuit.h"
#include "ladder/kernels/kernel_plan.h"

struct Solution;

namespace engine {

class SweepPlan {
public:
    static constexpr int kBlock = 256;

    explicit SweepPlan(const Circuit& m);

    // Solves freqs[0..n), n <= kBlock, into out. Returns how many leading results are
    // final; the caller solves the rest one by one.
    int solve(const double* freqs, int n, Solution* out) const;

private:
    KernelPlan plan_;
};

}  // namespace engine
