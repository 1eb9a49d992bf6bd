#pragma once
// S21 and S11 of the ladder at one frequency, or over a sweep.

#include "common/errors.h"
#include "ladder/circuit.h"

struct Solution {
    double s21db = 0;
    double s11db = 0;
};

// analysisfreq is in MHz for an LC circuit, in Hz of offset from xtalfreq for a crystal
// circuit. Throws FloatError where the circuit has no finite answer.
Solution solveLadder(const Circuit& m, double analysisfreq);

// Solves the ladder at freqs[0..count) and calls onPoint(i, solution) for each, in order.
// Observably the same as calling solveLadder() in a loop: when frequency k fails, onPoint has
// been called for 0..k-1 and the FloatError of frequency k propagates.
template <class OnPoint>
void solveSweep(const Circuit& m, const double* freqs, int count, OnPoint&& onPoint);
// The same with the plan of m made once (engine::SweepPlan(m)), for many small batches.
namespace engine {
class SweepPlan;
}
template <class OnPoint>
void solveSweep(const engine::SweepPlan& plan, const Circuit& m, const double* freqs, int count, OnPoint&& onPoint);

#include "ladder/kernels/sweep_kernel.h"

template <class OnPoint>
void solveSweep(const Circuit& m, const double* freqs, int count, OnPoint&& onPoint)
{
    solveSweep(engine::SweepPlan(m), m, freqs, count, onPoint);
}

template <class OnPoint>
void solveSweep(const engine::SweepPlan& plan, const Circuit& m, const double* freqs, int count, OnPoint&& onPoint)
{
    constexpr int block = engine::SweepPlan::kBlock;
    Solution out[block];
    for (int i = 0; i < count; i += block) {
        const int n = count - i < block ? count - i : block;
        const int done = plan.solve(freqs + i, n, out);
        for (int l = 0; l < done; ++l)
            onPoint(i + l, out[l]);
        // From a flagged frequency on, the walk itself: it fails there as it always does.
        for (int l = done; l < n; ++l)
            onPoint(i + l, solveLadder(m, freqs[i + l]));
    }
}
