#pragma once
// Touchstone network files (.s1p, .s2p, .ts): S-parameters of one- and two-port networks over
// frequency, as vector network analysers and RF tools save them.
//
// Reading accepts versions 1.0, 1.1, 2.0 and 2.1; any frequency unit, the DB, MA and RI forms,
// any positive reference resistance, a missing option line (GHz S MA R 50), either case, tabs and
// runs of spaces, '!' comments, CR LF, LF or CR line ends. Each frequency's values sit on one
// line. Anything else is refused with "line N: what was wrong", N counting every line from 1.
//
// Writing gives version 1.1 (option line "# MHz S DB R r") when both references are equal, else
// version 2.0 with "[Reference] r1 r2". Frequencies are written to full double precision,
// dB levels and angles (degrees) to kTouchstoneDigits significant digits.

#include <complex>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"

// One network over frequency. A one-port network fills s11 only; the other vectors stay
// empty and referenceR2 equals referenceR1. A two-port network fills all four vectors, each
// as long as frequencyHz, which rises strictly.
struct Network {
    int ports = 2;  // 1 or 2
    double referenceR1 = 50;  // ohms, port 1
    double referenceR2 = 50;  // ohms, port 2
    std::vector<double> frequencyHz;
    std::vector<std::complex<double>> s11, s21, s12, s22;
};

// A Touchstone text the reader refuses; what() is "line N: <what was wrong>".
class TouchstoneError : public AppError {
public:
    TouchstoneError(long line, const std::string& reason);
    long line() const { return line_; }

private:
    long line_;
};

// Reads a Touchstone text. expectedPorts is what a file name says (see portsFromFileName);
// 0 lets a version 1 file's first data line decide between one and two ports.
Network readTouchstone(std::string_view text, int expectedPorts = 0);

// Reads a file; FileError when it cannot be read, TouchstoneError when its text is refused.
Network readTouchstoneFile(const std::string& path);

// The port count a ".sNp" name gives (any case), 0 for any other name.
int portsFromFileName(std::string_view path);

inline constexpr int kTouchstoneDigits = 12;
// |S| above this (300 dB) is no measurement; both sides refuse it, so that every value read can
// be written in dB and read back without overflow.
inline constexpr double kTouchstoneLargestMagnitude = 1e15;

struct WriteOptions {
    std::vector<std::string> comments;  // one '!' line each, before the data
};

// The file text, with '\n' line ends. Throws AppError when the network cannot be written as
// a file the reader takes back: no frequency, a value that is not finite or above 300 dB, a
// reference that is not positive, frequencies that do not rise once written in MHz. Vectors
// of the wrong length are a programming error (std::invalid_argument).
std::string writeTouchstone(const Network& network, const WriteOptions& options = {});

// Writes the text atomically: the old file stays whole if anything fails (FileError).
void saveTouchstone(const std::string& path, const Network& network, const WriteOptions& options = {});
