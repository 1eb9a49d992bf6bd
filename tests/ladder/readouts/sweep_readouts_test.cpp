#include <gtest/gtest.h>

#include <random>

#include "common/errors.h"
#include "tests/support/ladder_support.h"
#include "ladder/readouts/sweep_readouts.h"
#include "ladder/twoport.h"

namespace {

using laddertest::ladder;
using laddertest::sameBits;

Readouts fromSweep(Circuit m, double start, double stop)
{
    const bool inputS11 = addInputBridge(m);
    SweptLevels sweep = readoutSweep(start, stop);
    solveLevels(m, sweep);
    return readoutsFromSweep(m, sweep, inputS11);
}

void expectClose(std::optional<double> expected, std::optional<double> got, double tol, const char* what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(expected.has_value(), got.has_value());
    if (expected) {
        EXPECT_NEAR(*expected, *got, tol);
    }
}

// The same readouts as the full measurement, to within its own precision: edges and
// centres to 1e-7 of the span, levels to 1e-6 dB (the return loss 1e-5). The peak's frequency only to 1e-5 of
// the span: the top of a smooth peak is flat to the last bit over a wider range than that.
void expectSameReadouts(const Circuit& m, double start, double stop)
{
    Readouts full;
    try {
        full = measureResponse(m, start, stop);
    } catch (const AppError& e) {
        // A circuit the full measurement cannot solve fails the same way here.
        try {
            fromSweep(m, start, stop);
            ADD_FAILURE() << "no error; expected " << e.what();
        } catch (const AppError& quick) {
            EXPECT_STREQ(e.what(), quick.what());
        }
        return;
    }
    const Readouts quick = fromSweep(m, start, stop);
    const double span = std::abs(stop - start);
    EXPECT_NEAR(full.peakFreq, quick.peakFreq, 1e-5 * span);
    EXPECT_NEAR(full.insertionLossDb, quick.insertionLossDb, 1e-6);
    for (std::size_t k = 0; k < Readouts::kLevels.size(); ++k) {
        SCOPED_TRACE(Readouts::kLevels[k]);
        expectClose(full.bands[k].low, quick.bands[k].low, 1e-7 * span, "low");
        expectClose(full.bands[k].high, quick.bands[k].high, 1e-7 * span, "high");
        expectClose(full.bands[k].width, quick.bands[k].width, 2e-7 * span, "width");
    }
    expectClose(full.centre3, quick.centre3, 1e-7 * span, "centre");
    expectClose(full.shape60to6, quick.shape60to6, 1e-6 * full.shape60to6.value_or(0), "shape");
    EXPECT_NEAR(full.rippleDb, quick.rippleDb, 1e-6);
    // At a band edge the return loss is taken where the edge was found.
    EXPECT_NEAR(full.returnLossDb, quick.returnLossDb, 1e-5);
    EXPECT_FALSE(quick.delayCentre);
}

TEST(SweepReadouts, AgreeWithTheFullMeasurement)
{
    {
        SCOPED_TRACE("80-part crystal ladder");
        expectSameReadouts(laddertest::fullCrystalLadder(), -5000, 5000);
    }
    {
        SCOPED_TRACE("default LC filter");
        expectSameReadouts(Circuit::startup(), 0, 30);
    }
    {
        SCOPED_TRACE("reversed range");
        expectSameReadouts(Circuit::startup(), 30, 0);
    }
    {
        // Full table without a bridge at the end: the return loss comes from the two-port.
        SCOPED_TRACE("full LC ladder, no bridge last");
        Circuit m = laddertest::fullLcLadder();
        m.setKind(kMaxParts, "cap");
        m.part(kMaxParts).partconn = "ser";
        m.part(kMaxParts).partvalue = 150;
        ASSERT_FALSE(addInputBridge(m));
        expectSameReadouts(m, 0, 200);
    }
    std::mt19937_64 rng(11);
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        const Circuit m = laddertest::randomLadder(rng);
        // Some random ladders pass nothing: their "peak" is a needle in a stop band 800 dB
        // down, narrower than a sweep step, where each search may settle on another needle.
        try {
            if (measureResponse(m, m.startfreq, m.stopfreq).insertionLossDb > 100)
                continue;
        } catch (const AppError&) {
        }
        expectSameReadouts(m, m.startfreq, m.stopfreq);
    }
}

TEST(SweepReadouts, BridgeGivesTheInputReflectionAndLeavesS21Alone)
{
    struct Case {
        const char* name;
        Circuit m;
        bool bridged;  // else the two-port has to give the input reflection
    };
    Circuit none = ladder({}, 75);  // not matched: a perfect match shows -100 dB on the bridge
    none.partcount = -2;
    Circuit fullNoBridge = laddertest::fullLcLadder();
    fullNoBridge.setKind(kMaxParts, "cap");
    const Case cases[] = {
        {"ends in a shunt part", ladder({{"cap", "par", 100}, {"ind", "ser", 800}, {"cap", "par", 120}}), true},
        {"ends in a series part", ladder({{"cap", "par", 100}, {"ind", "ser", 800}}), true},
        {"bridge inside", ladder({{"rlb", "ser", 0}, {"cap", "par", 100}, {"ind", "ser", 800}}), true},
        {"no parts", none, true},
        {"full table, bridge last", laddertest::fullCrystalLadder(), true},
        {"full table, no bridge last", fullNoBridge, false},
        {"odd connection text", ladder({{"cap", "par", 100}, {"ind", "Ser", 800}}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Circuit bridged = c.m;
        ASSERT_EQ(addInputBridge(bridged), c.bridged);
        if (!c.bridged)
            continue;
        for (double f : {0.5, 3.0, 9.7, 25.0, 1500.0}) {
            const Solution before = solveLadder(c.m, f), after = solveLadder(bridged, f);
            EXPECT_TRUE(sameBits(before.s21db, after.s21db)) << f;
            EXPECT_NEAR(after.s11db, magnitudeDb(solveTwoPort(c.m, f).s11), 1e-9) << f;
        }
    }
}

}  // namespace
