#pragma once
// sorvel-sweep FILE.cir --fit MEAS.s2p [--free SET] [--fit-q] [--start F --stop F]
// [--out FITTED.cir]: the fit of the circuit to a measurement as CSV.

#include <optional>
#include <string>

#include "ladder/circuit.h"

struct FitOptions {
    std::string measurement;
    std::string free = "default";
    bool fitQ = false;
};

// "entry,kind,nominal,fitted,change,sigma,unit,flag", a line per free entry in entry order,
// the common Qs' lines with fitQ, then "residual_rms_db,BEFORE,AFTER". With `out` the fitted
// circuit is written there atomically, unless the fit is poor; the poor fit's message goes
// to *notes. Throws AppError for every input the fit refuses, and then writes nothing.
std::string fitCsv(const Circuit& m, double start, double stop,
                   const FitOptions& o, const std::optional<std::string>& out, std::string* notes);
