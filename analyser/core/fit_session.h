#pragma once
// What the Fit to Measurement window does, without Qt: the table of values that may move with
// their default ticks, the fit on a thread of its own, the result as texts, and Apply and
// Revert on the analyser's circuit.

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/touchstone.h"
#include "ladder/circuit.h"
#include "ladder/fit/circuit_fit.h"

class Analyser;

namespace fitting {

// One value the fit may move: an entry of the circuit, or a common Q (entry 103 or 99).
struct FreeRow {
    int entry = 0;
    std::string caption;  // "2  xtl  ser  0", "103  crystal Q  200000"
    bool ticked = false;  // the default free set
};
std::vector<FreeRow> freeRows(const Circuit& m);
fit::FreeSet freeSetOf(const std::vector<FreeRow>& rows);

// The results table: nominal, fitted, change, sigma in the circuit's units.
struct ResultRow {
    std::string entry, kind, nominal, fitted, change, sigma, unit, flag;
};
std::vector<ResultRow> resultRows(const fit::Result& r);
// "Residual: 2.98 dB RMS before, 0.018 dB after", and the poor fit's message.
std::string residualText(const fit::Result& r);

// One fit at a time on a thread of its own. Callbacks come on that thread.
class Runner {
public:
    struct Callbacks {
        std::function<void(int iteration, int most)> progress;
        std::function<void(fit::Result)> done;         // not for a cancelled fit
        std::function<void(std::string)> refused;      // what the fit could not take
    };
    // Cancels a fit in progress and waits the moment it takes to stop, then starts.
    void start(Circuit m, Network measurement, fit::FreeSet free, Callbacks callbacks);
    // Returns at once; the fit stops within an iteration and reports nothing.
    void cancel();
    bool running() const { return state_ && state_->running; }

private:
    struct State {
        std::atomic<bool> running = true;
    };
    std::shared_ptr<State> state_;
    std::jthread thread_;
};

// Apply and Revert: the fitted values go into the analyser's circuit as the value editor
// writes a value, and the values they replaced come back.
class Session {
public:
    // The fit just finished, of the circuit `nominal`.
    void finished(const Circuit& nominal, fit::Result r);
    const std::optional<fit::Result>& result() const { return result_; }

    // AppError when there is no fit, the fit is poor or the circuit's parts changed since.
    void apply(Analyser& a);
    // AppError when nothing has been applied.
    void revert(Analyser& a);
    bool canRevert() const { return !before_.empty(); }

private:
    Circuit nominal_;
    std::optional<fit::Result> result_;
    std::vector<std::pair<int, double>> before_;
};

}  // namespace fitting
