#include "sweep.h"

#include <array>
#include <cstdio>

#include "analyser.h"
#include "engine.h"

namespace {

constexpr const char* kHeader = "frequency,s21_db,s11_db\n";

void appendPoint(std::string& out, double f, const Solution& s)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.17g,%.17g,%.17g\n", f, s.s21db, s.s11db);
    out += buf;
}

}  // namespace

std::string sweepCsv(const Model& m)
{
    std::string out = kHeader;
    // Exactly the plot's frequencies, so the table matches what the window draws.
    const auto freqs = sweepFrequencies(m.startfreq, m.stopfreq);
    solveSweep(m, freqs.data(), kSweepPoints,
                [&](int i, const Solution& s) { appendPoint(out, freqs[i], s); });
    return out;
}

std::string pointCsv(const Model& m, double analysisfreq)
{
    std::string out = kHeader;
    appendPoint(out, analysisfreq, solveLadder(m, analysisfreq));
    return out;
}
