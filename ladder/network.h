#pragma once
// The ladder's sweep as a two-port network, for Touchstone files, and the conversion
// between the circuit's frequencies and the absolute frequencies of such files.

#include <string>

#include "ladder/circuit.h"
#include "common/touchstone.h"

// A circuit frequency (MHz, or Hz offset from xtalfreq for a crystal circuit) in Hz, and
// back. Touchstone files always hold absolute frequencies.
double absoluteHz(const Circuit& m, double circuitFreq);
double circuitFrequency(const Circuit& m, double hz);

// The plot's 1000 frequencies over [start, stop] with S11, S21 (= S12) and S22, port 1
// referred to sourcer and port 2 to loadr. Throws FloatError where the engine does.
Network sweepNetwork(const Circuit& m, double start, double stop);

// The whole file text: '!' lines naming the circuit file and `program`, then the data
// (version 1.1 when sourcer equals loadr, else 2.0, as the writer decides).
std::string sweepTouchstone(const Circuit& m, const std::string& circuitFile, double start, double stop,
                            const std::string& program);
