#pragma once
// The circuit file: one item per line, CR LF line ends. Reading is text -> circuit and
// writing circuit -> text; opening files and showing what was read belong to the callers.

#include <exception>
#include <string>
#include <string_view>

#include "ladder/circuit.h"

// The circuit as a read starts it: every entry a neutral wire, both terminations 50 ohms,
// inductor Q 250, no crystals. The crystal block and the sweep stay as they were, so a
// file without crystals leaves the crystal values of the circuit it was read over.
Circuit clearedForRead(Circuit c);

// What a read made of a file's text.
struct CircuitRead {
    // Read over the circuit given, as far as the read got: on a failure, everything read
    // before it stays, as in a reader that stores each value as it reads it.
    Circuit circuit;
    // The sweep lines (start to dB per division) were all read.
    bool sweepRead = false;
    // ConvertError, the AppError of tooManyPartsMessage or a FloatError for a span beyond
    // the largest double; null when the whole file read.
    std::exception_ptr error;
    int errorLine = 0;  // the line the failure was met on, from 1

    bool ok() const { return !error; }
    [[noreturn]] void rethrow() const { std::rethrow_exception(error); }
};

// Reads `text` over clearedForRead(over). Lines end in LF or CR LF; at most 255 characters
// of a line are kept; lines past the end read as empty.
CircuitRead readCircuit(std::string_view text, const Circuit& over);

// The whole file read over the start-up circuit, its first failure thrown (FileError,
// ConvertError, AppError or FloatError): for the tools and checks that read a file whole.
Circuit readCircuitFile(const std::string& path);

// The exact bytes a circuit is saved as. A value whose text would round past the largest
// double is written one step towards zero in its last digit, so every saved file reads
// back; a value that is not finite is refused by name (AppError) before anything is written.
std::string circuitText(const Circuit& c);

// Writes circuitText(c) to `path`. The old file is replaced only once the new one is
// complete. Throws FileError.
void writeCircuitFile(const std::string& path, const Circuit& c);

// A number text as saved: the text itself when it reads back, else the same digits with
// the last one taken one step towards zero.
std::string readableText(std::string text);

// "The circuit has N parts; the limit is 80."
std::string tooManyPartsMessage(long long count);
