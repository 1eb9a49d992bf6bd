#pragma once
// The refit after rounding: every capacitor chosen among the available values around it (two
// either side), and the end resistance re-chosen as a continuous value, so that the realized
// -3 dB bandwidth, centre and ripple come closest to the exact design's. A coordinate descent
// on the engine, with paired moves where single ones stall, restarted from other end
// resistances where the first descent ends far from the aim.

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
