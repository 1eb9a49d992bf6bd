#pragma once
// Reading a circuit file into the main window, around the pure reader: the plot area is
// erased and the listing emptied first, the file is read over the circuit in memory, and
// the file's sweep shows in the scale fields and becomes the original sweep.

#include <string>

#include "analyser/core/view_state.h"
#include "analyser/core/window_port.h"
#include "ladder/circuit.h"
#include "ladder/circuit_file.h"

// Throws FileError, ConvertError, FloatError, or an AppError with tooManyPartsMessage;
// whatever was read before the failure stays in the circuit (and the fields show the sweep
// once all its lines were read). With `namePlace`, a read failure is thrown as
// throwReadFailure() words it.
void loadCircuitFile(const std::string& path, Circuit& circuit, ViewState& view, WindowPort& w,
                     bool namePlace = false);

// Shows a read that already happened as loadCircuitFile would have shown it: erase, listing
// emptied, the circuit replaced, the sweep in the fields. Throws the read's failure, if any.
void showCircuitRead(const CircuitRead& read, Circuit& circuit, ViewState& view, WindowPort& w);

// The read's failure with a second line naming the file (without its folder) and the line:
// "'# Notes' is not a valid integer value\nnotes.cir, line 1". Throws AppError.
[[noreturn]] void throwReadFailure(const CircuitRead& read, const std::string& path);
