// libFuzzer target for the circuit file: read, solve the sweep, save, read the saved text
// again and compare. Any crash, sanitizer report or a saved file that does not read back
// as the same circuit is a finding.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "analyser.h"
#include "circuitfile.h"
#include "engine.h"
#include "errors.h"
#include "null_window.h"
#include "numread.h"

namespace {

// One scratch file for the whole run: the reader takes a file name, not text.
const std::string& scratchFile()
{
    static const std::string name = [] {
        char path[] = "/tmp/circuit-fuzz-XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0)
            std::abort();
        close(fd);
        return std::string(path);
    }();
    return name;
}

void put(const std::string& bytes)
{
    std::FILE* f = std::fopen(scratchFile().c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

bool read(Model& m, const std::string& bytes)
{
    put(bytes);
    m = Model::startup();
    m.circuitfile = scratchFile();
    NullWindow w;
    try {
        readLadder(m, w);
        return true;
    } catch (const AppError&) {
        return false;
    }
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
    Model first;
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
    Model second;
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
