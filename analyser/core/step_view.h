#pragma once
// What the Response window's time plot shows: the step response in a time unit that reads
// well, and its four readouts. Made without Qt, so its numbers are tested without a window.

#include <string>
#include <vector>

#include "analyser/core/response_report.h"
#include "ladder/step/step_response.h"

struct StepView {
    std::string error;  // not empty: the step could not be had, and this says why
    StepKind kind = StepKind::LowPass;
    DelayScale scale{"ns", 1e9};
    std::vector<double> time, value;  // time in scale units, value in units of S21
    double finalValue = 0;
    StepReadouts readouts;
};

// The step of m, its band-pass centre taken from the readouts the window already shows.
StepView makeStepView(const Circuit& m, const Readouts& computed);

// "Delay 3.758 ms   Rise 3.088 ms   Overshoot 0 %   Settling 9.860 ms", 4 significant digits.
std::string stepReadoutsLine(const StepView& v);
// "Step response (low-pass)" or "Carrier envelope (band-pass, centre_3)".
std::string stepTitle(const StepView& v);
