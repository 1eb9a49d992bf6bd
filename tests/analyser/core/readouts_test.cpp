#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "ladder_support.h"
#include "readouts.h"

namespace {

using laddertest::ladder;

// A third-order low-pass between 50 ohm ends, cutoff 10 MHz: shunt C, series L, shunt C
// with the prototype values g1..g3 scaled to 50 ohm, near-lossless inductors.
Model lowPass(double g1, double g2, double g3)
{
    const double wc = 2 * std::numbers::pi * 10e6;
    const double pF = 1e12 / (wc * 50), nH = 1e9 * 50 / wc;
    Model m = ladder({{"cap", "par", g1 * pF}, {"ind", "ser", g2 * nH}, {"cap", "par", g3 * pF}});
    m.inductorq = 1e9;
    return m;
}

TEST(Readouts, ButterworthLowPass)
{
    // |S21|^2 = 1 / (1 + (f/fc)^6): flat from DC, 3.01 dB down at the cutoff.
    const Readouts r = measureResponse(lowPass(1, 2, 1), 0, 300);
    EXPECT_NEAR(r.insertionLossDb, 0, 1e-6);
    EXPECT_LT(r.peakFreq, 0.5);
    EXPECT_EQ(r.rippleDb, 0);
    for (std::size_t k = 0; k < Readouts::kLevels.size(); ++k) {
        const int x = Readouts::kLevels[k];
        SCOPED_TRACE(x);
        EXPECT_FALSE(r.bands[k].low);
        EXPECT_FALSE(r.bands[k].width);
        ASSERT_TRUE(r.bands[k].high);
        EXPECT_NEAR(*r.bands[k].high, 10 * std::pow(std::pow(10, x / 10.0) - 1, 1.0 / 6), 1e-5);
    }
    EXPECT_FALSE(r.centre3);
    EXPECT_FALSE(r.shape60to6);
    EXPECT_FALSE(r.delayCentre);
    // The worst match is at the band edge, where half the power less 3 dB comes back.
    EXPECT_NEAR(r.returnLossDb, -10 * std::log10(1 - std::pow(10, -0.3)), 1e-5);
    // At DC the prototype's delay is 2 / wc; it rises towards the edge.
    EXPECT_NEAR(r.delayMin, 2 / (2 * std::numbers::pi * 10e6), 1e-12);
    EXPECT_GT(r.delayMax, r.delayMin);
}

TEST(Readouts, ChebyshevRippleAndABandPassCentre)
{
    // 0.5 dB ripple prototype: maxima at DC and inside the band, a 0.5 dB dip between.
    const Readouts cheb = measureResponse(lowPass(1.5963, 1.0967, 1.5963), 0, 30);
    EXPECT_NEAR(cheb.rippleDb, 0.5, 2e-3);

    // Series LC resonating at 10 MHz between 50 ohm ends: symmetric in log frequency,
    // so the 3 dB edges multiply to 100; there X = k R with k^2 = 10^0.3 - 1, so they lie
    // k R / (2 pi L) apart.
    Model bp = ladder({{"ind", "ser", 2000}, {"cap", "ser", 1e12 / (std::pow(2 * std::numbers::pi * 10e6, 2) * 2000e-9)}});
    bp.inductorq = 1e9;
    const Readouts r = measureResponse(bp, 5, 20);
    EXPECT_NEAR(r.peakFreq, 10, 1e-6);
    ASSERT_TRUE(r.bands[0].low && r.bands[0].high && r.centre3 && r.delayCentre);
    EXPECT_NEAR(*r.bands[0].low * *r.bands[0].high, 100, 1e-5);
    EXPECT_NEAR(*r.bands[0].width, std::sqrt(std::pow(10, 0.3) - 1) * 100 / (2 * std::numbers::pi * 2000e-9) / 1e6, 1e-5);
    EXPECT_NEAR(*r.centre3, (*r.bands[0].low + *r.bands[0].high) / 2, 1e-12);
    EXPECT_NEAR(r.rippleDb, 0, 0);
    EXPECT_GT(r.delayMax, r.delayMin);
}

}  // namespace
