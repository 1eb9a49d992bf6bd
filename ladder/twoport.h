#pragma once
// The ladder as a two-port between the source (port 1) and the load (port 2): complex
// scattering parameters, each port referred to its own termination resistance (power
// waves), and the group delay of S21.
//
// solveLadder() gives the levels the plot shows; this gives the phases, S22 and the
// delay. |S21|^2 is the same transducer gain as solveLadder()'s s21db, and S11 is the whole
// ladder seen from the source, wherever an "rlb" sits (it adds nothing here).

#include <complex>

#include "ladder/engine.h"
#include "ladder/circuit.h"

struct TwoPort {
    std::complex<double> s11, s21, s22;  // S12 equals S21: the ladder is reciprocal
    double delay = 0;                    // -d(arg S21)/d(omega) in seconds, omega in rad/s
};

// Levels and two-port at one frequency (MHz, or Hz offset for a crystal circuit).
struct Response {
    Solution levels;
    TwoPort twoPort;
};

// Throws solveLadder()'s FloatError first where the levels fail, then
// "Floating point overflow" or "Invalid floating point operation" where a two-port
// result is not a finite number. Nothing infinite or NaN is ever returned.
Response solveResponse(const Circuit& m, double analysisfreq);

// The two-port alone, with the same checks on its own results; callers that also need the
// levels' errors call solveResponse().
TwoPort solveTwoPort(const Circuit& m, double analysisfreq);

// Solves the ladder at freqs[0..count) and calls onPoint(i, response) for each, in order.
// Observably the same as calling solveResponse() in a loop, to the last bit: when frequency
// k fails, onPoint has been called for 0..k-1 and the FloatError of frequency k propagates.
template <class OnPoint>
void solveResponseSweep(const Circuit& m, const double* freqs, int count, OnPoint&& onPoint);
// The same with the plan of m made once (engine::ResponsePlan(m)), for many small batches.
namespace engine {
class ResponsePlan;
}
template <class OnPoint>
void solveResponseSweep(const engine::ResponsePlan& plan, const Circuit& m, const double* freqs, int count,
                        OnPoint&& onPoint);

// Magnitude in dB, with a magnitude below 1e-15 shown as -300 dB rather than -inf.
double magnitudeDb(std::complex<double> s);

#include "ladder/kernels/response_kernel.h"

template <class OnPoint>
void solveResponseSweep(const Circuit& m, const double* freqs, int count, OnPoint&& onPoint)
{
    solveResponseSweep(engine::ResponsePlan(m), m, freqs, count, onPoint);
}

// The same with m's plan made once, for callers that solve many small batches.
template <class OnPoint>
void solveResponseSweep(const engine::ResponsePlan& plan, const Circuit& m, const double* freqs, int count,
                        OnPoint&& onPoint)
{
    constexpr int block = engine::ResponsePlan::kBlock;
    Response out[block];
    bool exact[block];
    for (int i = 0; i < count; i += block) {
        const int n = count - i < block ? count - i : block;
        plan.solve(freqs + i, n, out, exact);
        // A marked frequency is solved on its own, which raises its error if it has one.
        for (int l = 0; l < n; ++l)
            onPoint(i + l, exact[l] ? out[l] : solveResponse(m, freqs[i + l]));
    }
}
