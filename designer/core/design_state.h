#pragma once
// Mirabo's design state: the crystal, the bandwidth and order, the end values and the
// ten-slot tables that the six steps, the k-and-q generator and the export share.
// Every real is single precision; formulas run in extended precision (see single.h).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Tables hold ten meshes, slot 1 first (slot 0 unused), as the window has fields for.
constexpr int kMeshes = 10;
using Table = std::array<float, kMeshes + 1>;

struct DesignState {
    // Crystal (step 1).
    float fmhz = 0;  // series-resonant frequency, MHz
    float fhz = 0;
    float w0 = 0;    // rad/s
    float lm = 0;    // motional inductance, H
    float cm = 0;    // motional capacitance, F
    float cmpf = 0;
    float c0pf = 0;  // holder capacitance, pF
    float c0 = 0;
    float qu = 0;    // unloaded Q, a plain number

    // Bandwidth and order (step 2).
    float bw = 0;    // Hz
    std::int32_t crystalCount = 5;  // N
    float fcen = 0;  // design centre, Hz
    float wcen = 0;
    float reactanceRatio = 0;  // motional arm's reactance over the holder's, at wcen
    float slope = 0;
    float fratio = 0;

    // End values (steps 3, 4 and 6).
    float q1 = 0.519f, qn = 2.11f;
    float qe1 = 0, qen = 0;
    float re1 = 0, ren = 0;
    float rmin = 0;
    float rend = 0;
    float ce1 = 0, cen = 0;      // F
    float ce1pf = 0, cenpf = 0;
    float cse1 = 0, csen = 0;    // pF

    // Normalised coupling k between meshes j and j+1. The start values describe a
    // five-crystal Gaussian-to-6 dB design.
    Table coupling{0, 1.46f, 1.0f, 0.93f, 0.632f, 0.001f, 0.001f, 0.001f, 0.001f, 0.001f, 0};
    Table couplingCap{};  // pF, between meshes j and j+1
    Table tuningCap{};    // pF, in series with crystal i
    Table meshCap{};      // pF, the shunt capacitors either side of mesh i in series
    Table prototype{};    // lowpass prototype values g1 ... gN from the k-and-q generator
    float minMeshCap = 0;

    // The matched set the filter will be built from: each crystal's series resonance in Hz,
    // mesh 1 first. Empty: every crystal is taken at F, as the steps assume.
    std::vector<double> setFsHz;
    std::vector<std::string> setNames;  // beside setFsHz, where the set's crystals have names
    int referenceMesh = 0;  // with a set: the mesh whose crystal sets the common frequency
};
