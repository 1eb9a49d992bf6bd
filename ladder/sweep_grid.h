#pragma once
// The frequencies a sweep is solved at: the plot's 1000 points over a range.

#include <array>

constexpr int kSweepPoints = 1000;

// From startfreq - step a thousandth of the span is added repeatedly, so the points lie
// where repeated addition puts them (the first is not always startfreq itself), and stopfreq
// is never reached. A span or a point beyond the largest double is a FloatError (overflow),
// never an infinite frequency.
std::array<double, kSweepPoints> sweepFrequencies(double startfreq, double stopfreq);
