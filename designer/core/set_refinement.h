#pragma once
// The tuning capacitors of a matched set are exact only for crystals without holder
// capacitance: with C0 each crystal sits at its own distance from series resonance. The
// refinement moves every capacitor (end, coupling and tuning; wires stay wires) so that the
// realized response with the set matches the identical-crystal design's, allowing the
// passband to move as a whole.

#include "designer/core/design_state.h"

struct SetRefinement {
    int evaluations = 0;
    double shiftHz = 0;  // where the passband went
};

// `identical` is the design with every crystal at F, `set` the same design tuned to its set
// (tuneToSet()); set's capacitors are refined in place, starting from the passband moved by
// startShiftHz. Throws FloatError where the engine does.
SetRefinement refineForSet(const DesignState& identical, DesignState& set, double startShiftHz = 0);
