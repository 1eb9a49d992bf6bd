#pragma once
// A crystal measured with a network analyser, from its Touchstone file to step 1's values.
//
// A two-port file is the crystal in series between the two ports: its S21 is fitted as it
// stands. A one-port file is the crystal from port 1 to ground: its impedance
// Z = R (1 + S11) / (1 - S11), R the file's reference, is turned into the S21 the same crystal
// would show in series between two ports of portR, and that is fitted.

#include <map>
#include <string>

#include "designer/core/controls.h"
#include "designer/core/crystal_fit.h"
#include "common/touchstone.h"

// The S21 the fit sees: a two-port's own, a one-port's turned into the series S21.
std::vector<std::complex<double>> seriesS21(const Network& network, double portR);

CrystalFit fitMeasuredCrystal(const Network& network, double portR = kDefaultPortR);

// Reads the file (FileError, TouchstoneError) and fits it (MeasurementError).
CrystalFit fitMeasuredCrystalFile(const std::string& path, double portR = kDefaultPortR);

// Step 1's fields as "Use these values" fills them: F in MHz, Lm in H, Qu, C0 in pF.
std::map<design::Field, std::string> crystalFieldTexts(double fsHz, double lmH, double qu, double c0F);
std::map<design::Field, std::string> crystalFieldTexts(const CrystalFit& fit);

// "quantity,value,unit" lines: fs Hz, lm H, cm F, rm ohm, c0 F, qu 1, fp Hz, residual_db dB.
std::string crystalFitCsv(const CrystalFit& fit);
