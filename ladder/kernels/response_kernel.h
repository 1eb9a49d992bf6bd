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

#include <cstdint>
#include <vector>

#include "ladder/circuit.h"

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

    struct Step {
        enum Kind : std::uint8_t { SerCap, ParCap, SerInd, ParInd, AddRe, SerXtl, ParXtl, Rlb, Invert };
        Kind kind;
        bool chain;      // changes the chain matrix (not the source resistance, not 0 ohm)
        bool impedance;  // the chain takes the part as a series impedance, else a shunt admittance
        double value;    // pF, nH, the ohms or siemens added, or the crystal's Cm
        double slope;    // d(value in F or H)/d(part value): pF * 1e-12, nH * 1e-9
        double slopeQ;   // an inductor's slope / Q
    };

private:
    std::vector<Step> steps_;
    bool usable_ = true;  // false: leave every frequency to the one-frequency solve
    bool hasRlb_ = false;
    bool crystal_ = false;
    bool endsInImpedance_ = false;  // the chain's form after the last part
    double load_ = 0;
    double sourcer_ = 0, loadr_ = 0, inductorq_ = 0, zeroOverQ_ = 0;
    double xtalfreq_ = 0, xtallm_ = 0, xtalcp_ = 0, xtalqx_ = 0;
    double gain_ = 0;  // 2 sqrt(sourcer loadr)
};

}  // namespace engine
