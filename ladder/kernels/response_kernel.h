#pragma once
// Levels, complex S-parameters and group delay over a sweep: the level walk and the
// two-port's chain matrix with its derivative, compiled once into a flat list of steps and
// run part by part over blocks of frequencies, so that the compiler can vectorize each step.
//
// Each step does exactly the arithmetic of solveLadder() and solveTwoPort(), in the same
// order, so every result is the same to the last bit; the two share the divisions they have
// in common. It never raises an error itself: a frequency where either would fail, or where
// the one-frequency solve would take a path the kernel does not have (rescaling a chain
// matrix that grows past 2^500, a part that adds exactly nothing), is only marked, and the
// caller solves it with solveResponse(), which does what it always does there.

#include "ladder/circuit.h"
#include "ladder/kernels/kernel_plan.h"

struct Response;

namespace engine {

class ResponsePlan {
public:
    // Small enough that a block's running values stay in the first-level cache.
    static constexpr int kBlock = 64;

    explicit ResponsePlan(const Circuit& m);

    // Solves freqs[0..n), n <= kBlock, into out; exact[l] false where out[l] is not set and
    // the caller must solve freqs[l] itself.
    void solve(const double* freqs, int n, Response* out, bool* exact) const;

private:
    KernelPlan plan_;
    bool usable_ = true;  // false: leave every frequency to the one-frequency solve
    double zeroOverQ_ = 0;
    double gain_ = 0;  // 2 sqrt(sourcer loadr)
};

}  // namespace engine
