#pragma once
// What a filter builder reads off a response: the peak and its loss, the bandwidths at
// 3 to 60 dB down, the ripple, the worst return loss and the group delay across the band.
// Frequencies are in the circuit's unit (MHz, or Hz offset for a crystal circuit).

#include <array>
#include <optional>
#include <string>

#include "model.h"

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

// Finds the readouts on the engine over [start, stop]: the 1000 sweep points and stop
// itself locate each feature, then a search on the engine pins it to 1e-9 of the span.
// Throws FloatError where the engine does at any frequency it solves.
Readouts measureResponse(const Model& m, double start, double stop);

// "quantity,value,unit" lines in the order of the readouts, values with 17 significant
// digits or "none".
std::string readoutsCsv(const Readouts& r, const std::string& frequnit);
