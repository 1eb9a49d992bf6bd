#include "designer/core/realized.h"

#include <algorithm>
#include <cmath>

#include "designer/core/design_file.h"
#include "ladder/engine.h"
#include "ladder/circuit_file.h"
#include "common/numtext.h"

Circuit realizedCircuit(const DesignState& s)
{
    std::string text;
    for (const std::string& line : designLines(s))
        text += line + "\r\n";
    const CircuitRead read = readCircuit(text, Circuit::startup());
    if (!read.ok())
        read.rethrow();
    return read.circuit;
}

RealizedResponse realizeDesign(const DesignState& s, double askedBwHz, int curvePoints)
{
    const Circuit m = realizedCircuit(s);
    RealizedResponse r;
    r.askedBwHz = askedBwHz;
    r.designBwHz = s.bw;
    r.readouts = measureResponse(m, m.startfreq, m.stopfreq);
    const int n = std::max(curvePoints, 2);
    for (int i = 0; i < n; ++i) {
        const double f = m.startfreq + (m.stopfreq - m.startfreq) * i / (n - 1);
        const Solution sol = solveLadder(m, f);
        r.freqHz.push_back(f);
        r.s21Db.push_back(sol.s21db);
        r.s11Db.push_back(sol.s11db);
    }
    return r;
}

std::string realizedCsv(const RealizedResponse& r)
{
    std::string out;
    auto line = [&](const char* name, std::optional<double> v) {
        out += name;
        out += ',';
        out += v ? generalText(*v, 10) : std::string("none");
        out += '\n';
    };
    const Readouts& x = r.readouts;
    line("realized_bw3_hz", x.bands[0].width);
    line("realized_bw6_hz", x.bands[1].width);
    line("realized_centre_offset_hz", x.centre3);
    line("insertion_loss_db", x.insertionLossDb);
    line("ripple_db", x.rippleDb);
    line("return_loss_db", x.returnLossDb);
    return out;
}
