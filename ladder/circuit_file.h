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

// The exact bytes writeLadder writes. A value whose text would round past the largest
// double is written one step towards zero in its last digit, so every saved file reads
// back; a value that is not finite is refused by name (AppError) before anything is written.
std::string circuitText(const Model& m);

// A number text as saved: the text itself when it reads back, else the same digits with
// the last one taken one step towards zero.
std::string readableText(std::string text);

// "The circuit has N parts; the limit is 80."
std::string tooManyPartsMessage(long long count);
