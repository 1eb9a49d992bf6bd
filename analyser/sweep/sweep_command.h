#pragma once
// The response over a circuit's sweep as text, for the command-line companion.

#include <cstdint>
#include <optional>
#include <string>

#include "analyser/sweep/fit_command.h"
#include "ladder/circuit.h"

// "frequency,s21_db,s11_db" and one line per frequency, every value with 17 significant
// digits; with `delay` a last column "group_delay_s". The frequencies are the plot's,
// over the file's sweep or [start, stop]. Throws FloatError where the circuit has no
// finite answer, or a frequency is not a finite number.
std::string sweepCsv(const Circuit& m);
std::string sweepCsv(const Circuit& m, double start, double stop, bool delay);
std::string pointCsv(const Circuit& m, double analysisfreq, bool delay = false);

// The command line of sorvel-sweep: FILE.cir [--at F | --start F --stop F]
// [--delay | --measure | --touchstone [--out FILE] | MONTE-CARLO], or FILE.cir --step
// [--measure], where MONTE-CARLO is
// --monte-carlo N [--xtal-sigma HZ | --xtal-spread HZ] [--cap-tol PCT] [--ind-tol PCT]
// [--seed S] [--envelope], or FILE.cir --fit MEAS.s2p [--free SET] [--fit-q]
// [--start F --stop F] [--out FITTED.cir].
struct SweepOptions {
    std::string file;
    std::optional<double> at, start, stop;
    bool delay = false;
    bool measure = false;
    bool touchstone = false;
    std::optional<std::string> out;  // only with --touchstone or --fit
    // A tolerance run; its settings are checked when it runs.
    std::optional<int> monteCarlo;
    std::optional<double> xtalSigma, xtalSpread, capTol, indTol;
    std::optional<std::uint64_t> seed;
    bool envelope = false;
    // The step response (its readouts with --measure), from the circuit alone: no range.
    bool step = false;
    std::optional<FitOptions> fit;
};

inline constexpr const char* kSweepUsage =
    "usage: sorvel-sweep FILE.cir [--at FREQUENCY | --start FREQUENCY --stop FREQUENCY]\n"
    "                    [--delay | --measure | --touchstone [--out FILE]\n"
    "                     | --monte-carlo N [--xtal-sigma HZ | --xtal-spread HZ] [--cap-tol PCT]\n"
    "                       [--ind-tol PCT] [--seed S] [--envelope]\n"
    "                     | --fit MEAS.s2p [--free default|crystals|shunt|all|LIST] [--fit-q]\n"
    "                       [--out FITTED.cir]]\n"
    "       sorvel-sweep FILE.cir --step [--measure]";

// nullopt for a command line that does not fit the usage; a number that does not read
// throws its ConvertError.
std::optional<SweepOptions> parseSweepOptions(int argc, const char* const* argv);

// Reads the circuit file and makes the whole output text (empty when --touchstone --out
// wrote the file instead, atomically); nothing is printed here, so a failure leaves
// nothing half-written. A note for standard error that does not stop the output (failed
// trials of a tolerance run) goes to *notes.
std::string runSweep(const SweepOptions& o, std::string* notes = nullptr);
