#pragma once
// What the response window shows after each plot: the readouts of the computed response
// and of the measurement side by side, the group delay over the plot's range, and the
// values at the cursor. Made without Qt, so its numbers are tested without a window.

#include <optional>
#include <string>
#include <vector>

#include "ladder/circuit.h"
#include "ladder/readouts/readouts.h"
#include "common/touchstone.h"

// The unit a delay axis reads best in: ns below a microsecond, us below a millisecond, else ms.
struct DelayScale {
    const char* unit;
    double perSecond;  // axis value = seconds * perSecond
};
DelayScale delayScale(double largestSeconds);

// At the cursor; a measurement gives only what its file holds.
struct CursorValues {
    std::optional<double> s21db, s11db, delay;
};

struct ResponseReport {
    std::string frequnit;
    double start = 0, stop = 0;
    Readouts computed;
    // Over the part of the range the measurement covers; none without S21 there.
    std::optional<Readouts> measured;
    bool measuredS11 = false, measuredPhase = false;

    std::vector<double> freq, computedDelay;  // the plot's frequencies, delay in seconds
    std::vector<double> measuredDelayFreq, measuredDelay;  // inside the range

    double cursorFreq = 0;  // 0: no cursor
    std::optional<CursorValues> cursorComputed, cursorMeasured;
};

// Over the model's plot range (as the last plot read it).
ResponseReport makeResponseReport(const Circuit& m, double cursorfreq, const Network* measurement);

// One line of the readout table: the computed and measured value and measured - computed.
struct ReadoutRow {
    std::string quantity, unit;
    std::optional<double> computed, measured, difference;
};
std::vector<ReadoutRow> readoutRows(const ResponseReport& r);

// A value as the window and the clipboard show it: 10 significant digits, or "none".
std::string readoutText(std::optional<double> v);

// The readouts and the cursor values as tab-separated text, for the clipboard.
std::string responseReportText(const ResponseReport& r);
