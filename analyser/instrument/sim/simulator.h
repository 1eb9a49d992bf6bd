#pragma once
// Simulated instruments for the tests and for demonstrations: a NanoVNA shell on a
// pseudo-terminal and a LibreVNA SCPI server on the loopback address, answering from a
// circuit through the engine, each on a thread of its own.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "ladder/circuit.h"

enum class SimFault { None, Silence, Garbage, WrongCount, WrongFrequency, ErrorLine, Close };

struct SimOptions {
    double noise = 0;        // standard deviation added to each real and imaginary part
    int delayMs = 0;         // before each reply
    int pieceBytes = 0;      // replies sent in pieces of this size, 0 for whole
    bool binaryScan = true;  // NanoVNA: its help lists scan_bin
    SimFault fault = SimFault::None;
    int faultAfter = 0;      // good sweep replies before the fault, which comes once
    unsigned seed = 1;
};

// Parses "silence", "garbage", "count", "frequency", "error", "close"; throws AppError.
SimFault simFaultFromName(const std::string& name);

class Simulator {
public:
    virtual ~Simulator();
    // The device path (NanoVNA) or "127.0.0.1:PORT" (LibreVNA).
    virtual std::string address() const = 0;
    int sweepsAnswered() const { return sweeps_; }
    void stop();

protected:
    Simulator(const Circuit& c, const SimOptions& o) : circuit_(c), options_(o) {}
    void start();
    virtual void run() = 0;
    // S11 and S21 at an absolute frequency, with the noise asked for.
    void respond(double hz, double values[4]);
    // Sends the reply on fd after the delay, in pieces; false when the peer is gone.
    bool sendReply(int fd, const std::string& bytes);
    // The fault to inject at this sweep reply, counting it.
    SimFault nextFault();

    Circuit circuit_;
    SimOptions options_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> sweeps_{0};
    bool faulted_ = false;
    unsigned long long random_ = 0;

private:
    std::thread thread_;
};

std::unique_ptr<Simulator> startNanoVnaSimulator(const Circuit& c, const SimOptions& o = {});
// port 0 takes any free one.
std::unique_ptr<Simulator> startLibreVnaSimulator(const Circuit& c, const SimOptions& o = {}, int port = 0);
