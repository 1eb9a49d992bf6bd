#pragma once
// Running the six steps off screen, and the loss-corrected design.
//
// The steps design with lossless k and q, so crystal loss makes the built filter narrower
// than asked. The correction designs with another bandwidth B' (the steps' own bandwidth,
// never a field the user typed) and searches B' until the engine's -3 dB bandwidth of the
// design equals the asked B within kLossTolerance.

#include <map>
#include <string>
#include <vector>

#include "designer/core/controls.h"
#include "designer/core/design_state.h"
#include "designer/core/memory_port.h"

// Where step 4's end resistance comes from.
enum class EndRChoice {
    Typed,           // the R field as it stands; step 4 refuses one below the minimum
    Minimum,         // the minimum end resistance of step 3, rounded up to a whole ohm
    TypedOrMinimum,  // the R field, raised to the rounded-up minimum where it is below it
};

struct StepsRun {
    bool done = false;     // all six steps ran without a message
    std::string message;   // else the first message a step showed, as the window shows it
    bool endRRaised = false;
    float typedEndR = 0;   // the R field's value, where it was read
};

// Steps 1 to 6 on `port`'s fields and on `s`, stopping at the first message (every message
// of the steps is a refusal or a warning). Throws what the steps throw (a field that is not
// a number, a floating-point failure).
StepsRun runDesignSteps(DesignState& s, MemoryDesignPort& port, EndRChoice endR);

inline constexpr double kLossTolerance = 0.005;  // of the asked bandwidth
inline constexpr int kMaxLossIterations = 30;

struct LossCorrection {
    bool reached = false;
    double askedBwHz = 0;
    double designBwHz = 0;     // B' of the corrected design, or of the closest one tried
    double realizedBwHz = 0;   // its -3 dB bandwidth; 0 where none was found
    int iterations = 0;        // designs solved
    bool endRRaised = false;
    float endR = 0;            // the R the design uses
    DesignState state;         // the corrected design, when reached
    MemoryDesignPort window;   // its field texts, when reached
    std::string message;       // what the window says, in either case
};

// `typed` holds the user's field texts (B is read from them as the asked bandwidth).
// Nothing outside the result is changed, whether the target is reached or not.
// With a matched set (fs of mesh 1 first) every trial is tuned to it and solved with its offsets.
LossCorrection correctForLoss(const std::map<design::Field, std::string>& typed, EndRChoice endR,
                              const std::vector<double>& setFsHz = {}, const std::vector<std::string>& setNames = {});
