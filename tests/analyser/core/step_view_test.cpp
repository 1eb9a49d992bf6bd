#include <gtest/gtest.h>

#include "analyser/core/step_view.h"
#include "common/numtext.h"
#include "ladder/circuit_file.h"
#include "ladder/readouts/readouts.h"

namespace {

TEST(StepView, FiveCrystalFilterInMilliseconds)
{
    const Circuit m = readCircuitFile(std::string(EXAMPLES_DIR) + "/crystal-5-pole.cir");
    const StepView v = makeStepView(m, measureResponse(m, m.startfreq, m.stopfreq));
    ASSERT_TRUE(v.error.empty()) << v.error;
    EXPECT_EQ(v.kind, StepKind::BandPass);
    EXPECT_STREQ(v.scale.unit, "ms");
    // The same step the command prints, its time in ms.
    const StepResponse s = stepResponse(m);
    ASSERT_EQ(v.time.size(), s.time.size());
    EXPECT_DOUBLE_EQ(v.time.back(), s.time.back() * 1e3);
    EXPECT_EQ(v.value, s.value);
    const StepReadouts r = stepReadouts(s);
    EXPECT_EQ(v.readouts.settle, r.settle);
    EXPECT_EQ(stepReadoutsLine(v), "Delay " + generalText(r.delay * 1e3, 4) + " ms   Rise " +
                                       generalText(r.rise * 1e3, 4) + " ms   Overshoot " +
                                       generalText(r.overshootPct, 3) + " %   Settling " +
                                       generalText(r.settle * 1e3, 4) + " ms");
}

TEST(StepView, LowPassInNanosecondsAndAFailureSaysWhy)
{
    const Circuit m = readCircuitFile(std::string(EXAMPLES_DIR) + "/lowpass-7-pole.cir");
    const StepView v = makeStepView(m, measureResponse(m, m.startfreq, m.stopfreq));
    EXPECT_EQ(v.kind, StepKind::LowPass);
    EXPECT_STREQ(v.scale.unit, "ns");
    EXPECT_EQ(stepTitle(v), "Step response (low-pass)");

    // A crystal circuit whose centre lies below the crystal frequency's 0 Hz.
    const Circuit low = readCircuitFile(std::string(EXAMPLES_DIR) + "/crystal-5-pole.cir");
    Readouts r = measureResponse(low, low.startfreq, low.stopfreq);
    r.centre3 = -low.xtalfreq * 2e6;
    const StepView bad = makeStepView(low, r);
    EXPECT_FALSE(bad.error.empty());
    EXPECT_EQ(stepReadoutsLine(bad), "No step response: " + bad.error);
}

}  // namespace
