#pragma once
// The designed filter solved on the engine before anything is built: the circuit the
// analyser would read from the exported file, and what a builder measures on it.

#include <string>
#include <vector>

#include "designer/core/design_state.h"
#include "ladder/circuit.h"
#include "ladder/readouts/readouts.h"

namespace msg {
inline constexpr const char* kNoRealizedDesign = "There is no design to solve yet.  Run steps 1 to 6 first.";
}  // namespace msg

// The circuit of the design: the export's own text, read as the analyser reads the exported
// file. Throws AppError where designCircuit() does.
Circuit realizedCircuit(const DesignState& s);

struct RealizedResponse {
    double askedBwHz = 0;   // the bandwidth the user asked for
    double designBwHz = 0;  // the bandwidth the steps designed with
    Readouts readouts;      // frequencies in Hz from the crystal frequency F
    // A curve for the plot over the export's sweep, -2B to 4B around F.
    std::vector<double> freqHz, s21Db, s11Db;
};

// Solves the design over -2B to 4B of its design bandwidth B. Throws FloatError where the
// engine does.
RealizedResponse realizeDesign(const DesignState& s, double askedBwHz, int curvePoints = 301);

// "quantity,value" lines of the realized response: bandwidths, centre offset, insertion loss,
// ripple and return loss, values with 10 significant digits or "none".
std::string realizedCsv(const RealizedResponse& r);
