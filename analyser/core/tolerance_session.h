#pragma once
// What the Tolerance window does, without Qt: its input texts read into settings and
// limits, the run on a thread of its own, and the texts and histogram it shows.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ladder/tolerance.h"

namespace tolerance {

// The window's fields as typed. An empty limit is no limit.
struct Inputs {
    std::string trials = "1000";
    bool uniform = false;  // crystal spread uniform within +-Hz, else normal with sd Hz
    std::string crystalHz = "0", capPercent = "0", indPercent = "0";
    std::string seed = "1";
    std::string bandwidthPercent = "10", maxRippleDb = "1", maxLossDb = "6";
};

// ConvertError for a text that is no number; the ranges are checkSettings()' business.
Settings readSettings(const Inputs& in);
Limits readLimits(const Inputs& in);

// One line of the statistics table, every number as text: the nominal circuit's value, then
// the figures over the trials.
struct StatsRow {
    std::string caption, unit, nominal, trials, mean, sd, min, p5, median, p95, max;
};
std::vector<StatsRow> statisticsRows(const Result& r, const std::string& frequnit);

// "Yield: 93.1 % (931 of 1000 trials)", with the failed trials when there were any.
std::string yieldText(const Result& r, const Limits& limits);

// The values a readout took over the trials that had it.
std::vector<double> valuesOf(const Result& r, Quantity q);

struct Histogram {
    double from = 0, width = 0;  // the first bin starts at `from`; all are `width` wide
    std::vector<int> counts;
};
// `bins` equal bins from the lowest value to the highest; one bin when they are equal.
Histogram histogram(const std::vector<double>& values, int bins);

// One run at a time on a thread of its own. Callbacks come on that thread.
class Runner {
public:
    struct Callbacks {
        Progress progress;
        std::function<void(Result)> done;               // not for a cancelled run
        std::function<void(std::string)> refused;       // bad settings or a failing nominal circuit
    };

    // Cancels a run in progress and waits the moment it takes to stop, then starts.
    void start(Circuit nominal, double start, double stop, Settings s, Callbacks callbacks);
    // Returns at once; the run stops within a trial or so and reports nothing.
    void cancel();
    bool running() const { return state_ && state_->running; }

private:
    struct State {
        std::atomic<bool> running = true;
    };
    std::shared_ptr<State> state_;
    std::jthread thread_;  // last: joined before the rest goes
};

}  // namespace tolerance
