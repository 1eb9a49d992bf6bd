// What the fit reports beyond the values: poor fits, parameters the measurement cannot
// separate, cancellation, and the refusals of input it cannot fit.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "common/errors.h"
#include "common/touchstone.h"
#include "ladder/circuit_file.h"
#include "ladder/fit/circuit_fit.h"
#include "tests/support/fit_support.h"

namespace {

using ::testing::HasSubstr;

Circuit design(int crystals)
{
    return readCircuitFile(std::string(TEST_DATA_DIR) + "/fit/crystal-" + std::to_string(crystals) + "-pole.cir");
}

fit::Target targetOf(const Network& n, const Circuit& m) { return fit::targetFrom(n, m, m.startfreq, m.stopfreq); }

std::string refusal(const std::function<void()>& f)
{
    try {
        f();
    } catch (const AppError& e) {
        return e.what();
    }
    return "(no refusal)";
}

TEST(FitReport, AThruIsAPoorFitWithEveryValueUnresolved)
{
    const Circuit m = design(5);
    Network thru = fittest::measurementOf(m);
    // A short cable: 1 ns of delay, a reflection at -80 dB.
    for (std::size_t i = 0; i < thru.s21.size(); ++i) {
        thru.s21[i] = thru.s12[i] = std::polar(1.0, -2 * std::numbers::pi * thru.frequencyHz[i] * 1e-9);
        thru.s11[i] = thru.s22[i] = 1e-4;
    }
    const fit::Result r = fit::fitCircuit(m, targetOf(thru, m), fit::defaultFreeSet(m));
    EXPECT_TRUE(r.poor);
    EXPECT_THAT(r.message, HasSubstr("The fit is poor"));
    EXPECT_GT(r.rmsAfterDb, 3);
    for (const auto& p : r.parameters)
        EXPECT_TRUE(p.unresolved) << p.name;
}

TEST(FitReport, AnotherFiltersMeasurementIsAPoorFit)
{
    // An eight-crystal filter's measurement against the four-crystal design.
    const Circuit four = design(4);
    const fit::Result r = fit::fitCircuit(four, targetOf(fittest::measurementOf(design(8)), four),
                                          fit::defaultFreeSet(four));
    EXPECT_TRUE(r.poor);
    EXPECT_GT(r.rmsAfterDb, 1);
}

TEST(FitReport, NoiseIsAPoorFit)
{
    const Circuit m = design(6);
    Network noise = fittest::measurementOf(m);
    std::mt19937_64 rng(3);
    std::normal_distribution<double> g(0, 0.1);
    for (auto* v : {&noise.s11, &noise.s21, &noise.s22})
        for (auto& s : *v)
            s = {g(rng), g(rng)};
    EXPECT_TRUE(fit::fitCircuit(m, targetOf(noise, m), fit::defaultFreeSet(m)).poor);
}

TEST(FitReport, AGoodFitFindsThePartThatMovedAndNoOther)
{
    const Circuit m = design(4);
    Circuit truth = m;
    truth.part(5).partvalue += 300;  // the second crystal, far off
    const fit::Result r = fit::fitCircuit(m, targetOf(fittest::measurementOf(truth), m), fit::defaultFreeSet(m));
    EXPECT_FALSE(r.poor);
    EXPECT_TRUE(r.message.empty());
    EXPECT_GT(r.rmsBeforeDb, 10 * r.rmsAfterDb);
    ASSERT_EQ(r.parameters.size(), 9u);  // four crystals and five shunt capacitors
    for (const auto& p : r.parameters) {
        EXPECT_GT(p.sigma, 0);
        if (p.entry == 5) {
            EXPECT_NEAR(p.change(), 300, 5);
            EXPECT_LT(p.sigma, 5);
            EXPECT_FALSE(p.unresolved);
            EXPECT_EQ(p.unit, "Hz");
        } else {
            // Nothing else moved: what the noise leaves is within the uncertainty.
            EXPECT_LT(std::fabs(p.change()), 4 * p.sigma) << p.name;
        }
    }
    // The fitted values read back from the circuit file as they are.
    const Circuit back = readCircuit(circuitText(r.fitted), Circuit::startup()).circuit;
    for (const auto& p : r.parameters) {
        EXPECT_EQ(r.fitted.part(p.entry).partvalue, p.fitted);
        EXPECT_EQ(back.part(p.entry).partvalue, p.fitted);
    }
}

// The bundled measurement is the bundled design as built: its crystals off by the offsets
// its header gives and its second coupling capacitor (entry 7) 5 % high, under the noise and
// floors of a low-cost analyser. The default fit names exactly that.
TEST(FitReport, TheBundledMeasurementShowsWhichPartIsOff)
{
    const std::string examples = std::string(TEST_DATA_DIR) + "/../../../packaging/examples/";
    const Circuit m = readCircuitFile(examples + "crystal-5-pole.cir");
    const fit::Result r =
        fit::fitCircuit(m, targetOf(readTouchstoneFile(examples + "measured-crystal-5-pole.s2p"), m), fit::defaultFreeSet(m));
    EXPECT_FALSE(r.poor) << r.message;
    const std::vector<double> offsets{-11.6, 17.3, -10.6, -1.0, 0.3};
    std::size_t crystal = 0;
    for (const fit::ParameterResult& p : r.parameters) {
        if (p.kind == fit::ParameterKind::Offset) {
            ASSERT_LT(crystal, offsets.size());
            EXPECT_NEAR(p.fitted, offsets[crystal++], 1.0) << "entry " << p.entry;
        } else if (p.entry == 7) {
            EXPECT_NEAR(p.fitted / p.nominal, 1.05, 0.005);
            EXPECT_FALSE(p.unresolved);
        } else {
            EXPECT_LT(std::abs(p.change() / p.nominal), 0.005) << "entry " << p.entry << " did not move";
        }
    }
    EXPECT_EQ(crystal, offsets.size());
}

TEST(FitReport, ACrystalAndItsOwnTuningCapacitorCannotBeToldApart)
{
    const Circuit m = design(5);
    // Entry 8 is the second crystal, entry 9 the series capacitor that tunes it.
    ASSERT_EQ(m.part(8).partkind, "xtl");
    ASSERT_EQ(m.part(9).partkind, "cap");
    ASSERT_EQ(m.part(9).partconn, "ser");
    Circuit truth = m;
    truth.part(8).partvalue += 200;
    const fit::Result r =
        fit::fitCircuit(m, targetOf(fittest::measurementOf(truth), m), fit::readFreeSet(m, "8,9"));
    ASSERT_EQ(r.parameters.size(), 2u);
    for (const auto& p : r.parameters) {
        EXPECT_TRUE(p.unresolved) << p.name;
        EXPECT_GT(std::fabs(p.correlation), fit::kUnresolvedCorrelation);
    }
    EXPECT_EQ(r.parameters[0].correlatedWith, 1);
}

TEST(FitReport, TheCommonQsMoveWithTheirOption)
{
    const Circuit m = design(4);
    Circuit truth = m;
    truth.xtalqx *= 0.6;
    fit::FreeSet free = fit::defaultFreeSet(m);
    free.crystalQ = true;
    const fit::Result r = fit::fitCircuit(m, targetOf(fittest::measurementOf(truth), m), free);
    const fit::ParameterResult& q = r.parameters.back();
    EXPECT_EQ(q.name, "xtalqx");
    EXPECT_NEAR(q.fitted / truth.xtalqx, 1, 0.01);
    EXPECT_FALSE(q.unresolved);
    EXPECT_EQ(r.fitted.xtalqx, q.fitted);
}

TEST(FitReport, DuplicatesFollowTheEntryTheyName)
{
    // Entry 4 copies entry 1: moving 1 moves both ends.
    Circuit m = readCircuitFile(std::string(TEST_DATA_DIR) + "/../../../packaging/examples/lowpass-7-pole.cir");
    m.setKind(7, "duc");
    m.part(7).partvalue = 1;
    Circuit truth = m;
    truth.part(1).partvalue *= 1.05;
    const fit::Result r = fit::fitCircuit(m, targetOf(fittest::measurementOf(truth), m), fit::readFreeSet(m, "1"));
    EXPECT_NEAR(r.parameters[0].fitted / truth.part(1).partvalue, 1, 1e-3);
    EXPECT_EQ(r.fitted.part(7).partkind, "duc");
    EXPECT_THAT(refusal([&] { fit::readFreeSet(m, "7"); }), HasSubstr("Entry 7 is a duplicate: it follows entry 1"));
    EXPECT_THAT(fit::readFreeSet(m, "all").entries, ::testing::ElementsAre(1, 2, 3, 4, 5, 6));
}

TEST(FitRun, ProgressComesAfterEachIterationAndAStopEndsTheFitCancelled)
{
    const Circuit m = design(6);
    const fit::Target t = targetOf(fittest::measurementOf(fittest::built(m, 800, 0.1, 4)), m);
    std::stop_source stop;
    int calls = 0;
    fit::Options o;
    o.stop = stop.get_token();
    o.progress = [&](int iteration, int most) {
        ++calls;
        EXPECT_EQ(iteration, calls);
        EXPECT_EQ(most, o.maxIterations);
        if (iteration == 2)
            stop.request_stop();
    };
    const fit::Result r = fit::fitCircuit(m, t, fit::defaultFreeSet(m), o);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(r.parameters.empty());
}

TEST(FitInput, EveryRefusalSaysWhatIsWrong)
{
    const Circuit m = design(4);
    const Network n = fittest::measurementOf(m);
    const fit::Target t = targetOf(n, m);
    const fit::FreeSet free = fit::defaultFreeSet(m);
    const struct {
        std::function<void()> run;
        const char* message;
    } cases[] = {
        {[&] { fit::fitCircuit(m, t, {}); }, "No value is free"},
        {[&] { fit::targetFrom(n, m, 20000, 30000); }, "No point of the measurement lies inside the sweep from 20000 to 30000 Hz"},
        {[&] { fit::targetFrom(Network{}, m, m.startfreq, m.stopfreq); }, "The measurement has no points"},
        {[&] {
             Network one = n;
             one.ports = 1;
             one.s21.clear();
             fit::targetFrom(one, m, m.startfreq, m.stopfreq);
         },
         "no S21"},
        {[&] {
             Network flat = n;
             for (auto& s : flat.s21)
                 s = std::abs(s);
             fit::targetFrom(flat, m, m.startfreq, m.stopfreq);
         },
         "no phases"},
        {[&] {
             Network bad = n;
             bad.s11[7] = {std::numeric_limits<double>::quiet_NaN(), 0};
             fit::targetFrom(bad, m, m.startfreq, m.stopfreq);
         },
         "is not a finite number"},
        {[&] { fit::fitCircuit(m, fit::targetFrom(n, m, m.startfreq, m.startfreq + 10), free); }, "has 1 point inside the sweep: too few for 9 free values"},
        {[&] {
             Circuit zero = m;
             zero.part(4).partvalue = 0;
             fit::fitCircuit(zero, t, free);
         },
         "The value of entry 4 (cap) is 0: only a positive value can be fitted"},
        {[&] {
             Circuit inf = m;
             inf.part(6).partvalue = std::numeric_limits<double>::infinity();
             fit::fitCircuit(inf, t, free);
         },
         "The value of entry 6 is not a finite number"},
        {[&] {
             fit::FreeSet q;
             q.inductorQ = true;
             fit::fitCircuit(m, t, q);
         },
         "no inductors whose Q"},
        {[&] {
             Circuit failing = m;
             failing.loadr = 0;
             fit::fitCircuit(failing, t, free);
         },
         "The nominal circuit has no finite response at the measured points: Floating point division by zero"},
        {[&] { fit::readFreeSet(m, "2,x"); }, "'x' is not an entry number"},
        {[&] { fit::readFreeSet(m, "2,,5"); }, "'' is not an entry number"},
        {[&] { fit::readFreeSet(m, "2,99"); }, "Entry 99 is no capacitor, inductor, resistor or crystal"},
        {[&] { fit::readFreeSet(m, "2,2"); }, "Entry 2 is listed twice"},
    };
    for (const auto& c : cases)
        EXPECT_THAT(refusal(c.run), HasSubstr(c.message));
}

TEST(FitInput, AValueTheMeasurementDrivesToZeroIsRefused)
{
    // The load resistor of an LC filter freed alone against a measurement that wants no load.
    const Circuit m = readCircuitFile(std::string(TEST_DATA_DIR) + "/../../../packaging/examples/lowpass-7-pole.cir");
    Circuit truth = m;
    truth.part(1).partvalue *= 1e-6;
    const std::string message = refusal(
        [&] { fit::fitCircuit(m, targetOf(fittest::measurementOf(truth), m), fit::readFreeSet(m, "1")); });
    EXPECT_THAT(message, HasSubstr("The fit drove entry 1 (cap) from 376 towards zero"));
}

TEST(FitFreeSet, PresetsPickTheirKinds)
{
    const Circuit m = design(4);  // cap par, xtl, cap ser, cap par, xtl, cap ser, ... rlb
    EXPECT_THAT(fit::readFreeSet(m, "crystals").entries, ::testing::ElementsAre(2, 5, 8, 11));
    EXPECT_THAT(fit::readFreeSet(m, "shunt").entries, ::testing::ElementsAre(1, 4, 7, 10, 13));
    EXPECT_THAT(fit::readFreeSet(m, "default").entries, ::testing::ElementsAre(1, 2, 4, 5, 7, 8, 10, 11, 13));
    EXPECT_EQ(fit::readFreeSet(m, "all").entries.size(), 13u);
    EXPECT_THAT(fit::readFreeSet(m, "11,2").entries, ::testing::ElementsAre(2, 11));
}

}  // namespace
