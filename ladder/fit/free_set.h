#pragma once
// Which values of a circuit a fit may move. Entries are addressed by their numbers in the
// listing; a duplicate is never free on its own, it follows the entry it names.

#include <string>
#include <vector>

#include "ladder/circuit.h"

namespace fit {

struct FreeSet {
    std::vector<int> entries;  // part entries 1..partcount, rising
    bool crystalQ = false;     // xtalqx, shared by every crystal
    bool inductorQ = false;    // inductorq, shared by every inductor
};

// Whether entry n (1..partcount) can be freed: a capacitor, inductor, resistor or crystal.
bool isFreeable(const Circuit& m, int n);

// The free set a fit starts from: every crystal's offset and every shunt capacitor (the end
// and coupling capacitors). Series capacitors stay fixed: beside a crystal they move its
// mesh exactly as its offset does, so the two could not be told apart.
FreeSet defaultFreeSet(const Circuit& m);

// "default", "crystals" (every crystal offset), "shunt" (every shunt capacitor), "all"
// (every capacitor, inductor, resistor and crystal offset) or entry numbers separated by
// commas. AppError with the user's text for anything else, an entry that cannot move or
// a duplicate entry.
FreeSet readFreeSet(const Circuit& m, const std::string& text);

// The circuit has parts whose common Q a fit can move.
bool hasCrystals(const Circuit& m);
bool hasInductors(const Circuit& m);

}  // namespace fit
