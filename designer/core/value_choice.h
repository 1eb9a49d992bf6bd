#pragma once
// The capacitors of a finished design put to values a builder can buy: rounded to the nearest,
// or refitted between the neighbours with a new end resistance. The command line and the
// window's "Round to preferred values" share it, so both write the same circuit.

#include <string>
#include <vector>

#include "designer/core/design_state.h"
#include "designer/core/realized.h"

// "E6" to "E96", or the path of a parts list (a name ending in .csv). Throws PartsListError or
// FileError.
std::vector<double> availableValues(const std::string& seriesOrFile);

// Every capacitor (end, coupling, tuning; wires stay wires) to the nearest available value by
// ratio; the end resistance is kept.
DesignState roundToValues(const DesignState& exact, const std::vector<double>& available);

// roundToValues, or with `refit` the neighbour search with a free end resistance.
DesignState chooseValues(const DesignState& exact, const std::vector<double>& available, bool refit,
                         double askedBwHz);

// The three designs the window compares, each with its realized response.
struct ValueChoice {
    DesignState exact, rounded, refitted;
    RealizedResponse exactResponse, roundedResponse, refittedResponse;
    bool refit = false;  // whether `refitted` was computed
    const DesignState& chosen() const { return refit ? refitted : rounded; }
};

ValueChoice compareValueChoices(const DesignState& exact, const std::vector<double>& available, bool refit,
                                double askedBwHz);
