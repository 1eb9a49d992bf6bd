#pragma once
// What a fit compares the circuit with: the measured points inside the circuit's sweep, and
// the residual between a model's response and them.
//
// The residual is the complex difference of S21 (and of S11 and S22 where the file has
// them: each end's reflection is what fixes the capacitors at that end), each
// point divided by sqrt(|S measured|^2 + kFloor^2). A network analyser's trace noise is a
// fixed fraction of the level (0.02 dB and 0.2 degrees are 0.2 to 0.4 %), so above the floor
// each point counts by its relative error, which is the dB and degree difference to first
// order, but without dB's and degrees' blow-ups at the notches and phase jumps. Below the
// floor a point counts by its absolute error: a point at the instrument's noise floor
// (-80 dB and below), however wrong, weighs no more than a pass-band point 0.1 dB off, so
// the stop band can never outvote the pass band.

#include <complex>
#include <vector>

#include "common/touchstone.h"
#include "ladder/circuit.h"
#include "ladder/fit/batch_response.h"

namespace fit {

// -40 dB.
inline constexpr double kFloor = 0.01;
// Levels below this are the instrument's noise floor: the dB figures take them as -80 dB.
inline constexpr double kNoiseFloorDb = -80;

struct Target {
    std::vector<double> freq;  // circuit unit: MHz, or Hz of offset for a crystal circuit
    std::vector<std::complex<double>> s21, s11, s22;
    std::vector<double> w21, w11, w22;  // the weights 1 / sqrt(|S|^2 + kFloor^2)
    bool hasS11 = false, hasS22 = false;

    int points() const { return static_cast<int>(freq.size()); }
    // Complex values compared per point: S21, and S11 and S22 when they are there.
    int perPoint() const { return 1 + hasS11 + hasS22; }
    // Real residuals: re and im of each.
    int values() const { return 2 * points() * perPoint(); }
};

// The measurement's points inside [start, stop] (either order). The S-parameters are taken
// as referred to the circuit's own terminations, as the plot overlays them: a filter is
// measured through its matching. AppError for a measurement without S21, without phases,
// with no point in the range, or with a value that is not finite.
Target targetFrom(const Network& n, const Circuit& m, double start, double stop);

// The weighted residual of a model's response, into r[0..values()).
void residual(const Target& t, const ModelResponse& model, double* r);

// RMS of the dB differences over the points of S21, S11 and S22 (those there are) measured
// above kRmsFloorDb, fitted levels below kNoiseFloorDb taken as kNoiseFloorDb. A low-cost
// analyser's floor lies at -70 to -90 dB: what it measures deeper down tells of the
// instrument, not of the filter, and would swamp the figure.
inline constexpr double kRmsFloorDb = -60;
double rmsDb(const Target& t, const ModelResponse& model);

}  // namespace fit
