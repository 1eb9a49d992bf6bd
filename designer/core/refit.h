#pragma once
// The refit after rounding: every capacitor chosen between its two neighbouring available
// values, and the end resistance re-chosen as a continuous value, so that the realized -3 dB
// bandwidth, centre and ripple come closest to the exact design's. A coordinate descent on
// the engine: each capacitor and the end resistance in turn, pass after pass, until no
// change helps.

#include <vector>

#include "designer/core/design_state.h"

struct RefitResult {
    DesignState state;  // the refitted design: available values, its own end R
    double cost = 0;    // of the chosen design; 0 is the exact design's response
    int evaluations = 0;
};

// `exact` is a finished design (steps 1 to 6), `available` the values to choose from, rising.
// The -3 dB bandwidth aimed at is askedBwHz where it is given (above 0), else the exact
// design's. Throws AppError where the exact design has no -3 dB band.
RefitResult refitToValues(const DesignState& exact, const std::vector<double>& available, double askedBwHz = 0);
