#pragma once
// The circuit file: one item per line, CR LF line ends.

#include <string>

#include "model.h"
#include "window_port.h"

// Resets the model and reads m.circuitfile into it; erases the plot area and empties the
// listing first, and shows the file's sweep in the scale fields. Throws ConvertError or
// FileError, or an AppError with tooManyPartsMessage for a part count above the table;
// whatever was read before the failure stays in the model.
void readLadder(Model& m, WindowPort& w);

// Writes the model to m.circuitfile. The old file is replaced only once the new one is
// complete. Throws FileError.
void writeLadder(const Model& m);

// The exact bytes writeLadder writes.
std::string circuitText(const Model& m);

// "The circuit has N parts; the limit is 80."
std::string tooManyPartsMessage(long long count);
