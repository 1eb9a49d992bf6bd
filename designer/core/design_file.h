#pragma once
// The finished design as circuit-file lines, and the write that replaces a file only
// once its new contents are complete.

#include <string>
#include <vector>

#include "designer/core/design_state.h"

// The design as the circuit file holds it, every number already in its written text.
struct DesignCircuit {
    struct Record {
        std::string kind, conn, value;
    };
    // Part count, inductor Q, source R, load R, crystal flag, F (MHz), Lm (H), C0 (pF), Qu,
    // sweep start, stop, table step, per division (Hz from F), bottom and dB per division.
    std::vector<std::string> header;
    std::vector<Record> records;  // from the load end; the closing "rlb" is not among them
};

// The design for N from 1 to 10: a sweep from -2B to 4B around the crystal frequency, then
// C-1, N meshes of crystal, tuning capacitor and coupling capacitor (C-N after the last).
// A crystal is at F ("0"), or at its own offset from F when the state holds a matched set.
// Throws AppError for an N outside 1..10 or a set of another size.
DesignCircuit designCircuit(const DesignState& s);

// The circuit-file lines of designCircuit(), ending with the "rlb" kind line.
std::vector<std::string> designLines(const DesignState& s);

// "Warning -- no file saved.  ..." when the state's matched set does not fit its N; empty
// when it does or there is no set.
std::string setSizeProblem(const DesignState& s);

// Writes the lines, each ending in CR LF, to a temporary file beside `path` and renames
// it over `path` when all is written, so a failure leaves any old file as it was.
// Throws FileError with the platform's text.
void writeLinesReplacing(const std::string& path, const std::vector<std::string>& lines);
