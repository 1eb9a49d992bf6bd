// Each floating-point check of the design steps, met first by what a user can type: the
// step stops with the check's message, keeps what it stored before, stores nothing after,
// and no field shows INF or NAN. Removing any one check makes its row fail, because the
// next check along would give another message or the step would store something.
#include <gtest/gtest.h>

#include <variant>

#include "designer/core/designer.h"
#include "tests/support/fake_form.h"

namespace {

using design::Field;
using Step = void (Designer::*)();
using Typed = std::pair<Field, const char*>;
using Action = std::variant<Step, Typed>;  // a click, or a field text typed

const Step crystal = &Designer::characterizeCrystal, order = &Designer::setBandwidthAndOrder,
           endQ = &Designer::setEndQ, match = &Designer::matchEnds, couple = &Designer::computeCouplingCapacitors,
           tune = &Designer::tuneMeshes;
const char* const zero = "Floating point division by zero";
const char* const overflow = "Floating point overflow";

// One value of the design state, named for the failure output.
struct Slot {
    const char* name;
    float& (*of)(DesignState&);
};
#define SLOT(member) Slot{#member, [](DesignState& s) -> float& { return s.member; }}

// A value no step computes from these inputs: set before the step, it shows whether the
// step wrote the slot.
constexpr float kMarker = -123.25f;

struct Check {
    const char* check;
    std::vector<Action> before;  // from the window's start texts, with R = 100
    Step step;
    const char* message;
    Slot stored;   // the step stores it before the check
    Slot refused;  // the value the check stops, or one the step would store after it
    std::vector<Field> shown = {};  // fields the step writes before it stops
};

// The start design through step 5, then `more`: step 6 re-reads what these steps wrote.
std::vector<Action> afterStep5(std::vector<Action> more)
{
    std::vector<Action> all{crystal, order, endQ, match, couple};
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

// A crystal so slow and heavy that the centre frequency is B itself and re1 is about
// 2 pi B 1e20 / q1: the end resistances and capacitors can be pushed past the single range.
const std::vector<Action> tinyCrystal{Typed{Field::CrystalMhz, "1e-30"}, Typed{Field::MotionalL, "1e20"},
                                      Typed{Field::CrystalQ, "3e38"}};
std::vector<Action> tiny(std::vector<Action> more)
{
    std::vector<Action> all = tinyCrystal;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

TEST(FloatChecks, EachCheckOfTheStepsStopsItsStep)
{
    using T = Typed;
    const Check checks[] = {
        // Step 1.
        {"fhz", {T{Field::CrystalMhz, "1e33"}}, crystal, overflow, SLOT(fmhz), SLOT(fhz)},
        {"w0", {T{Field::CrystalMhz, "1e32"}}, crystal, overflow, SLOT(fhz), SLOT(w0)},
        {"cm: 1 / (w0^2 lm)", {T{Field::CrystalMhz, "0"}}, crystal, zero, SLOT(lm), SLOT(cm)},
        {"cm", {T{Field::CrystalMhz, "1e-30"}}, crystal, overflow, SLOT(lm), SLOT(cm)},
        {"cmpf", {T{Field::CrystalMhz, "1e-20"}}, crystal, overflow, SLOT(cm), SLOT(cmpf)},
        // Step 2.
        {"fcen", {T{Field::CrystalMhz, "5e31"}, crystal, T{Field::Bandwidth, "3e38"}}, order, overflow, SLOT(bw), SLOT(fcen)},
        {"wcen", {crystal, T{Field::Bandwidth, "1e38"}}, order, overflow, SLOT(fcen), SLOT(wcen)},
        {"reactance ratio", {crystal, T{Field::Bandwidth, "1e29"}}, order, overflow, SLOT(wcen), SLOT(reactanceRatio)},
        {"slope: w0^2 / wcen^2", {crystal, T{Field::Bandwidth, "-10000000"}}, order, zero, SLOT(reactanceRatio), SLOT(slope)},
        // The ratio is exactly 1 here: both other divisions of the slope meet zero together.
        {"slope: 1 / (u - 1)", {T{Field::HolderC0, "316.786163"}, crystal, T{Field::Bandwidth, "200"}}, order, zero,
         SLOT(reactanceRatio), SLOT(slope)},
        {"fratio: fcen / bw", {crystal, T{Field::Bandwidth, "0"}}, order, zero, SLOT(slope), SLOT(fratio)},
        {"fratio", {crystal, T{Field::Bandwidth, "1e-38"}}, order, overflow, SLOT(slope), SLOT(fratio)},
        // Step 3.
        {"qe1: 1 / (q1 fratio)", {crystal, order, T{Field::Q1, "0"}}, endQ, zero, SLOT(q1), SLOT(qe1)},
        {"qe1: 1 / qu", {T{Field::CrystalQ, "0"}, crystal, order}, endQ, zero, SLOT(qn), SLOT(qe1)},
        {"qe1: q1 fratio = qu", {T{Field::CrystalQ, "200005"}, crystal, order, T{Field::Q1, "5"}}, endQ, zero, SLOT(q1),
         SLOT(qe1)},
        {"qe1", {T{Field::CrystalQ, "1e35"}, crystal, order, T{Field::Q1, "2.5e30"}}, endQ, overflow, SLOT(q1), SLOT(qe1)},
        {"qen: 1 / (qn fratio)", {crystal, order, T{Field::Qn, "0"}}, endQ, zero, SLOT(qe1), SLOT(qen)},
        {"qen: qn fratio = qu", {T{Field::CrystalQ, "200005"}, crystal, order, T{Field::Qn, "5"}}, endQ, zero, SLOT(qe1),
         SLOT(qen)},
        {"qen", {T{Field::CrystalQ, "1e35"}, crystal, order, T{Field::Qn, "2.5e30"}}, endQ, overflow, SLOT(qe1), SLOT(qen)},
        // A centre below the crystal makes fratio small enough for the least q1 to give qe1 = 0.
        {"re1: / qe1", {crystal, T{Field::Bandwidth, "-11000000"}, order, T{Field::Q1, "1e-45"}}, endQ, zero, SLOT(qen),
         SLOT(re1)},
        {"re1", {crystal, order, T{Field::Q1, "1e-40"}}, endQ, overflow, SLOT(qen), SLOT(re1)},
        {"ren: / qen", {crystal, T{Field::Bandwidth, "-11000000"}, order, T{Field::Qn, "1e-45"}}, endQ, zero, SLOT(re1),
         SLOT(ren)},
        {"ren", {crystal, order, T{Field::Qn, "1e-40"}}, endQ, overflow, SLOT(re1), SLOT(ren)},
        // Step 4; its re1 and ren use the qe1 and qen of the last step 3, even a failed one.
        {"step 4 re1: / qe1", {crystal, order}, match, zero, SLOT(rend), SLOT(re1)},
        {"step 4 re1", {crystal, order, T{Field::Q1, "1e-40"}, endQ}, match, overflow, SLOT(rend), SLOT(re1)},
        {"step 4 ren: / qen", {crystal, T{Field::Bandwidth, "-11000000"}, order, T{Field::Qn, "1e-45"}, endQ}, match,
         zero, SLOT(re1), SLOT(ren)},
        {"step 4 ren", {crystal, order, T{Field::Qn, "1e-40"}, endQ}, match, overflow, SLOT(re1), SLOT(ren)},
        // A motional L so small that re1 (and so t1's denominator) is 0; ren is not.
        {"t1", {T{Field::MotionalL, "1e-42"}, T{Field::CrystalQ, "1e30"}, T{Field::Q1, "1e10"}, crystal, order, endQ},
         match, zero, SLOT(ren), SLOT(ce1), {Field::MinEndR}},
        {"tN", {T{Field::MotionalL, "1e-40"}, T{Field::CrystalQ, "3e38"}, T{Field::Qn, "1e30"}, crystal, order, endQ},
         match, zero, SLOT(re1), SLOT(ce1), {Field::MinEndR}},
        {"ce1", tiny({T{Field::Bandwidth, "1e-20"}, T{Field::Q1, "2.6e21"}, T{Field::Qn, "1e22"}, T{Field::EndR, "2.5e-21"},
                      crystal, order, endQ}),
         match, overflow, SLOT(ren), SLOT(ce1), {Field::MinEndR}},
        {"ce1pf", tiny({T{Field::Bandwidth, "1e-14"}, T{Field::Q1, "2.6e21"}, T{Field::Qn, "1e22"}, T{Field::EndR, "2.5e-15"},
                        crystal, order, endQ}),
         match, overflow, SLOT(ce1), SLOT(ce1pf), {Field::MinEndR}},
        {"cen", tiny({T{Field::Bandwidth, "1e-22"}, T{Field::Q1, "1"}, T{Field::Qn, "1e35"}, T{Field::EndR, "0.125"},
                      crystal, order, endQ}),
         match, overflow, SLOT(ce1pf), SLOT(cen), {Field::MinEndR}},
        {"cenpf", tiny({T{Field::Bandwidth, "1e-18"}, T{Field::Q1, "1"}, T{Field::Qn, "1e35"}, T{Field::EndR, "1250"},
                        crystal, order, endQ}),
         match, overflow, SLOT(cen), SLOT(cenpf), {Field::MinEndR}},
        // R exactly the least end resistance: that end needs no capacitor, and a shunt C of 0
        // has no series equivalent.
        {"cse1: / ce1", {T{Field::EndR, "55.5575409"}, crystal, order, endQ}, match, zero, SLOT(cenpf), SLOT(cse1),
         {Field::MinEndR, Field::EndC1, Field::EndCn}},
        {"csen: / cen", {T{Field::Q1, "2.11"}, T{Field::Qn, "0.519"}, T{Field::EndR, "55.5575409"}, crystal, order, endQ},
         match, zero, SLOT(cse1), SLOT(csen), {Field::MinEndR, Field::EndC1, Field::EndCn}},
        {"cse1", tiny({T{Field::Bandwidth, "8.7e-20"}, T{Field::Q1, "1e10"}, T{Field::Qn, "1e10"}, T{Field::EndR, "5.52e-9"},
                       crystal, order, endQ}),
         match, overflow, SLOT(cenpf), SLOT(cse1), {Field::MinEndR, Field::EndC1, Field::EndCn}},
        // Step 5.
        {"cc: / k", {crystal, order, T{Field::K12, "0"}}, couple, zero, SLOT(coupling[9]), SLOT(couplingCap[1])},
        {"cc", {crystal, order, T{Field::K23, "1e-38"}}, couple, overflow, SLOT(couplingCap[1]), SLOT(couplingCap[2])},
        // Step 6, on the start design with its capacitors edited.
        {"cse1: / ce1", afterStep5({T{Field::EndC1, "1e-40"}}), tune, zero, SLOT(ce1), SLOT(cse1)},
        {"cse1", afterStep5({T{Field::EndR, "1e-30"}, match}), tune, overflow, SLOT(ce1), SLOT(cse1)},
        {"cmesh: 1 / cc, the end meshes", afterStep5({T{Field::CouplingC12, "0"}}), tune, zero, SLOT(csen), SLOT(meshCap[1])},
        {"cmesh: 1 / cc, the inner meshes", afterStep5({T{Field::CouplingC23, "0"}}), tune, zero, SLOT(meshCap[5]),
         SLOT(meshCap[2])},
        {"cmesh: 1 / (1/cc + 1/cc)", afterStep5({T{Field::CouplingC12, "-100"}, T{Field::CouplingC23, "100"}}), tune, zero,
         SLOT(meshCap[5]), SLOT(meshCap[2])},
        {"cmesh", afterStep5({T{Field::CouplingC12, "-1.0000001e35"}, T{Field::CouplingC23, "1e35"}}), tune, overflow,
         SLOT(meshCap[5]), SLOT(meshCap[2])},
        // A mesh of -FLT_MAX / 1.0000003 is the least, and the factor 1.000001 takes it out of range.
        {"cmeshmin", afterStep5({T{Field::CouplingC12, "-2.02823987e31"}, T{Field::CouplingC23, "2.02823999e31"}}), tune,
         overflow, SLOT(meshCap[2]), SLOT(tuningCap[1])},
        // Two of the least capacitors in series round to a mesh of 0.
        {"ct: 1 / cmeshmin", afterStep5({T{Field::CouplingC12, "1e-45"}, T{Field::CouplingC23, "1e-45"}}), tune, zero,
         SLOT(minMeshCap), SLOT(tuningCap[1])},
        {"ct: 1 / cmesh", afterStep5({T{Field::CouplingC12, "-1"}, T{Field::CouplingC23, "1e-45"}, T{Field::CouplingC34, "1e-45"}}),
         tune, zero, SLOT(tuningCap[2]), SLOT(tuningCap[3])},
        // A least mesh so small that the factor 1.000001 leaves it as it was.
        {"ct: 1 / (1/cmeshmin - 1/cmesh)", afterStep5({T{Field::CouplingC12, "1e-40"}, T{Field::CouplingC23, "1e-40"}}),
         tune, zero, SLOT(tuningCap[1]), SLOT(tuningCap[2])},
    };
    for (const Check& c : checks) {
        DesignState s;
        FakeForm w = mainFormWithDefaults();
        w.fields[Field::EndR] = "100";
        Designer d(s, w);
        for (const Action& a : c.before) {
            if (const Step* step = std::get_if<Step>(&a))
                runCommand(w, [&] { (d.*(*step))(); });
            else
                w.fields[std::get<Typed>(a).first] = std::get<Typed>(a).second;
        }
        c.stored.of(s) = kMarker;
        c.refused.of(s) = kMarker;
        w.events.clear();
        runCommand(w, [&] { (d.*c.step)(); });

        std::vector<std::string> expected;
        for (Field f : c.shown)
            expected.push_back(fieldEvent(f, w.fields[f]));
        expected.push_back(std::string("message:") + c.message);
        EXPECT_EQ(w.events, expected) << c.check;
        EXPECT_NE(c.stored.of(s), kMarker) << c.check << ": " << c.stored.name << " not stored";
        EXPECT_EQ(c.refused.of(s), kMarker) << c.check << ": " << c.refused.name << " stored";
        for (const auto& [field, text] : w.fields)
            EXPECT_TRUE(text.find("INF") == std::string::npos && text.find("NAN") == std::string::npos)
                << c.check << ": " << fieldEvent(field, text);
    }
}

TEST(FloatChecks, EachCheckOfTheGeneratorStopsTheCalculation)
{
    struct GeneratorCheck {
        const char* ripple;
        const char* message;
        float KandQ::*stored;  // nullptr: nothing of the generator's own before the check
        float KandQ::*refused;
    };
    // Ripples too small for extended precision: first the ripple factor is 0, then, for
    // ripples twice as large, e^L - 1 in beta.
    const GeneratorCheck checks[] = {
        {"1e-30", zero, &KandQ::epsilon, &KandQ::bwfactor},
        {"3e-19", zero, &KandQ::bwfactor, &KandQ::beta},
        {"1e39", overflow, nullptr, &KandQ::typedRipple},
    };
    for (const GeneratorCheck& c : checks) {
        DesignState s;
        FakeKandQForm w;
        KandQ g(s, w);
        w.memo = {"12     1.00000"};
        w.fields[kq::Field::CrystalCount] = "4";
        w.fields[kq::Field::Ripple] = c.ripple;
        g.chooseChebyshev();
        if (c.stored)
            g.*c.stored = kMarker;
        g.*c.refused = kMarker;
        s.q1 = kMarker;
        runCommand(w, [&] { g.calculate(); });
        EXPECT_EQ(w.events, std::vector<std::string>{std::string("message:") + c.message}) << c.ripple;
        if (c.stored) {
            EXPECT_NE(g.*c.stored, kMarker) << c.ripple;
        }
        EXPECT_EQ(g.*c.refused, kMarker) << c.ripple;
        EXPECT_EQ(s.q1, kMarker) << c.ripple;
        EXPECT_EQ(s.crystalCount, 4) << c.ripple;
        EXPECT_EQ(w.memo, std::vector<std::string>{"12     1.00000"}) << c.ripple;
    }
}

}  // namespace
