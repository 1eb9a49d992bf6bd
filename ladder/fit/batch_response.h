#pragma once
// Complex S21, S11 and S22 of many circuits at the same frequencies in one call: the circuits of
// one fit iteration (the present one and each of its perturbed copies), spread over threads.

#include <complex>
#include <string>
#include <vector>

#include "ladder/circuit.h"

namespace fit {

struct ModelResponse {
    std::vector<std::complex<double>> s21, s11, s22;
    bool ok = false;
    std::string error;  // the FloatError's text where the circuit has no finite answer
};

// freqs in the circuits' unit. out gets one response per circuit, in order; a circuit that
// fails is only marked. threads 0: one per core, never more than there are circuits.
void solveCircuits(const std::vector<Circuit>& circuits, const std::vector<double>& freqs,
                   std::vector<ModelResponse>& out, int threads = 0);

}  // namespace fit
