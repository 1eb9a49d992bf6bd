// libFuzzer target for the circuit file: read, solve the sweep, save, read the saved text
// again and compare. Any crash, sanitizer report or a saved file that does not read back
// as the same circuit is a finding.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/numread.h"
#include "ladder/circuit_file.h"
#include "ladder/engine.h"
#include "ladder/sweep_grid.h"

namespace {

bool read(Circuit& m, const std::string& bytes)
{
    const CircuitRead r = readCircuit(bytes, Circuit::startup());
    if (!r.ok())
        return false;
    m = r.circuit;
    return true;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    return lines;
}

// The texts of two saves are equal, except where the format itself changes a value: a
// table step too small for its five decimals is saved as zero and read back as a tenth of
// the span.
bool sameCircuit(const std::string& saved, const std::string& again, bool crystal)
{
    std::vector<std::string> a = linesOf(saved), b = linesOf(again);
    const std::size_t tablestep = crystal ? 11 : 7;
    if (a.size() != b.size() || a.size() <= tablestep)
        return saved == again;
    if (readNumber(a[tablestep]) == 0)
        a[tablestep] = b[tablestep];
    return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 8192)
        return 0;
    Circuit first;
    if (!read(first, std::string(reinterpret_cast<const char*>(data), size)))
        return 0;
    try {
        const auto freqs = sweepFrequencies(first.startfreq, first.stopfreq);
        solveSweep(first, freqs.data(), kSweepPoints, [](int, const Solution& s) {
            if (!std::isfinite(s.s21db) || !std::isfinite(s.s11db))
                std::abort();  // a result that is no number escaped the engine
        });
    } catch (const FloatError&) {
    }

    const std::string saved = circuitText(first);
    Circuit second;
    if (!read(second, saved)) {
        std::fprintf(stderr, "a saved file does not read back:\n%s\n", saved.c_str());
        std::abort();
    }
    if (!sameCircuit(saved, circuitText(second), first.crystalflag == 1)) {
        std::fprintf(stderr, "a saved file reads back as another circuit:\n%s\n", saved.c_str());
        std::abort();
    }
    return 0;
}
