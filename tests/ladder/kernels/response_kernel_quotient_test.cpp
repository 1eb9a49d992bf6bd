#include <gtest/gtest.h>

#include <vector>

#include "analyser/core/analyser.h"
#include "common/errors.h"
#include "tests/support/ladder_support.h"
#include "ladder/twoport.h"

namespace {

using laddertest::ladder;
using laddertest::PartDef;
using laddertest::sameBits;

// Walk values near the ends of the range the kernel forms quotients in without dividing,
// and exact zeros among them: every point still has the one-frequency solve's bits.
TEST(ResponseKernelQuotients, ExtremeLevelsBitForBit)
{
    struct Case {
        const char* name;
        Circuit m;
    };
    std::vector<PartDef> tinyCaps, hugeCaps;
    for (int n = 0; n < 40; ++n) {
        tinyCaps.push_back({"cap", n % 2 ? "ser" : "par", 1e-9});
        hugeCaps.push_back({"cap", n % 2 ? "ser" : "par", 1e12});
    }
    Circuit crystalLow = laddertest::fullCrystalLadder();
    crystalLow.loadr = crystalLow.sourcer = 1e-6;
    Circuit crystalHigh = laddertest::fullCrystalLadder();
    crystalHigh.loadr = crystalHigh.sourcer = 1e9;
    const std::vector<Case> cases{
        {"tiny capacitors", ladder(tinyCaps, 1e-3, 1e-3)},
        {"huge capacitors", ladder(hugeCaps, 1e6, 1e6)},
        {"crystals at a low impedance", crystalLow},
        {"crystals at a high impedance", crystalHigh},
        {"one shunt inductor", ladder({{"ind", "par", 1e-6}}, 1e-9, 1e-9)},
    };
    std::vector<double> freqs;
    for (double f = -5000; f <= 5000; f += 37)
        freqs.push_back(f);
    for (double f = 0; f < 1e4; f = f * 3 + 1)
        freqs.push_back(f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Response> sweep;
        bool sweepFailed = false;
        try {
            solveResponseSweep(c.m, freqs.data(), static_cast<int>(freqs.size()),
                               [&](int, const Response& r) { sweep.push_back(r); });
        } catch (const FloatError&) {
            sweepFailed = true;
        }
        for (std::size_t i = 0; i < sweep.size(); ++i) {
            const Response w = solveResponse(c.m, freqs[i]);
            const TwoPort &s = sweep[i].twoPort, &t = w.twoPort;
            ASSERT_TRUE(sameBits(sweep[i].levels.s21db, w.levels.s21db) &&
                        sameBits(sweep[i].levels.s11db, w.levels.s11db) &&
                        sameBits(s.s11.real(), t.s11.real()) && sameBits(s.s11.imag(), t.s11.imag()) &&
                        sameBits(s.s21.real(), t.s21.real()) && sameBits(s.s21.imag(), t.s21.imag()) &&
                        sameBits(s.s22.real(), t.s22.real()) && sameBits(s.s22.imag(), t.s22.imag()) &&
                        sameBits(s.delay, t.delay))
                << "frequency " << freqs[i];
        }
        if (sweepFailed) {
            EXPECT_THROW(solveResponse(c.m, freqs[sweep.size()]), FloatError);
        }
    }
}

}  // namespace
