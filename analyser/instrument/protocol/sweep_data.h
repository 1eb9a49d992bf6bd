#pragma once
// What an instrument measures in one sweep, and the fault that ends a sweep instead.

#include <complex>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/touchstone.h"

struct SweepPoint {
    double hz = 0;  // as the instrument reported it
    std::complex<double> s11, s21;
};
using SweepData = std::vector<SweepPoint>;

// A reply that is not what was asked, or no reply at all. what() says what was wrong; the
// link adds the instrument and its port in front.
class InstrumentFault : public AppError {
public:
    using AppError::AppError;
};

// A one-path instrument's sweep as a two-port network: S12 and S22 are zero.
Network sweepNetwork(const SweepData& data);

// The Touchstone 1.1 text of a sweep: '!' comments, "# Hz S RI R 50", one line a point with
// the frequency as the instrument gave it and S11 S21 S12 S22 as real and imaginary parts.
std::string sweepTouchstoneRI(const SweepData& data, const std::vector<std::string>& comments);

// The mean of the complex values of several sweeps of the same frequencies.
class SweepAverage {
public:
    // Throws InstrumentFault when the sweep's frequencies differ from the first one's.
    void add(const SweepData& sweep);
    int count() const { return count_; }
    SweepData mean() const;

private:
    SweepData sum_;
    int count_ = 0;
};
