#pragma once
// What the crystal windows show, made without a screen: the fit's and the series method's
// values as text, the fit's curves in dB, a batch of measured crystals fitted from files,
// its table rows and the matched set's status line.

#include <array>
#include <string>
#include <vector>

#include "designer/core/crystal_fit.h"
#include "designer/core/matched_set.h"
#include "common/touchstone.h"

// The fitted values, one a line, under the measurement's file name.
std::string fitValuesText(const CrystalFit& fit, const std::string& fileName);

// The residual and the points across each resonance, with a warning below six.
std::string fitResidualText(const CrystalFit& fit);

std::string motionalValuesText(const MotionalValues& m);

// The measured and the fitted |S21| in dB at the measurement's frequencies (in MHz).
struct FitCurves {
    std::vector<double> mhz;
    std::vector<double> measuredDb;
    std::vector<double> fittedDb;
};
FitCurves fitCurves(const Network& network, const CrystalFit& fit, double portR);

// The crystals of each Touchstone file, fitted with portR and named by the file's name
// without its extension; a file that fails is named in the message ("x3.s2p: ...").
std::vector<MeasuredCrystal> measuredCrystalFiles(const std::vector<std::string>& paths, double portR);

// A table row: name, fs in Hz, fs - F in Hz (empty while F is not known, fHz <= 0).
std::array<std::string, 3> crystalRow(const MeasuredCrystal& crystal, double fHz);

// What the export does with the design's set: every crystal at F, or each at its own
// offset, with a warning when the set's size is not the design's N.
// referenceMesh > 0: the mesh whose crystal sets step 6's common frequency, and its name.
std::string setStatusText(const std::vector<double>& setFsHz, int crystalCount, int referenceMesh = 0,
                          const std::string& referenceName = {});
