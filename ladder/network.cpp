#include "ladder/network.h"

#include "ladder/sweep_grid.h"
#include "common/checkedmath.h"
#include "ladder/twoport.h"
#include "common/version.h"

double absoluteHz(const Circuit& m, double circuitFreq)
{
    return m.crystalflag == 1 ? m.xtalfreq * 1e6 + circuitFreq : circuitFreq * 1e6;
}

double circuitFrequency(const Circuit& m, double hz)
{
    return m.crystalflag == 1 ? hz - m.xtalfreq * 1e6 : hz / 1e6;
}

Network sweepNetwork(const Circuit& m, double start, double stop)
{
    checked::finite(stop - start);
    const auto freqs = sweepFrequencies(start, stop);
    Network n;
    n.ports = 2;
    n.referenceR1 = m.sourcer;
    n.referenceR2 = m.loadr;
    n.frequencyHz.reserve(kSweepPoints);
    for (double f : freqs) {
        const TwoPort t = solveResponse(m, f).twoPort;
        n.frequencyHz.push_back(checked::finite(absoluteHz(m, f)));
        n.s11.push_back(t.s11);
        n.s21.push_back(t.s21);
        n.s12.push_back(t.s21);  // a ladder of passive parts is reciprocal
        n.s22.push_back(t.s22);
    }
    return n;
}

std::string sweepTouchstone(const Circuit& m, const std::string& circuitFile, double start, double stop,
                            const std::string& program)
{
    WriteOptions options;
    options.comments = {"Circuit file: " + circuitFile,
                        "Written by " + program + " " + LADDER_VERSION};
    return writeTouchstone(sweepNetwork(m, start, stop), options);
}
