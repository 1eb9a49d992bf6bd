#pragma once
// A measured network (a Touchstone file) as the plot and the readouts see it: in the
// circuit's frequency unit, levels in dB, and the group delay from the measured phase.

#include <string_view>

#include "ladder/circuit.h"
#include "ladder/readouts/readouts.h"
#include "common/touchstone.h"

struct MeasuredResponse : SampledResponse {
    bool hasS21 = false;    // a two-port file
    bool hasS11 = false;    // S11 not all zero
    bool hasPhase = false;  // S21 has angles (magnitude-only files give no delay)
};

// Frequencies go to the circuit's unit (offsets from xtalfreq for a crystal circuit), so
// the same file follows a new circuit. The delay lies midway between neighbouring samples:
// -(change of S21's angle) / (change of angular frequency), the angle taken between
// neighbours, so it needs no unwrapping while the samples are closer than half a turn.
MeasuredResponse measuredResponse(const Network& n, const Circuit& m);

// A name Sorvel takes as a measurement: ".s1p" or ".s2p", any case.
bool isMeasurementFile(std::string_view path);
