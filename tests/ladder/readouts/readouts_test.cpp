#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <numbers>
#include <optional>
#include <random>
#include <sstream>

#include "common/errors.h"
#include "tests/support/ladder_support.h"
#include "common/numtext.h"
#include "ladder/readouts/readouts.h"

namespace {

using laddertest::ladder;

// A third-order low-pass between 50 ohm ends, cutoff 10 MHz: shunt C, series L, shunt C
// with the prototype values g1..g3 scaled to 50 ohm, near-lossless inductors.
Circuit lowPass(double g1, double g2, double g3)
{
    const double wc = 2 * std::numbers::pi * 10e6;
    const double pF = 1e12 / (wc * 50), nH = 1e9 * 50 / wc;
    Circuit m = ladder({{"cap", "par", g1 * pF}, {"ind", "ser", g2 * nH}, {"cap", "par", g3 * pF}});
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
    Circuit bp = ladder({{"ind", "ser", 2000}, {"cap", "ser", 1e12 / (std::pow(2 * std::numbers::pi * 10e6, 2) * 2000e-9)}});
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

// Every readout as 17 significant digits, or the error's text.
std::string readoutsLine(const Circuit& m)
{
    try {
        std::string out;
        for (const ReadoutValue& v : readoutValues(measureResponse(m, m.startfreq, m.stopfreq), m.frequnit)) {
            out += ' ';
            if (v.value)
                appendG17(out, *v.value);
            else
                out += "none";
        }
        return out;
    } catch (const AppError& e) {
        return std::string(" error ") + e.what();
    }
}

TEST(Readouts, RefiningSearchesGiveTheRecordedValuesBitForBit)
{
    // Recorded from the searches solving one point at a time; solving the points of many
    // searches in one batch must change nothing, not even the last digit or an error.
    std::map<std::string, Circuit> cases = laddertest::readoutReferenceLadders();
    std::ifstream in(TEST_DATA_DIR "/readouts_reference.txt");
    ASSERT_TRUE(in) << "readouts_reference.txt";
    std::string line;
    std::size_t seen = 0;
    while (std::getline(in, line)) {
        const std::string name = line.substr(0, line.find(' '));
        ASSERT_TRUE(cases.count(name)) << name;
        EXPECT_EQ(name + readoutsLine(cases[name]), line);
        ++seen;
    }
    EXPECT_EQ(seen, cases.size());
}

// A smooth response on [0, 10]: S21 peaks at 5 (3 dB edges 5 -+ 1.73), S11 peaks at
// 4.004 and the delay at 6.004, between sweep points. Either can be made to fail close to
// its peak, and the batches can be made to fail outright.
struct TestCurve : ResponseCurve {
    bool batchFails = false;
    double s11FailsWithin = 0, delayFailsWithin = 0;

    void levels(const double* f, int n, double* out) const override
    {
        for (int i = 0; i < n; ++i)
            out[i] = s21db(f[i]);
    }
    void s21dbAt(const double* f, int n, double* out) const override
    {
        if (batchFails)
            throw FloatError::overflow();
        ResponseCurve::s21dbAt(f, n, out);
    }
    double s21db(double f) const override { return -(f - 5) * (f - 5); }
    double s11db(double f) const override
    {
        if (std::abs(f - 4.004) < s11FailsWithin)
            throw FloatError::overflow();
        return -20 - (f - 4.004) * (f - 4.004);
    }
    double delay(double f) const override
    {
        if (std::abs(f - 6.004) < delayFailsWithin)
            throw FloatError::divisionByZero();
        return 1e-6 * (2 - (f - 6.004) * (f - 6.004));
    }
};

TEST(Readouts, ABatchThatFailsIsSolvedAgainOnePointAtATime)
{
    const Readouts plain = measureCurve(TestCurve{}, 0, 10);
    TestCurve failing;
    failing.batchFails = true;
    const Readouts again = measureCurve(failing, 0, 10);
    EXPECT_EQ(readoutsCsv(again, "MHz"), readoutsCsv(plain, "MHz"));
    EXPECT_NEAR(plain.returnLossDb, 20, 1e-12);
    EXPECT_NEAR(plain.delayMax, 2e-6, 1e-18);
}

TEST(Readouts, TheErrorIsTheOneTheSearchesMeetInTheirOrder)
{
    // Side by side the delay search fails in its first round, the S11 search only close to
    // its peak; one after the other the S11 search comes first, and so does its error.
    TestCurve curve;
    curve.s11FailsWithin = 1e-6;
    curve.delayFailsWithin = 3e-3;
    EXPECT_THROW(
        try { measureCurve(curve, 0, 10); } catch (const FloatError& e) {
            EXPECT_STREQ(e.what(), messages::kOverflow);
            throw;
        },
        FloatError);
    curve.s11FailsWithin = 0;
    EXPECT_THROW(
        try { measureCurve(curve, 0, 10); } catch (const FloatError& e) {
            EXPECT_STREQ(e.what(), messages::kDivisionByZero);
            throw;
        },
        FloatError);
}

}  // namespace
