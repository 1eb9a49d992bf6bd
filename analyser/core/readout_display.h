#pragma once
// The Response window's readouts as a person reads them: named in words, each row in the
// unit that suits its size (Hz, kHz, MHz; ns, us, ms) and with the digits that mean
// something. The clipboard keeps the machine names and full precision (responseReportText).

#include <optional>
#include <string>
#include <vector>

#include "analyser/core/response_report.h"

// "-3 dB bandwidth" for "bw_3", "Insertion loss" for "insertion_loss_db"; a name it does not
// know is returned as it is.
std::string readoutLabel(const std::string& quantity);

// How one row's numbers are shown: value in its unit = value * scale, fixed decimals.
struct DisplayUnit {
    std::string unit;
    double scale = 1;
    int decimals = 0;
};

// The unit for values of `unit` ("MHz", "Hz", "s", "dB", "1") whose largest magnitude is
// `largest`. A circuit in MHz shows frequencies to 1 Hz; a crystal circuit (unit "Hz", offsets
// from the crystal frequency) to 0.1 Hz; delays to 4 significant digits; levels to 0.01 dB.
DisplayUnit displayUnit(const std::string& unit, double largest);

std::string displayText(std::optional<double> v, const DisplayUnit& u);

// A readout row as the window shows it.
struct DisplayRow {
    std::string label, computed, measured, difference, unit;
};
// One unit per row, chosen by its largest number, so the columns compare at a glance.
std::vector<DisplayRow> displayRows(const ResponseReport& r);
