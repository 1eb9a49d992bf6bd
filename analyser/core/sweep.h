#pragma once
// The response over a circuit's sweep as CSV text, for the command-line companion.

#include <string>

#include "model.h"

// "frequency,s21_db,s11_db" and one line per frequency, every value with 17 significant
// digits. Throws FloatError where the circuit has no finite answer.
std::string sweepCsv(const Model& m);
std::string pointCsv(const Model& m, double analysisfreq);
