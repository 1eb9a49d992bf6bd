#pragma once
// Step 6 with a matched set: each mesh tuned to its own crystal so that all meshes resonate at
// one common frequency, the lowest every mesh reaches with a positive tuning capacitor.

#include <string>
#include <vector>

#include "designer/core/design_state.h"

struct SetTuning {
    std::vector<double> tuningPf;  // mesh 1 first; the reference mesh holds kWirePf
    int referenceMesh = 0;         // 1-based: the mesh whose crystal sets the common frequency
    double commonHz = 0;
};

inline constexpr double kWirePf = 99999;

// From the state's mesh capacitances (meshCap, pF), Lm and the set's fs. Throws AppError
// naming the mesh and crystal where a mesh would need a negative, zero or non-finite capacitor.
SetTuning tuneToSet(const DesignState& s);

// "crystal 3" where the set has no names.
std::string setCrystalName(const DesignState& s, int mesh);
