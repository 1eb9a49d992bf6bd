#pragma once
// One instrument's conversation, without any input or output of its own: the link hands it
// every byte that arrives and sends what it answers. Adding an instrument is one more
// class of this kind (and a line in makeProtocol).

#include <memory>
#include <string>
#include <string_view>

#include "analyser/instrument/protocol/frequency_plan.h"
#include "analyser/instrument/protocol/sweep_data.h"

// What to do next: send these bytes (after a pause, for polling), or nothing more to do.
struct Step {
    std::string send;
    int delayMs = 0;
    bool finished = false;  // the identification or sweep asked for is complete
};

class InstrumentProtocol {
public:
    virtual ~InstrumentProtocol() = default;

    virtual std::string kind() const = 0;  // "NanoVNA"
    // Starts identification on a freshly opened connection.
    virtual Step beginIdentify() = 0;
    // Starts a sweep of the plan's frequencies, segment by segment.
    virtual Step beginSweep(const FrequencyPlan& plan) = 0;
    // Bytes from the instrument, in pieces of any size. Throws InstrumentFault for a reply
    // that is not what was asked.
    virtual Step received(std::string_view bytes) = 0;

    // The command whose reply is awaited, as the user would type it ("scan").
    virtual std::string awaiting() const = 0;
    // What the instrument said it is, once identified.
    virtual std::string identity() const = 0;
    // The finished sweep, in the plan's order.
    virtual SweepData takeSweep() = 0;
};

enum class InstrumentKind { NanoVna, LibreVna };

struct ProtocolOptions {
    bool binaryScan = true;  // NanoVNA: use scan_bin where its help lists it
};

std::unique_ptr<InstrumentProtocol> makeProtocol(InstrumentKind kind, const ProtocolOptions& options = {});
