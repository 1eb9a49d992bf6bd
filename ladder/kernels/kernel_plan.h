#pragma once
// The circuit compiled once into the flat list of steps that both kernels run: the level
// kernel reads each step's kind and value, the response kernel also the chain matrix's
// fields. kernel_lanes.h starts and finishes the lanes the same way for both.

#include <cstdint>
#include <vector>

#include "ladder/circuit.h"

namespace engine {

struct KernelStep {
    enum Kind : std::uint8_t { SerCap, ParCap, SerInd, ParInd, AddRe, SerXtl, ParXtl, Rlb, Invert };
    Kind kind;
    bool chain;      // changes the chain matrix (not the source resistance, not 0 ohm)
    bool impedance;  // the chain takes the part as a series impedance, else a shunt admittance
    double value;    // pF, nH, the ohms or siemens added, or the crystal's Cm
    double slope;    // d(value in F or H)/d(part value): pF * 1e-12, nH * 1e-9
    double slopeQ;   // an inductor's slope / Q
};

struct KernelPlan {
    explicit KernelPlan(const Circuit& m);

    std::vector<KernelStep> steps;
    // False where a divisor is 0 whatever the frequency: the walk fails at the first one,
    // so every frequency is left to it.
    bool usable = true;
    bool hasRlb = false;
    bool crystal = false;
    bool endsInImpedance = false;  // the chain's form after the last part
    double load = 0;               // 1 / loadr, the walk's first admittance
    double sourcer = 0, loadr = 0, inductorq = 0;
    double xtalfreq = 0, xtallm = 0, xtalcp = 0, xtalqx = 0;
};

}  // namespace engine
