#pragma once
// How the filter rings: the response to a unit step (a low-pass) or the envelope of the
// response to a carrier at the centre switched on at t = 0 (a band-pass), made from the
// frequency response by an inverse FFT, and what a builder reads off it.
//
// The frequencies solved are chosen from the circuit alone, never from a plot's range:
// the span reaches where S21 has fallen 80 dB below its peak (or a limit, then tapered), and
// the spacing is fine enough that the whole settling fits in the time window.

#include <optional>
#include <string>
#include <vector>

#include "ladder/circuit.h"

struct Readouts;

enum class StepKind { LowPass, BandPass };

// How the spectrum was sampled, for the curious and the tests.
struct StepGrid {
    double centre = 0;       // band-pass centre in the circuit's unit; 0 for a low-pass
    double halfSpanHz = 0;   // solved over [0, F] (low-pass) or centre +- F (band-pass)
    double spacingHz = 0;    // 1 / the time window
    int solved = 0;          // frequencies solved
    int fftSize = 0;         // of the last transform, zeros padded in
    bool tapered = false;    // S21 had not fallen 80 dB at the span's limit
};

struct StepResponse {
    StepKind kind = StepKind::LowPass;
    StepGrid grid;
    // S21 at 0 Hz (low-pass) or |S21| at the centre (band-pass): the value the step settles to.
    double finalValue = 0;
    // From t = 0 to the end of the settling plus 20 %, evenly spaced, at least 500 points.
    std::vector<double> time, value;  // seconds, units of S21
};

struct StepReadouts {
    double delay = 0;         // first time at 50 % of the final value, seconds
    double rise = 0;          // 10 % to 90 %, seconds
    double overshootPct = 0;  // 100 (peak - final) / final, 0 without overshoot
    double settle = 0;        // last time outside +-1 % of the final value, seconds
};

// Low-pass where no crystals are and S21 at 0 Hz is within 3 dB of its peak over 0 to the
// circuit's stop frequency; band-pass otherwise.
StepKind stepKindOf(const Circuit& m);

// Throws FloatError where the engine fails at a frequency it needs, AppError for a filter
// that passes nothing at its centre or does not settle within the longest window.
StepResponse stepResponse(const Circuit& m);
// The same, with the band-pass centre taken from readouts already made over the circuit's
// sweep (centre_3, else the peak) instead of making them again.
StepResponse stepResponse(const Circuit& m, const Readouts& overSweep);

StepReadouts stepReadouts(const StepResponse& s);

// "time_s,step" and one line per point, 17 significant digits.
std::string stepCsv(const StepResponse& s);
// "quantity,value,unit" lines: step_delay_s, rise_s, overshoot_pct, settle_s.
std::string stepReadoutsCsv(const StepReadouts& r);
