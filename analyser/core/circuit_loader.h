#pragma once
// Reading a circuit file into the main window, around the pure reader: the plot area is
// erased and the listing emptied first, the file is read over the circuit in memory, and
// the file's sweep shows in the scale fields and becomes the original sweep.

#include <string>

#include "analyser/core/view_state.h"
#include "analyser/core/window_port.h"
#include "ladder/circuit.h"

// Throws FileError, ConvertError, FloatError, or an AppError with tooManyPartsMessage;
// whatever was read before the failure stays in the circuit (and the fields show the sweep
// once all its lines were read).
void loadCircuitFile(const std::string& path, Circuit& circuit, ViewState& view, WindowPort& w);
