// The synthesis against the generator's Butterworth and Chebyshev values, and the ladders it
// gives for Bessel and Gaussian solved back into their responses.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "designer/core/designer.h"
#include "designer/core/kandq.h"
#include "designer/core/lowpass_synthesis.h"
#include "tests/support/fake_form.h"

namespace {

using cplx = std::complex<double>;

// Transducer gain of the ladder between a 1 ohm source and its load: g1 a series L, g2 a
// shunt C, and so on.
double ladderGain(const LowpassLadder& l, double w)
{
    const int n = static_cast<int>(l.g.size()) - 1;
    cplx a = 1, b = 0, c = 0, d = 1;
    const cplx s(0, w);
    for (int i = 1; i <= n; ++i) {
        const cplx x = s * l.g[static_cast<std::size_t>(i)];
        if (i % 2 == 1)  // series impedance x: [1 x; 0 1]
            b += a * x, d += c * x;
        else  // shunt admittance x: [1 0; x 1]
            a += b * x, c += d * x;
    }
    const double rl = l.load;
    const cplx vl = rl / (a * rl + b + c * rl + d);
    return std::norm(2.0 * vl) / rl;
}

// |K / D(jw)|^2 of the unscaled polynomial at w, with K = D(0).
double polynomialGain(const std::vector<double>& d, double w)
{
    cplx v = 0, p = 1;
    for (double c : d) {
        v += c * p;
        p *= cplx(0, w);
    }
    return d[0] * d[0] / std::norm(v);
}

double halfPower(const std::vector<double>& d)
{
    double lo = 0.1, hi = 20;
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2;
        (polynomialGain(d, mid) < 0.5 ? hi : lo) = mid;
    }
    return lo;
}

TEST(LowpassSynthesis, ReproducesTheGeneratorsButterworthAndChebyshev)
{
    DesignState s;
    FakeKandQForm w;
    KandQ g(s, w);
    struct Case {
        AllPole family;
        const char* ripple;
    };
    for (const Case c : {Case{AllPole::Butterworth, "0"}, Case{AllPole::Chebyshev, "0.01"},
                         Case{AllPole::Chebyshev, "0.1"}, Case{AllPole::Chebyshev, "0.5"},
                         Case{AllPole::Chebyshev, "1"}, Case{AllPole::Chebyshev, "3"}}) {
        for (int n = 2; n <= 10; ++n) {
            c.family == AllPole::Butterworth ? g.chooseButterworth() : g.chooseChebyshev();
            w.fields[kq::Field::CrystalCount] = std::to_string(n);
            w.fields[kq::Field::Ripple] = c.ripple;
            runCommand(w, [&] { g.calculate(); });
            const LowpassLadder l = synthesizeLowpass(c.family, n, std::stod(c.ripple));
            const std::string what = std::string(c.ripple) + " dB, N = " + std::to_string(n);
            for (int k = 1; k <= n; ++k)
                EXPECT_NEAR(l.g[static_cast<std::size_t>(k)] / s.prototype[k], 1, 1e-5) << what << ", g" << k;
            // The generator's even-order load correction is the far termination.
            const double load = c.family == AllPole::Chebyshev && n % 2 == 0 ? 1 / g.loadratio : 1;
            EXPECT_NEAR(l.load / load, 1, 1e-5) << what;
        }
    }
}

TEST(LowpassSynthesis, BesselAndGaussianLaddersHaveTheirResponses)
{
    for (int n = 2; n <= 10; ++n) {
        const std::vector<double> bessel = reverseBesselPolynomial(n);
        const double w3 = halfPower(bessel);
        const LowpassLadder b = synthesizeLowpass(AllPole::Bessel, n);
        // The Gaussian's own definition: 1 / |H|^2 = sum of (a w^2)^k / k!, a setting -3 dB at 1.
        double lo = 0.1, hi = 2;
        auto series = [n](double x) {
            double sum = 0, term = 1;
            for (int k = 0; k <= n; ++k, term *= x / k)
                sum += term;
            return sum;
        };
        for (int i = 0; i < 100; ++i)
            ((series((lo + hi) / 2) > 2) ? hi : lo) = (lo + hi) / 2;
        const double a = lo;
        const LowpassLadder gauss = synthesizeLowpass(AllPole::Gaussian, n);
        EXPECT_DOUBLE_EQ(b.load, 1);
        EXPECT_DOUBLE_EQ(gauss.load, 1);
        for (double w : {0.0, 0.3, 0.7, 1.0, 1.5, 2.5, 4.0}) {
            EXPECT_NEAR(ladderGain(b, w) / polynomialGain(bessel, w * w3), 1, 2e-5) << n << " at " << w;
            EXPECT_NEAR(ladderGain(gauss, w) * series(a * w * w), 1, 2e-5) << n << " at " << w;
        }
        EXPECT_NEAR(ladderGain(b, 1), 0.5, 1e-6);
        for (int k = 1; k <= n; ++k) {
            EXPECT_GT(b.g[static_cast<std::size_t>(k)], 0);
            EXPECT_GT(gauss.g[static_cast<std::size_t>(k)], 0);
        }
    }
    // The published maximally flat delay ladder, N = 3, at -3 dB.
    const LowpassLadder b3 = synthesizeLowpass(AllPole::Bessel, 3);
    EXPECT_NEAR(b3.g[1], 2.2034, 5e-5);
    EXPECT_NEAR(b3.g[2], 0.9705, 5e-5);
    EXPECT_NEAR(b3.g[3], 0.3374, 5e-5);
    EXPECT_THROW(synthesizeLowpass(AllPole::Bessel, 11), SynthesisError);
    EXPECT_THROW(synthesizeLowpass(AllPole::Chebyshev, 4, 0), SynthesisError);
}

TEST(LowpassSynthesis, GeneratorShowsBesselAndGaussian)
{
    DesignState s;
    FakeKandQForm w;
    KandQ g(s, w);
    w.fields[kq::Field::CrystalCount] = "3";
    w.fields[kq::Field::Ripple] = "0.5";  // read only for Chebyshev
    g.chooseBessel();
    runCommand(w, [&] { g.calculate(); });
    EXPECT_TRUE(w.messageEvents().empty());
    EXPECT_EQ(w.fields[kq::Field::Q1], "2.20341");
    EXPECT_EQ(w.fields[kq::Field::Qn], "0.33742");
    EXPECT_EQ(w.memo, (std::vector<std::string>{"12     0.68384", "23     1.74748"}));
    g.chooseGaussian();
    runCommand(w, [&] { g.calculate(); });
    const LowpassLadder l = synthesizeLowpass(AllPole::Gaussian, 3);
    EXPECT_FLOAT_EQ(s.q1, static_cast<float>(l.g[1]));
    EXPECT_FLOAT_EQ(s.qn, static_cast<float>(l.g[3]));
    EXPECT_FLOAT_EQ(s.coupling[2], static_cast<float>(1 / std::sqrt(l.g[2] * l.g[3])));
}

}  // namespace
