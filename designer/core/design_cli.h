#pragma once
// The command lines of mirabo-design (steps 1 to 6 from options) and mirabo-crystal (a
// crystal's values from a measurement). Both make their whole output before anything is
// printed or written, so a refusal leaves no half output and no file.

#include <optional>
#include <string>
#include <vector>

#include "common/errors.h"

// A command line that does not fit the usage.
class UsageError : public AppError {
public:
    using AppError::AppError;
};

struct DesignOptions {
    // Field texts as typed in the window; unset ones keep the window's defaults.
    std::optional<std::string> fMhz, lm, qu, c0pf, bw, n, q1, qn, r;
    std::vector<std::string> k;  // k12, k23, ...
    // "butterworth", "chebyshev:RIPPLE_DB", "minloss", "bessel" or "gaussian"
    std::optional<std::string> kq;
    bool correctLoss = false;
    std::optional<std::string> crystals;  // name,fs_hz list to pick a matched set from
    std::optional<std::string> round;     // E6 ... E96, or a parts list FILE.csv
    bool refit = false;                   // with round: neighbours and end R re-chosen
    std::optional<std::string> out;
};

inline constexpr const char* kDesignUsage =
    "usage: mirabo-design [--f MHZ] [--lm H] [--qu Q] [--c0 PF] [--bw HZ] [--n N]\n"
    "                     [--kq butterworth|chebyshev:RIPPLE_DB|minloss|bessel|gaussian\n"
    "                      | --q1 Q --qn Q --k K12,K23,...]\n"
    "                     [--r OHM] [--correct-loss] [--crystals FILE.csv]\n"
    "                     [--round E6|E12|E24|E48|E96|FILE.csv [--refit]] [--out FILE.cir]";

// Throws UsageError for an unknown option, a missing value, --kq together with given k or q,
// or an unknown --kq.
DesignOptions parseDesignOptions(int argc, const char* const* argv);

// Runs the design. The result is the "quantity,value" text for standard output; with `out`
// the circuit file has been written, byte for byte as the window's export. A step's message
// (refusal or warning) is thrown as AppError with the window's text, and then no file is
// written.
std::string runDesign(const DesignOptions& o);

struct CrystalOptions {
    std::string file;
    std::optional<std::string> portR;
};

inline constexpr const char* kCrystalUsage = "usage: mirabo-crystal FILE.s2p [--port-r OHM]";

CrystalOptions parseCrystalOptions(int argc, const char* const* argv);

// "quantity,value,unit" lines of the fit: fs, lm, cm, rm, c0, qu, fp, residual_db.
std::string runCrystal(const CrystalOptions& o);
