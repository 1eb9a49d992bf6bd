#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "common/errors.h"
#include "tests/support/ladder_support.h"
#include "ladder/twoport.h"

namespace {

using cd = std::complex<double>;
using laddertest::ladder;

void expectNear(cd actual, cd expected, double tol = 1e-12)
{
    EXPECT_NEAR(actual.real(), expected.real(), tol);
    EXPECT_NEAR(actual.imag(), expected.imag(), tol);
}

TEST(TwoPort, HandWorkedCircuits)
{
    // Series R between equal ends: S21 = 2Z0/(2Z0 + R), S11 = S22 = R/(2Z0 + R).
    // Shunt R: S21 = 2R/(2R + Z0), S11 = S22 = -Z0/(2R + Z0).
    // No parts, 50 to 200 ohm: S11 = (RL - RS)/(RL + RS), S21 = 2 sqrt(RS RL)/(RS + RL).
    const struct {
        const char* what;
        Circuit m;
        cd s11, s21, s22;
    } cases[] = {
        {"series 50", ladder({{"res", "ser", 50}}), 1.0 / 3, 2.0 / 3, 1.0 / 3},
        {"shunt 50", ladder({{"res", "par", 50}}), -1.0 / 3, 2.0 / 3, -1.0 / 3},
        {"series 50 and an rlb", ladder({{"rlb", "ser", 0}, {"res", "ser", 50}}), 1.0 / 3, 2.0 / 3, 1.0 / 3},
        {"direct, 200 to 50", ladder({}, 200, 50), 0.6, 0.8, -0.6},
        // 100 || 200 = 200/3 seen from the 50 ohm source; 100 || 50 = 100/3 from the load.
        {"shunt 100 into 200, from 50", ladder({{"res", "par", 100}}, 200, 50), 1.0 / 7, 4.0 / 7, -5.0 / 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TwoPort t = solveTwoPort(c.m, 10);
        expectNear(t.s11, c.s11);
        expectNear(t.s21, c.s21);
        expectNear(t.s22, c.s22);
        EXPECT_NEAR(t.delay, 0, 1e-20);
    }
}

// Shunt C across the load, then a series L towards the source, worked by node voltages.
TEST(TwoPort, LcSectionWithUnequalEnds)
{
    const double rs = 50, rl = 75, c = 100e-12, l = 300e-9, f = 12;
    Circuit m = ladder({{"cap", "par", 100}, {"ind", "ser", 300}}, rl, rs);
    m.inductorq = 1e12;
    const double w = 2 * std::numbers::pi * f * 1e6;
    const cd j(0, 1);
    const cd zp = 1.0 / (1.0 / rl + j * w * c);
    const cd zin = j * w * l + zp;
    const cd vl = zp / (rs + zin);  // per volt of source EMF
    const cd zout = 1.0 / (1.0 / (rs + j * w * l) + j * w * c);
    const TwoPort t = solveTwoPort(m, f);
    expectNear(t.s11, (zin - rs) / (zin + rs), 1e-9);
    expectNear(t.s21, 2.0 * std::sqrt(rs / rl) * vl, 1e-9);
    expectNear(t.s22, (zout - rl) / (zout + rl), 1e-9);
}

// |S21|^2 is the walk's transducer gain; lossy ladders pass at most what they receive,
// lossless ones exactly; the delay is the slope of the unwrapped phase.
TEST(TwoPort, AgreesWithTheLevelsAndConservesPower)
{
    std::mt19937_64 rng(7);
    int compared = 0;
    for (int i = 0; i < 300; ++i) {
        const Circuit m = laddertest::randomLadder(rng);
        const double span = m.stopfreq - m.startfreq;
        // Other connection texts make a walk with no circuit behind it; only its S21 counts.
        bool physical = true;
        for (int n = 1; n <= m.partcount; ++n)
            physical = physical && (m.part(n).partconn == "ser" || m.part(n).partconn == "par");
        for (int k = 0; k < 20; ++k) {
            const double f = m.startfreq + span * (k + 0.37) / 20;
            SCOPED_TRACE(testing::Message() << "ladder " << i << " at " << f);
            Response r;
            try {
                r = solveResponse(m, f);
            } catch (const FloatError&) {
                // Only where the levels fail too: the two-port adds no failure of its own.
                EXPECT_THROW(solveLadder(m, f), FloatError);
                continue;
            }
            const TwoPort& t = r.twoPort;
            if (r.levels.s21db > -300) {
                EXPECT_NEAR(20 * std::log10(std::abs(t.s21)), r.levels.s21db, 1e-9);
                ++compared;
            }
            if (m.loadr > 0 && m.sourcer > 0 && physical) {
                EXPECT_LE(std::norm(t.s11) + std::norm(t.s21), 1 + 1e-12);
                EXPECT_LE(std::norm(t.s22) + std::norm(t.s21), 1 + 1e-12);
            }
        }
    }
    EXPECT_GT(compared, 1000);

    // Capacitors alone lose nothing.
    Circuit lossless = ladder({{"cap", "par", 300}, {"cap", "ser", 40}, {"cap", "par", 500}, {"cap", "ser", 70}}, 120, 50);
    for (double f : {1.0, 7.0, 20.0, 55.0}) {
        const TwoPort t = solveTwoPort(lossless, f);
        EXPECT_NEAR(std::norm(t.s11) + std::norm(t.s21), 1, 1e-12) << f;
        EXPECT_NEAR(std::norm(t.s22) + std::norm(t.s21), 1, 1e-12) << f;
    }
}

TEST(TwoPort, GroupDelayIsTheSlopeOfThePhase)
{
    std::mt19937_64 rng(11);
    int compared = 0;
    for (int i = 0; i < 200; ++i) {
        Circuit m = laddertest::randomLadder(rng);
        const double span = m.stopfreq - m.startfreq;
        // omega per unit of the circuit's frequency
        const double radPerUnit = m.crystalflag == 1 ? 2 * std::numbers::pi : 2e6 * std::numbers::pi;
        for (int k = 0; k < 10; ++k) {
            const double f = m.startfreq + span * (k + 0.5) / 10;
            const double h = span * 1e-6;
            TwoPort t;
            try {
                t = solveResponse(m, f).twoPort;
            } catch (const FloatError&) {
                continue;
            }
            if (std::abs(t.s21) < 1e-12)
                continue;  // no phase to speak of
            const double dphi = std::arg(solveTwoPort(m, f + h).s21 / solveTwoPort(m, f - h).s21);
            const double central = -dphi / (2 * h * radPerUnit);
            SCOPED_TRACE(testing::Message() << "ladder " << i << " at " << f);
            EXPECT_NEAR(t.delay, central, 1e-4 * std::abs(central) + 1e-15);
            ++compared;
        }
    }
    EXPECT_GT(compared, 300);
}

TEST(TwoPort, NothingInfiniteLeaves)
{
    // A huge sourcer over a tiny loadr: the levels overflow first.
    EXPECT_THROW(
        {
            try {
                solveResponse(ladder({}, 1e-200, 1e200), 10);
            } catch (const FloatError& e) {
                EXPECT_STREQ(e.what(), "Floating point overflow");
                throw;
            }
        },
        FloatError);
    // A ladder deep in its stop band: S21 is vanishingly small but still a number.
    std::vector<laddertest::PartDef> parts;
    for (int n = 0; n < 80; ++n)
        parts.push_back(n % 2 ? laddertest::PartDef{"ind", "ser", 1e6} : laddertest::PartDef{"cap", "par", 1e6});
    const TwoPort deep = solveTwoPort(ladder(parts), 1000);
    EXPECT_TRUE(std::isfinite(deep.s21.real()) && std::isfinite(deep.s11.real()) && std::isfinite(deep.delay));
    EXPECT_EQ(magnitudeDb(deep.s21), -300);
    EXPECT_NEAR(std::abs(deep.s11), 1, 1e-6);
}

}  // namespace
