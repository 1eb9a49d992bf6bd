#pragma once
// S21 and S11 of the ladder at one frequency.

#include "model.h"

struct Solution {
    double s21db = 0;
    double s11db = 0;
};

// analysisfreq is in MHz for an LC circuit, in Hz of offset from xtalfreq for a crystal
// circuit. Throws FloatError where the circuit has no finite answer.
Solution ladder(const Model& m, double analysisfreq);
