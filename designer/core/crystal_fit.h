#pragma once
// Crystal values from measurements, for step 1.
//
// fitCrystal: one crystal measured in series between two ports of resistance portR each,
//   S21 = 2R / (2R + Z), Z the crystal's impedance: the motional arm Lm, Cm, Rm in series,
//   the holder capacitance C0 across it. The model is fitted to the complex S21 over the
//   whole sweep by least squares on ln S21, so the series resonance (fs, the loaded width)
//   and the parallel resonance (its depth and width, which carry Rm and C0) both count,
//   and a point weighs by its relative error, as an analyser's dB and degree noise makes it.
//   The sweep needs points below fs, between fs and fp and above fp, and the more points
//   across each resonance the better: six or more within each -3 dB width is a good sweep.
//   A measurement the model cannot describe is refused with MeasurementError.
//
// motionalFromLoadShift: the series-capacitor method for people without a network
//   analyser. A capacitor Cs in series with the crystal moves its series resonance from fs
//   up to fL = fs * sqrt(1 + Cm / (C0 + Cs)); with C0 measured apart, fs, fL and Cs give
//   Cm, and Cm and fs give Lm.
//
// All values are in SI units: Hz, H, F, ohm.

#include <complex>
#include <vector>

#include "common/errors.h"

// A measurement that is not one crystal's, or a series-capacitor reading that cannot be one.
class MeasurementError : public AppError {
public:
    using AppError::AppError;
};

inline constexpr double kDefaultPortR = 50.0;
// Fewer points than this cannot show two resonances with anything between them.
inline constexpr int kMinFitPoints = 10;

struct CrystalFit {
    double fsHz = 0;  // series resonance of the motional arm, 1 / (2 pi sqrt(Lm Cm))
    double lmH = 0;
    double cmF = 0;
    double rmOhm = 0;
    double c0F = 0;
    double qu = 0;          // 2 pi fs Lm / Rm
    double fpHz = 0;        // parallel resonance without loss, fs * sqrt(1 + Cm / C0)
    double residualDb = 0;  // RMS over the sweep of the measured minus the fitted |S21| in dB
    // Points of the sweep within the loaded -3 dB width of the series resonance and within
    // the width of the parallel resonance: below six, the values are less certain.
    int seriesPoints = 0;
    int parallelPoints = 0;
    int iterations = 0;  // of the least-squares refinement
};

// Refused with MeasurementError: sizes that differ, fewer than kMinFitPoints points,
// frequencies that are not positive or do not rise, S21 that is zero or not a number, a
// port resistance that is not positive, no peak and notch in |S21| (flat, a resistor, a
// capacitor, a plain series resonance), or a sweep the crystal model does not match.
CrystalFit fitCrystal(const std::vector<double>& freqHz, const std::vector<std::complex<double>>& s21,
                      double portR = kDefaultPortR);

// The crystal model's S21 at one frequency: the fitted curve, and synthetic measurements.
std::complex<double> crystalS21(double fsHz, double lmH, double rmOhm, double c0F, double freqHz, double portR);
std::complex<double> crystalS21(const CrystalFit& crystal, double freqHz, double portR);

struct MotionalValues {
    double cmF = 0;
    double lmH = 0;
};

// Refused with MeasurementError unless fs > 0, fL > fs, Cs > 0 and C0 >= 0.
MotionalValues motionalFromLoadShift(double fsHz, double fLoadHz, double csF, double c0F);
