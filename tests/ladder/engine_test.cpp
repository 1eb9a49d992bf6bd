#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "ladder/engine.h"
#include "tests/support/ladder_support.h"
#include "common/errors.h"
#include "ladder/walk.h"

namespace {

using engine::Walk;

// Checks `actual` against a value printed with a given number of digits: it must round
// to that text, i.e. lie within half a unit of its last digit.
void expectShownAs(double actual, const std::string& shown)
{
    const auto e = shown.find_first_of("eE");
    const std::string mantissa = shown.substr(0, e);
    const int exponent = e == std::string::npos ? 0 : std::stoi(shown.substr(e + 1));
    const auto dot = mantissa.find('.');
    const int decimals = dot == std::string::npos ? 0 : int(mantissa.size() - dot - 1);
    const double tolerance = 0.5 * std::pow(10.0, exponent - decimals) * (1 + 1e-9);
    EXPECT_NEAR(actual, std::stod(shown), tolerance) << "shown as " << shown;
}

using laddertest::PartDef;
using laddertest::sameBits;
// A ladder of the given parts between loadr and sourcer, from the load end.
const auto circuit = [](std::vector<PartDef> parts, double loadr = 50, double sourcer = 50) {
    return laddertest::ladder(parts, loadr, sourcer);
};

// What one part adds to a zero immittance at 10 MHz.
engine::Cx added(const Circuit& m, int n = 1)
{
    Walk walk(m);
    walk.setFrequency(10);
    walk.partStep(n);
    return walk.immittance;
}

TEST(LadderParts, WorkedValuesAtTenMegahertz)
{
    const struct {
        PartDef part;
        const char *re, *im;
    } cases[] = {
        {{"ind", "ser", 1000}, "0.25133", "62.832"},
        {{"ind", "par", 1000}, "6.3662e-5", "-0.015915"},
        {{"cap", "ser", 100}, "0", "-159.15"},
        {{"cap", "par", 100}, "0", "0.0062832"},
        {{"cap", "ser", 99999}, "0", "-0.15916"},
        {{"cap", "ser", 0}, "0", "-1e20"},
        {{"ind", "par", 0}, "4e17", "-1e20"},  // 1e20 / Q
        {{"cap", "par", 0}, "0", "1e-20"},
        {{"ind", "ser", 0}, "4e-23", "1e-20"},
        {{"res", "ser", 50}, "50", "0"},
        {{"res", "par", 50}, "0.02", "0"},
        {{"res", "par", -25}, "-0.04", "0"},
        {{"cap", "Ser", 100}, "0", "0.0062832"},  // anything but "ser" is shunt
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.part.kind) + " " + c.part.conn + " " + std::to_string(c.part.value));
        const engine::Cx w = added(circuit({c.part}));
        expectShownAs(w.re, c.re);
        expectShownAs(w.im, c.im);
    }
    const Circuit empty = circuit({});
    Walk walk(empty);
    walk.setFrequency(10);
    expectShownAs(walk.omega, "62831853.07");
}

TEST(LadderParts, Duplicates)
{
    Circuit m = Circuit::startup();  // entry 3 ind 1500, entry 4 cap 292, entry 7 duc 4
    m.partcount = 12;
    m.setKind(11, "duc");
    m.part(11).partconn = "par";
    m.setKind(12, "dur");
    m.part(12).partconn = "ser";
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double reference, used;
    } cases[] = {
        {4, 292}, {4.9, 292}, {3, 1500}, {1, 248}, {80.9, 0}, {0.999, 0}, {0, 0}, {-0.5, 0},
        {-4, 0}, {81, 0}, {1e300, 0}, {-1e300, 0}, {inf, 0}, {std::nan(""), 0},
        {7, 4},       // a duplicate's stored number, not followed further
        {11.5, 11.5}, // itself
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reference);
        m.part(11).partvalue = c.reference;
        EXPECT_EQ(engine::referencedValue(m, m.part(11)), c.used);
    }
    m.part(12).partvalue = 4.9;

    // A duplicate capacitor of an inductor entry is that many pF; shunt by its own connection.
    m.part(11).partvalue = 3;
    expectShownAs(added(m, 11).im, "9.4248e-2");  // 2π·10 MHz·1500 pF
    // A duplicate resistor reads entry 4's 292 as ohms, in series.
    expectShownAs(added(m, 12).re, "292");
    // It follows an edit of the entry it refers to.
    m.part(4).partvalue = 100;
    expectShownAs(added(m, 12).re, "100");
}

Circuit crystalCircuit(const char* conn, double offset)
{
    Circuit m = circuit({{"xtl", conn, offset}});
    m.crystalflag = 1;
    m.xtalfreq = 10;
    m.xtallm = 0.01;
    m.xtalcp = 3;
    m.xtalqx = 50000;
    return m;
}

// At its series resonance a crystal is its motional resistance Rm = ws Lm / Qx with Cp
// across; in series it adds the reciprocal of that admittance, and any connection text
// but "par" is series for a crystal.
TEST(LadderParts, CrystalAtItsSeriesResonance)
{
    for (auto [conn, offset] : {std::pair{"par", 0.0}, {"par", 500.0}, {"ser", 0.0}, {"Par", 0.0}, {"", 0.0}}) {
        SCOPED_TRACE(std::string(conn) + " " + std::to_string(offset));
        const Circuit m = crystalCircuit(conn, offset);
        Walk walk(m);
        walk.setFrequency(offset);  // a crystal circuit's frequencies are offsets in Hz
        walk.partStep(1);
        const double ws = 2 * M_PI * (10e6 + offset);
        const double g = 1 / (ws * 0.01 / 50000), b = ws * 3e-12;
        const bool shunt = std::string(conn) == "par";
        EXPECT_NEAR(walk.immittance.re, shunt ? g : g / (g * g + b * b), 1e-9 * g);
        EXPECT_NEAR(walk.immittance.im, shunt ? b : -b / (g * g + b * b), 1e-9);
    }
    // Two crystals 500 Hz apart share Lm, so their Cm differ: at the first one's resonance
    // the second is far below its peak.
    const Circuit second = crystalCircuit("par", 500);
    Walk off(second);
    off.setFrequency(0);
    off.partStep(1);
    EXPECT_LT(off.immittance.re, 0.1 / (2 * M_PI * 10e6 * 0.01 / 50000));
}

TEST(LadderParts, YzyAndRph)
{
    const Circuit empty = circuit({});
    Walk walk(empty);
    walk.immittance = {3, 4};
    walk.transfer = {2, 0};
    walk.invertImmittance();
    EXPECT_DOUBLE_EQ(walk.immittance.re, 0.12);
    EXPECT_DOUBLE_EQ(walk.immittance.im, -0.16);
    EXPECT_DOUBLE_EQ(walk.transfer.re, 0.24);
    EXPECT_DOUBLE_EQ(walk.transfer.im, -0.32);
    EXPECT_DOUBLE_EQ(walk.transferMagnitude(), 0.4);

    walk.transfer = {0, 0};
    EXPECT_EQ(walk.transferMagnitude(), 1e-20);
    EXPECT_EQ(walk.transfer.re, 1e-20);  // replaced in transfer itself

    walk.immittance = {0, 0};
    EXPECT_THROW(walk.invertImmittance(), FloatError);
}

TEST(Ladder, WorkedResultsAtTenMegahertz)
{
    const Circuit def = Circuit::startup();
    const struct {
        const char* what;
        Circuit m;
        double freq;
        const char *s21, *s11;
    } cases[] = {
        {"no parts", circuit({}), 10, "0", "0"},
        {"res ser", circuit({{"res", "ser", 50}}), 10, "-3.52", "0"},
        {"res ser, rlb", circuit({{"res", "ser", 50}, {"rlb", "ser", 0}}), 10, "-3.52", "-9.54"},
        {"res par, rlb", circuit({{"res", "par", 50}, {"rlb", "ser", 0}}), 10, "-3.52", "-9.54"},
        {"rlb alone", circuit({{"rlb", "ser", 0}}), 10, "0", "-100"},
        {"rlb alone, loadr 100", circuit({{"rlb", "ser", 0}}, 100), 10, "-0.51", "-9.54"},
        {"res par, wir, res par", circuit({{"res", "par", 50}, {"wir", "ser", 0}, {"res", "par", 50}}), 10, "-6.02", "0"},
        {"res par, res par", circuit({{"res", "par", 50}, {"res", "par", 50}}), 10, "-6.02", "0"},
        {"cap ser 0, rlb", circuit({{"cap", "ser", 0}, {"rlb", "ser", 0}}), 10, "-360.0", "-4.3e-10"},
        {"cap par 0", circuit({{"cap", "par", 0}}), 10, "0", "0"},
        {"default at 7", def, 7, "-2.85", "-18.58"},
        {"default at 10", def, 10, "-58.45", "-0.0016"},
        {"default at 0", def, 0, "-1032", "-4.3e-10"},
        {"two rlb: the one nearest the source counts", circuit({{"rlb", "ser", 0}, {"res", "ser", 50}, {"rlb", "ser", 0}}), 10, "-3.52", "-9.54"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Solution s = solveLadder(c.m, c.freq);
        expectShownAs(s.s21db, c.s21);
        expectShownAs(s.s11db, c.s11);
    }
}

TEST(Ladder, EdgeCases)
{
    // Unequal terminations joined directly: 4 RL RS / (RL + RS)^2.
    const Solution direct = solveLadder(circuit({}, 100, 50), 10);
    EXPECT_NEAR(direct.s21db, 10 * std::log10(4.0 * 100 * 50 / (150.0 * 150)), 1e-12);

    // The source end counts as series however long the ladder: a 50 ohm series resistor
    // followed by wires up to the full table solves as the resistor alone.
    std::vector<PartDef> parts{{"res", "ser", 50}};
    parts.resize(kMaxParts, {"wir", "ser", 0});
    EXPECT_DOUBLE_EQ(solveLadder(circuit(parts), 10).s21db, solveLadder(circuit({{"res", "ser", 50}}), 10).s21db);
    // Ending with a shunt part at the table's end turns the walk to impedance form.
    parts.back() = {"res", "par", 50};
    // Source, 50 ohm across, 50 ohm in series, 50 ohm load.
    const double across = 1 / (1 / 50.0 + 1 / 100.0);
    EXPECT_NEAR(solveLadder(circuit(parts), 10).s21db, 20 * std::log10(across / (50 + across)), 1e-9);

    // A crystal circuit solves an offset of 0 at the nominal crystal frequency, where a
    // series crystal between 50 ohm ends passes almost everything.
    Circuit xtal = crystalCircuit("ser", 0);
    const double rm = 2 * M_PI * 10e6 * 0.01 / 50000;
    EXPECT_NEAR(solveLadder(xtal, 0).s21db, 20 * std::log10(100 / (100 + rm)), 0.01);
    EXPECT_LT(solveLadder(xtal, 5000).s21db, -15);
}

TEST(Ladder, FloatingPointFailures)
{
    const std::string dz = "Floating point division by zero";
    const std::string inv = "Invalid floating point operation";
    Circuit noQ = circuit({{"ind", "ser", 100}});
    noQ.inductorq = 0;
    Circuit noQShunt = circuit({{"dul", "par", 2}, {"cap", "par", 5}});
    noQShunt.inductorq = 0;
    Circuit noQNoInductor = circuit({{"cap", "ser", 100}});
    noQNoInductor.inductorq = 0;
    Circuit noLm = crystalCircuit("ser", 0);
    noLm.xtallm = 0;
    Circuit noQx = crystalCircuit("par", 0);
    noQx.xtalqx = 0;
    Circuit zeroFs = crystalCircuit("ser", -10e6);
    Circuit blankCrystal = circuit({{"xtl", "ser", 0}});  // crystal block still all 0
    blankCrystal.crystalflag = 1;
    Circuit atDc = crystalCircuit("ser", 0);
    // A tiny Lm: at resonance Rm^2 + X^2 underflows to 0 while Rm does not.
    Circuit vanishingArm = crystalCircuit("par", 0);
    vanishingArm.xtallm = 1e-200;
    vanishingArm.xtalqx = 1;
    // A huge Lm: Rm^2 overflows, so the crystal's admittance is 0 and cannot be turned over.
    Circuit hugeArm = crystalCircuit("ser", 0);
    hugeArm.xtallm = 1e162;
    hugeArm.xtalqx = 1;
    hugeArm.xtalcp = 0;
    // A zero shunt resistor after each failing point: the walk must stop at the first one.
    hugeArm.partcount = 2;
    hugeArm.setKind(2, "res");
    hugeArm.part(2).partconn = "par";
    Circuit tinyQShunt = circuit({{"ind", "par", 0}});
    tinyQShunt.inductorq = 1e-305;  // 1e-20 * 1e-305 underflows to 0

    const struct {
        const char* what;
        Circuit m;
        double freq;
        std::string message;  // empty: solves
    } cases[] = {
        {"loadr 0", circuit({}, 0), 10, dz},
        {"sourcer 0", circuit({}, 50, 0), 10, dz},
        {"terminations of opposite sign", circuit({}, -100, 50), 10, inv},
        {"shunt resistor of 0", circuit({{"res", "par", 0}}), 10, dz},
        {"shunt duplicate resistor of 0", circuit({{"res", "ser", 0}, {"dur", "par", 1}}), 10, dz},
        {"series resistor of 0", circuit({{"res", "ser", 0}}), 10, ""},
        {"inductor Q of 0", noQ, 10, dz},
        {"inductor Q of 0, shunt duplicate", noQShunt, 10, dz},
        {"inductor Q of 0, no inductor", noQNoInductor, 10, ""},
        {"crystal without Lm", noLm, 10, dz},
        {"crystal without Qx", noQx, 10, dz},
        {"crystal at 0 Hz", zeroFs, 10, dz},
        {"crystal block all 0", blankCrystal, 10, dz},
        {"crystal circuit at 0 rad/s", atDc, -10e6, dz},
        {"immittance exactly 0 turned over", circuit({{"res", "ser", -50}, {"res", "par", 1}}), 10, inv},
        {"rlb seeing -sourcer", circuit({{"res", "ser", -100}, {"rlb", "ser", 0}}), 10, dz},
        {"crystal arm vanishing", vanishingArm, 0, dz},
        {"series crystal of no admittance", hugeArm, 0, inv},
        {"inductor Q underflowing", tinyQShunt, 10, dz},
        {"immittance too small to square, turned over", circuit({{"res", "par", 1e300}}, 1e200), 10, dz},
        {"rlb seeing an infinite impedance", circuit({{"res", "ser", 1e308}, {"res", "ser", 1e308}, {"rlb", "ser", 0}, {"res", "par", 0}}), 10, inv},
        {"gain beyond the largest double", circuit({}, 1e-200, 1e200), 10, "Floating point overflow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string message;
        try {
            solveLadder(c.m, c.freq);
        } catch (const FloatError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.message);
    }
}

// The sweep solves several frequencies side by side; it must give exactly what one
// solveLadder() call per frequency gives, and fail at the same point.
Circuit crystalLadder()
{
    Circuit m = circuit({{"cap", "par", 142}, {"xtl", "ser", 0}, {"cap", "ser", 900}, {"cap", "par", 338},
                       {"xtl", "ser", 0}, {"ind", "par", 5000}, {"duc", "par", 1}, {"res", "par", 1e6},
                       {"xtl", "par", 50}, {"dur", "ser", 8}, {"cap", "par", 511}, {"rlb", "ser", 0}});
    m.crystalflag = 1;
    m.xtalfreq = 10;
    m.xtallm = 0.02;
    m.xtalcp = 3;
    m.xtalqx = 200000;
    return m;
}

TEST(LadderSweep, GivesExactlyWhatOneSolutionPerFrequencyGives)
{
    for (const Circuit& m : {Circuit::startup(), crystalLadder()}) {
        std::vector<double> freqs;
        const double step = m.crystalflag == 1 ? 1.7 : 0.031;
        for (int i = 0; i < 1003; ++i)  // not a multiple of the lanes: the tail is solved alone
            freqs.push_back((i - 300) * step);
        int calls = 0;
        solveSweep(m, freqs.data(), static_cast<int>(freqs.size()), [&](int i, const Solution& s) {
            ASSERT_EQ(i, calls++);
            const Solution one = solveLadder(m, freqs[i]);
            EXPECT_TRUE(sameBits(s.s21db, one.s21db)) << freqs[i];
            EXPECT_TRUE(sameBits(s.s11db, one.s11db)) << freqs[i];
        });
        EXPECT_EQ(calls, 1003);
    }
}

TEST(LadderSweep, FailsAtTheSameFrequencyAsSolvingOneByOne)
{
    // Nominal crystal frequency 1 Hz: the offset -1 Hz is 0 Hz, where a crystal's motional
    // reactance divides by zero.
    Circuit m = crystalLadder();
    m.xtalfreq = 1e-6;
    const double freqs[] = {-6, -5, -4, -3, -2, -1, 0, 1};
    std::vector<int> seen;
    try {
        solveSweep(m, freqs, 8, [&](int i, const Solution&) { seen.push_back(i); });
        ADD_FAILURE() << "no error";
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
}

}  // namespace
