#pragma once
// The finished design as circuit-file lines, and the write that replaces a file only
// once its new contents are complete.

#include <string>
#include <vector>

#include "design_state.h"

// The circuit-file lines of the design (N from 1 to 10): header, crystal block, a sweep
// from -2B to 4B around the crystal frequency, then C-1, N meshes of crystal, tuning
// capacitor and coupling capacitor (C-N after the last) and the "rlb" kind line.
std::vector<std::string> designLines(const DesignState& s);

// Writes the lines, each ending in CR LF, to a temporary file beside `path` and renames
// it over `path` when all is written, so a failure leaves any old file as it was.
// Throws FileError with the platform's text.
void writeLinesReplacing(const std::string& path, const std::vector<std::string>& lines);
