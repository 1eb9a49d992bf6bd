#pragma once
// What a filter builder reads off a response: the peak and its loss, the bandwidths at
// 3 to 60 dB down, the ripple, the worst return loss and the group delay across the band.
// Frequencies are in the circuit's unit (MHz, or Hz offset for a crystal circuit).

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ladder/circuit.h"
#include "ladder/twoport.h"

struct Readouts {
    static constexpr std::array<int, 5> kLevels{3, 6, 20, 40, 60};
    struct Band {
        std::optional<double> low, high, width;  // none where S21 never falls that far
    };

    double peakFreq = 0;
    double insertionLossDb = 0;
    std::array<Band, kLevels.size()> bands;  // in the order of kLevels
    std::optional<double> centre3;
    std::optional<double> shape60to6;
    double rippleDb = 0;
    double returnLossDb = 0;
    std::optional<double> delayCentre;
    double delayMin = 0, delayMax = 0;
};

// A response the readouts are read from: the engine, or a measurement's samples.
class ResponseCurve {
public:
    struct Point {
        double s21db, s11db, delay;
    };
    virtual ~ResponseCurve() = default;
    // S21 in dB at f[0..n): the coarse look that locates every feature.
    virtual void levels(const double* f, int n, double* s21db) const = 0;
    virtual double s21db(double f) const = 0;
    // s21db() at f[0..n), in order; a curve that can solve many points at once overrides it.
    virtual void s21dbAt(const double* f, int n, double* out) const
    {
        for (int i = 0; i < n; ++i)
            out[i] = s21db(f[i]);
    }
    virtual double s11db(double f) const = 0;  // |S11| in dB
    virtual double delay(double f) const = 0;  // seconds
    virtual Point point(double f) const { return {s21db(f), s11db(f), delay(f)}; }
    // point() at f[0..n), in order; a curve that can solve many points at once overrides it.
    virtual void points(const double* f, int n, Point* out) const
    {
        for (int i = 0; i < n; ++i)
            out[i] = point(f[i]);
    }
};

// Finds the readouts over [start, stop]: the 1000 sweep points and stop itself locate each
// feature, then a search on the curve pins it to 1e-9 of the span.
Readouts measureCurve(const ResponseCurve& curve, double start, double stop);

// The same on the engine. Throws FloatError where the engine does at any frequency it solves.
Readouts measureResponse(const Circuit& m, double start, double stop);

// Points already solved at rising frequencies (the delay curve's): the readouts take them
// from here instead of solving them again. Same results: the kernels' levels and two-ports
// are the one-frequency solves', bit for bit. s21db may be empty; where it is given, its
// points solved without an error, so the levels' sweep could not have failed there either.
struct SolvedPoints {
    std::vector<double> freq;
    std::vector<TwoPort> twoPort;
    std::vector<double> s21db;
};
Readouts measureResponse(const Circuit& m, double start, double stop, const SolvedPoints& solved);

// Samples of a response, read between them along straight lines (levels in dB, delay in
// seconds) and held at the end values outside them. Frequencies rise; s11db and delay
// may be empty (then read as 0), and delay has its own frequencies.
struct SampledResponse : ResponseCurve {
    std::vector<double> freq, s21db_, s11db_;
    std::vector<double> delayFreq, delay_;

    void levels(const double* f, int n, double* out) const override;
    double s21db(double f) const override;
    double s11db(double f) const override;
    double delay(double f) const override;
};

// The straight-line reading of (xs, ys) at x, held at the ends; 0 for no samples.
double interpolate(const std::vector<double>& xs, const std::vector<double>& ys, double x);

// Every readout by its name, in the order above, with its unit.
struct ReadoutValue {
    std::string quantity;
    std::optional<double> value;  // none where the readout does not exist
    std::string unit;
};
std::vector<ReadoutValue> readoutValues(const Readouts& r, const std::string& frequnit);

// "quantity,value,unit" lines in the order of the readouts, values with 17 significant
// digits or "none".
std::string readoutsCsv(const Readouts& r, const std::string& frequnit);
