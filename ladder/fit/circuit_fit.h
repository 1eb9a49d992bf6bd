#pragma once
// Fits chosen values of a circuit to a measurement by least squares (Levenberg-Marquardt):
// which parts moved, by how much, and how sure the measurement makes it.
//
// Each value moves on its own scale: a crystal's offset in hertz, every other value (and
// the common Q) as the logarithm of its ratio to the nominal, so it stays positive and a 5 %
// change means the same for 10 pF as for 1000 pF. The Jacobian is by forward differences,
// every perturbed circuit of an iteration solved in one batched call.

#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "ladder/circuit.h"
#include "ladder/fit/fit_target.h"
#include "ladder/fit/free_set.h"

namespace fit {

// Where the weighted RMS residual (per complex point, see fit_target.h) ends above this, the
// circuit does not describe the measurement: about a 1 dB or 6 degree miss where it counts.
inline constexpr double kPoorFit = 0.1;
// Parameters whose estimates correlate beyond this cannot be told apart.
inline constexpr double kUnresolvedCorrelation = 0.99;

struct Options {
    int maxIterations = 100;
    // For the Jacobian's circuits; 0: one per core. One: a whole batch takes about a millisecond,
    // so other threads pay only on idle cores (bench/fit_bench).
    int threads = 1;
    std::stop_token stop;
    // After each iteration: the iteration and the most there can be. Called on the fit's thread.
    std::function<void(int iteration, int most)> progress;
};

enum class ParameterKind { Offset, Value, CrystalQ, InductorQ };

struct ParameterResult {
    int entry = 0;      // 1..partcount, or entry::kXtalQx / entry::kInductorQ
    ParameterKind kind = ParameterKind::Value;
    std::string name;   // "3" for an entry, "xtalqx", "inductorq"
    std::string part;   // "cap", "ind", "res", "xtl", or "q"
    std::string unit;   // "pF", "nH", "ohm", "Hz", or "" for a Q
    double nominal = 0, fitted = 0, sigma = 0;
    double change() const { return fitted - nominal; }
    bool unresolved = false;
    int correlatedWith = -1;  // index of the parameter it correlates with most, or -1
    double correlation = 0;
};

struct Result {
    bool cancelled = false;  // nothing else is filled in then
    std::vector<ParameterResult> parameters;  // entries in entry order, then the Qs
    double rmsBeforeDb = 0, rmsAfterDb = 0;
    double weightedBefore = 0, weightedAfter = 0;
    bool poor = false;
    std::string message;  // why the fit is poor, or empty
    int iterations = 0;
    // The circuit with the fitted values, each as its circuit file writes it, so that a
    // saved circuit reads back as this one.
    Circuit fitted;
    // The response of the fitted circuit at the target's points.
    ModelResponse response;
};

// Throws AppError with the user's text for a fit that cannot run: no free parameter, fewer
// measured values than free ones, a free value that is zero or negative, a value or a
// response that is not finite, a circuit that fails at a measured point, and for a fit that
// drives a value to zero. `m` itself is never changed.
Result fitCircuit(const Circuit& m, const Target& target, const FreeSet& free, const Options& options = {});

}  // namespace fit
