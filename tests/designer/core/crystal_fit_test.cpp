#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <string>
#include <vector>

#include "designer/core/crystal_fit.h"

namespace {

using cplx = std::complex<double>;
constexpr double kTwoPi = 6.283185307179586477;

struct Crystal {
    double fs, lm, rm, c0;
    double cm() const { return 1 / (std::pow(kTwoPi * fs, 2) * lm); }
    double fp() const { return fs * std::sqrt(1 + cm() / c0); }
};

Crystal crystalWithQ(double fs, double lm, double q, double c0)
{
    return {fs, lm, kTwoPi * fs * lm / q, c0};
}

// A network analyser's segmented sweep: a coarse run from below fs to above fp (or, wide,
// from 0.3 fs to 2 fs), and a segment of `across` points over `reach` half-widths either
// side of each resonance.
std::vector<double> sweep(const Crystal& x, double portR, int across, double reach, bool wide = false)
{
    const double spacing = x.fp() - x.fs;
    const double seriesHalf = (x.rm + 2 * portR) / (2 * kTwoPi * x.lm);
    const double parallelHalf = x.rm / (2 * kTwoPi * x.lm);
    std::vector<double> f;
    if (wide)
        for (int i = 0; i <= 1000; ++i)
            f.push_back(x.fs * (0.3 + 1.7 * i / 1000));
    else
        for (int i = 0; i <= 100; ++i)
            f.push_back(x.fs - spacing + 3 * spacing * i / 100);
    for (int i = 0; i < across; ++i) {
        const double t = -1 + 2.0 * i / (across - 1);
        f.push_back(x.fs + reach * seriesHalf * t);
        f.push_back(x.fp() + reach * parallelHalf * t);
    }
    std::sort(f.begin(), f.end());
    f.erase(std::unique(f.begin(), f.end(), [](double a, double b) { return b - a < 1e-3; }), f.end());
    return f;
}

// Standard normal draws of our own (Box-Muller), so that every library gives the same noise.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : bits(seed) {}
    double normal()
    {
        const double u1 = static_cast<double>(bits() >> 11) * 0x1.0p-53;
        const double u2 = static_cast<double>(bits() >> 11) * 0x1.0p-53;
        return std::sqrt(-2 * std::log(1 - u1)) * std::cos(kTwoPi * u2);
    }

private:
    std::mt19937_64 bits;
};

// The crystal's S21 with the trace noise of an analyser: sigmaDb in magnitude, sigmaDeg in phase.
std::vector<cplx> measure(const Crystal& x, const std::vector<double>& f, double portR, Noise* noise,
                          double sigmaDb = 0.02, double sigmaDeg = 0.2)
{
    std::vector<cplx> s21;
    for (double fi : f) {
        cplx s = crystalS21(x.fs, x.lm, x.rm, x.c0, fi, portR);
        if (noise) {
            const double db = sigmaDb * noise->normal();
            const double deg = sigmaDeg * noise->normal();
            s *= std::polar(std::pow(10.0, db / 20), deg * kTwoPi / 360);
        }
        s21.push_back(s);
    }
    return s21;
}

std::string describe(const Crystal& x, double portR)
{
    return "fs " + std::to_string(x.fs) + " Lm " + std::to_string(x.lm) + " Rm " + std::to_string(x.rm) + " C0 " +
           std::to_string(x.c0 * 1e12) + " pF, ports " + std::to_string(portR);
}

double relative(double value, double truth)
{
    return std::fabs(value / truth - 1);
}

TEST(CrystalModel, MatchesTheImpedanceOfArmAndHolder)
{
    // The motional arm and C0 in parallel, written out the textbook way, between two ports.
    const Crystal x = crystalWithQ(10e6, 0.02, 200000, 3e-12);
    for (double portR : {12.5, 50.0}) {
        for (double f : {9.99e6, x.fs, x.fs + 300, (x.fs + x.fp()) / 2, x.fp(), x.fp() + 1000, 10.05e6}) {
            const double w = kTwoPi * f;
            const cplx arm = cplx(x.rm, w * x.lm) + 1.0 / cplx(0, w * x.cm());
            const cplx holder = 1.0 / cplx(0, w * x.c0);
            const cplx z = arm * holder / (arm + holder);
            const cplx expected = 2 * portR / (2 * portR + z);
            EXPECT_LT(std::abs(crystalS21(x.fs, x.lm, x.rm, x.c0, f, portR) / expected - 1.0), 1e-6)
                << f << " Hz, " << portR << " ohm";
        }
    }
}

TEST(CrystalFit, RecoversCrystalsOverTheRangeWithNoise)
{
    // Typical motional inductances: a 1 MHz fundamental, the designer's default 10 MHz
    // crystal, a 30 MHz overtone crystal.
    const struct {
        double fs, lm;
    } kinds[] = {{1.0e6, 3.0}, {10.0e6, 0.02}, {30.0e6, 0.02}};
    Noise noise(20240611);
    for (const auto& kind : kinds)
        for (double q : {20000.0, 100000.0, 500000.0})
            for (double c0 : {1e-12, 7e-12})
                for (double portR : {12.5, 50.0}) {
                    const Crystal x = crystalWithQ(kind.fs + 123.4, kind.lm, q, c0);
                    const std::vector<double> f = sweep(x, portR, 1601, 3);
                    const CrystalFit fit = fitCrystal(f, measure(x, f, portR, &noise), portR);
                    const std::string what = describe(x, portR);
                    EXPECT_NEAR(fit.fsHz, x.fs, 0.5) << what;
                    EXPECT_LT(relative(fit.lmH, x.lm), 0.01) << what;
                    EXPECT_LT(relative(fit.rmOhm, x.rm), 0.01) << what;
                    EXPECT_LT(relative(fit.c0F, x.c0), 0.01) << what;
                    EXPECT_LT(relative(fit.cmF, x.cm()), 0.01) << what;
                    EXPECT_LT(relative(fit.qu, q), 0.01) << what;
                    EXPECT_NEAR(fit.fpHz, x.fp(), 0.01 * (x.fp() - x.fs)) << what;
                    // Fitted down to the noise, no further: 0.02 dB of it.
                    EXPECT_GT(fit.residualDb, 0.015) << what;
                    EXPECT_LT(fit.residualDb, 0.025) << what;
                }
}

TEST(CrystalFit, SevenPointsAcrossEachResonance)
{
    const Crystal crystals[] = {
        crystalWithQ(1.0e6, 3.0, 20000, 7e-12),
        crystalWithQ(10.0e6, 0.02, 200000, 3e-12),
        crystalWithQ(30.0e6, 0.02, 500000, 1e-12),
    };
    Noise noise(7);
    for (const Crystal& x : crystals)
        for (double portR : {12.5, 50.0}) {
            const std::vector<double> f = sweep(x, portR, 7, 0.9);
            const std::string what = describe(x, portR);

            // Without noise the model is found exactly: nothing in the fit leans on the sweep.
            const CrystalFit exact = fitCrystal(f, measure(x, f, portR, nullptr), portR);
            EXPECT_NEAR(exact.fsHz, x.fs, 1e-3) << what;
            EXPECT_LT(relative(exact.lmH, x.lm), 1e-7) << what;
            EXPECT_LT(relative(exact.rmOhm, x.rm), 1e-7) << what;
            EXPECT_LT(relative(exact.c0F, x.c0), 1e-7) << what;
            EXPECT_LT(exact.residualDb, 1e-6) << what;
            EXPECT_GE(exact.seriesPoints, 7) << what;
            EXPECT_GE(exact.parallelPoints, 7) << what;

            // With noise, so few points still place Lm, Rm and C0; fs is then only as good as
            // the noise over the loaded width allows (a few Hz at 50 ohm).
            const CrystalFit noisy = fitCrystal(f, measure(x, f, portR, &noise), portR);
            EXPECT_NEAR(noisy.fsHz, x.fs, 3) << what;
            EXPECT_LT(relative(noisy.lmH, x.lm), 0.01) << what;
            EXPECT_LT(relative(noisy.rmOhm, x.rm), 0.01) << what;
            EXPECT_LT(relative(noisy.c0F, x.c0), 0.01) << what;
        }
}

TEST(CrystalFit, FarPointsOfAWideSweepDoNotMislead)
{
    const struct {
        Crystal x;
        double portR;
    } cases[] = {
        {crystalWithQ(1.0e6, 3.0, 500000, 4e-12), 50},
        {crystalWithQ(30.0e6, 0.02, 20000, 7e-12), 12.5},
    };
    Noise noise(1);
    for (const auto& c : cases) {
        const std::vector<double> f = sweep(c.x, c.portR, 7, 0.9, true);
        const CrystalFit fit = fitCrystal(f, measure(c.x, f, c.portR, &noise), c.portR);
        EXPECT_LT(relative(fit.lmH, c.x.lm), 0.01) << describe(c.x, c.portR);
        EXPECT_LT(relative(fit.rmOhm, c.x.rm), 0.01) << describe(c.x, c.portR);
        EXPECT_LT(relative(fit.c0F, c.x.c0), 0.01) << describe(c.x, c.portR);
    }
}

TEST(CrystalFit, RefusesWhatIsNotACrystal)
{
    const Crystal x = crystalWithQ(10e6, 0.02, 200000, 3e-12);
    const std::vector<double> f = sweep(x, 50, 7, 1);
    const std::vector<cplx> good = measure(x, f, 50, nullptr);

    auto constant = [&](cplx value) { return std::vector<cplx>(f.size(), value); };
    auto series = [&](double rm, double c0) {
        std::vector<cplx> s;
        for (double fi : f)
            s.push_back(crystalS21(x.fs, x.lm, rm, c0, fi, 50));
        return s;
    };
    std::vector<double> wide;
    for (int i = 0; i < 30; ++i)
        wide.push_back(1e6 * (i + 1));
    auto capacitor = [&](double c) {
        std::vector<cplx> s;
        for (double fi : wide)
            s.push_back(100.0 / (100.0 + 1.0 / cplx(0, kTwoPi * fi * c)));
        return s;
    };
    std::vector<double> backwards = f;
    std::swap(backwards[5], backwards[6]);
    std::vector<double> repeated = f;
    repeated[6] = repeated[5];
    std::vector<cplx> withZero = good;
    withZero[3] = 0;
    std::vector<cplx> withNan = good;
    withNan[3] = cplx(std::nan(""), 0);
    // Level shapes in dB with no phase: a step up below fs, a bump at fs and a dip at fp.
    auto shape = [&](double stepDb, double bumpDb, double dipDb) {
        std::vector<cplx> s;
        for (double fi : f) {
            const double db = -30 + stepDb / (1 + std::exp(-(fi - x.fs + 5000) / 500)) +
                              bumpDb * std::exp(-std::pow((fi - x.fs) / 3000, 2)) -
                              dipDb * std::exp(-std::pow((fi - x.fp()) / 3000, 2));
            s.push_back(std::pow(10.0, db / 20));
        }
        return s;
    };

    const struct {
        const char* what;
        std::vector<double> f;
        std::vector<cplx> s21;
        double portR;
        std::string message;
    } cases[] = {
        {"sizes", f, std::vector<cplx>(good.begin(), good.end() - 1), 50,
         "The measurement has " + std::to_string(f.size()) + " frequencies but " + std::to_string(f.size() - 1) +
             " S21 values."},
        {"nine points", std::vector<double>(f.begin(), f.begin() + 9), std::vector<cplx>(good.begin(), good.begin() + 9),
         50, "Too few points to fit a crystal: 9 (at least 10)."},
        {"falling", backwards, good, 50, "The frequencies must rise from point to point; point 7 does not."},
        {"repeated", repeated, good, 50, "The frequencies must rise from point to point; point 7 does not."},
        {"zero", f, withZero, 50, "S21 of point 4 is zero or not a number."},
        {"nan", f, withNan, 50, "S21 of point 4 is zero or not a number."},
        {"port", f, good, 0, "The port resistance must be above 0 ohm."},
        {"resistor", f, constant(100.0 / 147.0), 50, "No resonance in the measurement: |S21| varies by only 0.00 dB over the sweep."},
        {"capacitor", wide, capacitor(1e-12), 50,
         "No series resonance in the sweep: |S21| is largest at its highest frequency."},
        {"no holder", f, series(x.rm, 0), 50,
         "No parallel resonance in the sweep: above the peak, |S21| is smallest at the highest frequency."},
        {"shallow dip", f, shape(27, 3, 1), 50, "No parallel resonance in the sweep: |S21| dips only 4.00 dB below its peak."},
        {"bumps", f, shape(0, 20, 10), 50, "The measurement does not match a crystal model"},
    };
    for (const auto& c : cases) {
        try {
            fitCrystal(c.f, c.s21, c.portR);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const MeasurementError& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message) << c.what;
        }
    }
    // The sweep stopped between the resonances.
    const std::size_t half = static_cast<std::size_t>(std::upper_bound(f.begin(), f.end(), x.fs + 2000) - f.begin());
    EXPECT_THROW(fitCrystal({f.begin(), f.begin() + half}, {good.begin(), good.begin() + half}), MeasurementError);
}

// The frequency at which the lossless crystal in series with cs has no reactance, found by
// bisection between fs and fp, where that reactance rises from -1/(w cs) through zero.
double loadResonance(const Crystal& x, double cs)
{
    auto reactance = [&](long double f) {
        const long double w = 2 * 3.14159265358979323846264L * f;
        const long double arm = w * x.lm - 1 / (w * x.cm());
        const long double holder = -1 / (w * x.c0);
        return arm * holder / (arm + holder) - 1 / (w * cs);
    };
    long double lo = x.fs, hi = x.fp() - 1e-9L * x.fs;
    for (int i = 0; i < 200; ++i) {
        const long double mid = (lo + hi) / 2;
        (reactance(mid) < 0 ? lo : hi) = mid;
    }
    return static_cast<double>((lo + hi) / 2);
}

TEST(LoadShift, RecoversTheMotionalArm)
{
    const struct {
        Crystal x;
        double cs;
    } cases[] = {
        {{10e6, 0.02, 10, 3e-12}, 30e-12},
        {{1e6, 3.0, 300, 7e-12}, 10e-12},
        {{30e6, 0.02, 7, 1e-12}, 100e-12},
        {{30e6, 0.005, 7, 5e-12}, 1000e-12},  // a shift of a few Hz in 30 MHz
        {{4.9152e6, 0.08, 20, 4e-12}, 20e-12},
    };
    for (const auto& c : cases) {
        const double fl = loadResonance(c.x, c.cs);
        const MotionalValues v = motionalFromLoadShift(c.x.fs, fl, c.cs, c.x.c0);
        EXPECT_LT(relative(v.cmF, c.x.cm()), 1e-6) << c.x.fs << " " << c.cs;
        EXPECT_LT(relative(v.lmH, c.x.lm), 1e-6) << c.x.fs << " " << c.cs;
        // The small-shift form the method is usually quoted in agrees to the shift's size.
        const double quoted = 2 * (fl - c.x.fs) / c.x.fs * (c.x.c0 + c.cs);
        EXPECT_LT(relative(v.cmF, quoted), 2 * (fl - c.x.fs) / c.x.fs);
    }
}

TEST(LoadShift, RefusesReadingsNoCrystalGives)
{
    const struct {
        double fs, fl, cs, c0;
        const char* message;
    } cases[] = {
        {0, 10e6, 30e-12, 3e-12, "The series resonance fs must be above 0 Hz."},
        {10e6, 10e6, 30e-12, 3e-12, "The frequency with the series capacitor must be above fs."},
        {10e6, 9.999e6, 30e-12, 3e-12, "The frequency with the series capacitor must be above fs."},
        {10e6, 10.001e6, 0, 3e-12, "The series capacitor must be above 0 pF."},
        {10e6, 10.001e6, 30e-12, -1e-12, "C0 must not be negative."},
        {10e6, std::nan(""), 30e-12, 3e-12, "The frequency with the series capacitor must be above fs."},
    };
    for (const auto& c : cases) {
        try {
            motionalFromLoadShift(c.fs, c.fl, c.cs, c.c0);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const MeasurementError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace
