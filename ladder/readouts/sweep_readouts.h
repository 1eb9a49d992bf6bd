#pragma once
// The readouts of measureResponse() found from a sweep that has already been made: the
// sweep's levels locate every feature, and a few engine evaluations pin each one down
// (Brent's methods instead of golden sections and bisections), so that a Monte Carlo
// trial costs little more than its sweep. The group delay is not measured here: the
// delay fields of the result stay empty.

#include <vector>

#include "ladder/engine.h"
#include "ladder/circuit.h"
#include "ladder/readouts/readouts.h"

struct SweptLevels {
    double start = 0, stop = 0;    // start <= stop
    std::vector<double> freq;      // the plot's 1000 frequencies over [start, stop], then stop
    std::vector<Solution> level;   // the engine's solution at each, once solved
};

// The frequencies measureResponse() locates features on, with room for their levels.
// Swaps a reversed range; throws FloatError for a range a double cannot hold.
SweptLevels readoutSweep(double start, double stop);

// Solves the sweep's levels on m. Throws FloatError where the engine does.
void solveLevels(const Circuit& m, SweptLevels& sweep);

// Makes the sweep's s11 the reflection of the whole ladder seen from the source, by
// ending the ladder with a return-loss bridge where it has none: the bridge adds nothing,
// so no S21 bit changes. False when the table is full and the last entry is no bridge, or
// a connection text is neither "ser" nor "par"; the input reflection then has to come from
// the two-port.
bool addInputBridge(Circuit& m);

// inputS11: the sweep's s11 is the input reflection (addInputBridge() said so); otherwise
// the return loss is found on the two-port, which costs more. Throws FloatError where the
// engine does at a frequency it solves.
Readouts readoutsFromSweep(const Circuit& m, const SweptLevels& sweep, bool inputS11);
