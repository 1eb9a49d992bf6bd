#pragma once
// Monte Carlo runs of the circuit in force: what a batch of filters built from parts with
// a spread looks like. Each trial moves every crystal's offset by a random deviation and
// scales every capacitor and inductor by a random factor, sweeps the result and takes its
// readouts; the run summarises the readouts, the envelope of the S21 traces and the yield.
//
// A trial's circuit depends only on the nominal circuit, the settings, the seed and the
// trial's number, never on the thread that runs it: the same inputs give the same result
// on any machine and with any number of threads.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "ladder/circuit.h"
#include "ladder/readouts/readouts.h"

namespace tolerance {

enum class CrystalSpread {
    Normal,   // standard deviation crystalHz
    Uniform,  // within +-crystalHz
};

struct Settings {
    int trials = 1000;
    CrystalSpread spread = CrystalSpread::Normal;
    double crystalHz = 0;
    double capPercent = 0;  // each capacitor times (1 + u), u uniform within +-capPercent %
    double indPercent = 0;
    std::uint64_t seed = 1;
};

inline constexpr int kMaxTrials = 100000;
// A crystal's series resonance spreads by tens to hundreds of hertz; beyond this the
// "crystals" are other parts altogether.
inline constexpr double kMaxCrystalHz = 100000;
// Beyond this a part's value could reach zero or change sign.
inline constexpr double kMaxPercent = 50;

// A whole number from 0 to 2^64 - 1, digits only; otherwise a ConvertError.
std::uint64_t readSeed(const std::string& text);

// Throws AppError with the user's message for settings that cannot run on the circuit:
// trials outside 1..kMaxTrials, a negative or absurd spread or tolerance, a crystal spread
// on a circuit without crystals.
void checkSettings(const Settings& s, const Circuit& nominal);

// Trial `trial`'s circuit. Crystals keep their offset plus a deviation; capacitors and
// inductors are scaled. A duplicate takes the value the entry it names has in this trial,
// so the parts a builder matches stay matched; a duplicate capacitor or inductor that names
// an entry without a draw of its own (a resistor, another duplicate) gets one draw for that
// entry, with its own kind's tolerance. Duplicates come back as plain parts of their value.
Circuit trialCircuit(const Circuit& nominal, const Settings& s, int trial);

// The readouts a run summarises, in output order.
enum Quantity {
    PeakFreq,
    InsertionLoss,
    Bw3,
    Bw6,
    Bw20,
    Bw40,
    Bw60,
    Centre3,
    Shape60to6,
    Ripple,
    ReturnLoss,
    kQuantityCount
};
struct QuantityInfo {
    const char* name;     // as in the readouts' CSV
    const char* caption;  // for people
    bool frequency;       // in the circuit's frequency unit, else in `unit`
    const char* unit;
};
const std::array<QuantityInfo, kQuantityCount>& quantityInfo();

using TrialValues = std::array<std::optional<double>, kQuantityCount>;
TrialValues trialValues(const Readouts& r);

// Percentiles interpolate linearly between order statistics: the p-th percentile of n
// sorted values lies at position (n - 1) p / 100, counted from 0.
double percentile(const std::vector<double>& sorted, int percent);

struct Stats {
    int count = 0;  // trials that had the readout; the rest are not in the figures
    double mean = 0, sd = 0, min = 0, p5 = 0, median = 0, p95 = 0, max = 0;
};
// sd is the sample standard deviation (n - 1), 0 for a single value. The sums run in the
// order given, so the same values give the same bits.
Stats summarize(std::vector<double> values);

struct EnvelopePoint {
    double freq = 0;
    double min = 0, p5 = 0, p95 = 0, max = 0;  // S21 in dB over the trials that completed
};

struct Result {
    Settings settings;
    double start = 0, stop = 0;  // the sweep, start <= stop
    Readouts nominal;
    bool cancelled = false;      // nothing below is filled in then
    int failed = 0;              // trials that met a floating-point error
    int firstFailedTrial = -1;
    std::string firstFailure;    // its message
    std::vector<std::optional<TrialValues>> trials;  // by trial number; none for a failed one
    std::array<Stats, kQuantityCount> stats;
    std::vector<EnvelopePoint> envelope;  // at the plot's 1000 frequencies
};

// Progress: trials finished so far and in all. Called from the worker threads, at most
// about a thousand times a run.
using Progress = std::function<void(int done, int total)>;

// Runs s.trials trials of `nominal` over [start, stop] (the plot's frequencies) on
// `threads` threads (0: one per core). Throws AppError for bad settings and the nominal
// circuit's own FloatError, before any trial runs. A trial's error only counts it as
// failed. A stop request ends the run within a trial or so and returns it cancelled.
Result run(const Circuit& nominal, double start, double stop, const Settings& s, std::stop_token stop_token = {},
           const Progress& progress = {}, int threads = 0);

// Yield: limits a filter has to meet, each optional.
struct Limits {
    std::optional<double> bandwidthPercent;  // -3 dB bandwidth within +-this % of the nominal's
    std::optional<double> maxRippleDb;
    std::optional<double> maxLossDb;
};
struct Yield {
    int passed = 0;
    int trials = 0;  // every trial run: a failed trial or a missing readout does not pass
    double share() const { return trials ? double(passed) / trials : 0; }
};
// Throws AppError when a bandwidth limit is set and the nominal circuit has no -3 dB band.
Yield yieldOf(const Result& r, const Limits& limits);

// "quantity,mean,sd,min,p5,median,p95,max", then one line per readout with 17 significant
// digits, "none" for a readout no trial had.
std::string statisticsCsv(const Result& r);
// "frequency,min_db,p5_db,p95_db,max_db", then one line per sweep frequency.
std::string envelopeCsv(const Result& r);
// One line on the failed trials, or empty when there were none.
std::string failureNote(const Result& r);

}  // namespace tolerance
