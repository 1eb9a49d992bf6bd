// libFuzzer target for the circuit file: read, solve the sweep, save, read the saved text
// again and compare. Any crash, sanitizer report or a saved file that does not read back
// as the same circuit is a finding.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "analyser.h"
#include "circuitfile.h"
#include "engine.h"
#include "errors.h"
#include "null_window.h"

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
    if (circuitText(second) != saved) {
        std::fprintf(stderr, "a saved file reads back as another circuit:\n%s\n", saved.c_str());
        std::abort();
    }
    return 0;
}
