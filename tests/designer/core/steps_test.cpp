#include <gtest/gtest.h>

#include <optional>

#include "designer/core/designer.h"
#include "tests/support/fake_form.h"

namespace {

using design::Field;
using Step = void (Designer::*)();

struct Steps : ::testing::Test {
    DesignState s;
    FakeForm w = mainFormWithDefaults();
    Designer d{s, w};

    void click(Step handler) { runCommand(w, [&] { (d.*handler)(); }); }
    void steps1to3(const char* n = "5")
    {
        d.showDesign();
        w.fields[Field::CrystalCount] = n;
        click(&Designer::characterizeCrystal);
        click(&Designer::setBandwidthAndOrder);
        click(&Designer::setEndQ);
    }
    // Step 4 with R = 100, which the start crystal can be matched to.
    void matchEnds()
    {
        w.fields[Field::EndR] = "100";
        click(&Designer::matchEnds);
    }
};

TEST_F(Steps, DefaultDesign)
{
    steps1to3();
    EXPECT_EQ(w.fields[Field::MinEndR], "55.6");
    EXPECT_NEAR(s.re1, 55.5575, 1e-3);
    EXPECT_NEAR(s.ren, 8.8134, 1e-3);
    EXPECT_NEAR(s.qe1, 23165.1, 0.1);
    EXPECT_NEAR(s.qen, 146027, 1);
    EXPECT_NEAR(s.slope, 1.024134, 1e-6);
    EXPECT_FLOAT_EQ(s.fratio, 40001);
    EXPECT_NEAR(s.cmpf, 0.01266515, 1e-8);
    EXPECT_TRUE(w.messageEvents().empty());

    // The default 50 ohms is too small: the message, then the minimum again; no end capacitor.
    w.events.clear();
    click(&Designer::matchEnds);
    EXPECT_EQ(w.events, (std::vector<std::string>{"message:Resistance is too small, so try larger value",
                                                  fieldEvent(Field::MinEndR, "55.6")}));
    EXPECT_EQ(w.fields[Field::EndC1], "--------");

    // 100 ohms completes it; slots beyond N show the step-1 value.
    matchEnds();
    click(&Designer::computeCouplingCapacitors);
    click(&Designer::tuneMeshes);
    EXPECT_EQ(w.messageEvents().size(), 1u);  // only the one above
    const std::map<Field, std::string> expected{
        {Field::EndC1, "142.34"}, {Field::EndCn, "511.92"}, {Field::CouplingC12, "338.82"}, {Field::CouplingC23, "494.68"},
        {Field::CouplingC34, "531.91"}, {Field::CouplingC45, "782.72"}, {Field::CouplingC56, "0.00"},   {Field::CouplingC910, "0.00"},
        {Field::TuningC1, "99999.00"}, {Field::TuningC2, "908.53"}, {Field::TuningC3, "460.39"}, {Field::TuningC4, "342.94"},
        {Field::TuningC5, "331.70"}, {Field::TuningC6, "0.00"},   {Field::TuningC10, "0.00"}};
    for (const auto& [field, text] : expected)
        EXPECT_EQ(w.fields[field], text) << fieldEvent(field, text);
}

TEST_F(Steps, EndCapacitorsFromUnroundedWorkingValues)
{
    steps1to3();
    w.fields[Field::EndR] = "2899";
    click(&Designer::matchEnds);
    // t1 and tN are not design values; rounded to single they gave C-N 99.41.
    EXPECT_EQ(w.fields[Field::EndC1], "39.27");
    EXPECT_EQ(w.fields[Field::EndCn], "99.42");
}

TEST_F(Steps, RefreshShowsTheDesignState)
{
    d.showDesign();
    const std::map<Field, std::string> start{{Field::Q1, "0.5190"},  {Field::Qn, "2.1100"}, {Field::K12, "1.4600"},
                                                   {Field::K23, "1.0000"}, {Field::K45, "0.6320"}, {Field::K910, "0.0010"},
                                                   {Field::CrystalCount, "5"}};
    for (const auto& [field, text] : start)
        EXPECT_EQ(w.fields[field], text) << fieldEvent(field, text);
    // Step 1 clears the couplings: the next refresh shows zeros instead of the typed k values.
    click(&Designer::characterizeCrystal);
    d.showDesign();
    EXPECT_EQ(w.fields[Field::K12], "0.0000");
}

TEST_F(Steps, MessagesThatLetTheStepGoOn)
{
    d.showDesign();
    click(&Designer::characterizeCrystal);
    w.fields[Field::CrystalCount] = "21";
    click(&Designer::setBandwidthAndOrder);
    EXPECT_EQ(w.messageEvents(), std::vector<std::string>{"N is too large. The limit is 20."});
    EXPECT_EQ(s.crystalCount, 21);
    EXPECT_FLOAT_EQ(s.fratio, 40001);

    // A crystal Q too low for the end Q: step 3 warns and keeps its values, step 4 stops.
    w.fields[Field::CrystalQ] = "15000";
    steps1to3();
    EXPECT_LT(s.qe1, 0);
    EXPECT_EQ(w.messageEvents().back(),
              "Crystal Q is too low.  Start over at step 1 with higher Q or step 2 with wider BW.");
    matchEnds();
    EXPECT_EQ(w.messageEvents().back(), "Q is too low.  Start over.");
    EXPECT_EQ(w.fields[Field::EndC1], "--------");
}

TEST_F(Steps, TuningEdgeCases)
{
    // Two crystals: both meshes combine an end with the first coupling capacitor; the smaller one is the wire.
    clickStartDesign(d, w, "2");
    EXPECT_TRUE(w.messageEvents().empty());
    EXPECT_EQ(w.fields[Field::TuningC1], "99999.00");
    EXPECT_NE(w.fields[Field::TuningC2], "99999.00");
    EXPECT_EQ(w.fields[Field::TuningC3], "0.00");

    // Symmetric couplings: the two inner meshes tie for the least capacitance, both wires.
    steps1to3("4");
    matchEnds();
    const std::map<Field, std::string> parts{
        {Field::EndC1, "200"}, {Field::EndCn, "200"}, {Field::CouplingC12, "10000"}, {Field::CouplingC23, "300"}, {Field::CouplingC34, "10000"}};
    for (const auto& [field, text] : parts)
        w.fields[field] = text;
    click(&Designer::tuneMeshes);
    EXPECT_EQ(w.fields[Field::TuningC2], "99999.00");
    EXPECT_EQ(w.fields[Field::TuningC3], "99999.00");
    EXPECT_NE(w.fields[Field::TuningC1], "99999.00");
    EXPECT_EQ(w.fields[Field::TuningC1], w.fields[Field::TuningC4]);

    // A zero end capacitor is taken as 0.01 pF instead of dividing by zero.
    w.fields[Field::EndC1] = "0";
    click(&Designer::tuneMeshes);
    EXPECT_FLOAT_EQ(s.ce1pf, 0.01f);
    EXPECT_TRUE(w.messageEvents().empty());
}

TEST_F(Steps, BadFieldStopsTheStepAndKeepsWhatWasStored)
{
    d.showDesign();
    w.fields[Field::HolderC0] = "3,0";
    click(&Designer::characterizeCrystal);
    EXPECT_EQ(w.messageEvents(), std::vector<std::string>{"'3,0' is not a valid floating point value"});
    EXPECT_FLOAT_EQ(s.lm, 0.02f);  // read before C0
    EXPECT_FLOAT_EQ(s.qu, 0);      // read after
    EXPECT_FLOAT_EQ(s.coupling[1], 0.000001f);

    w.fields[Field::CrystalCount] = "5.0";
    click(&Designer::setBandwidthAndOrder);
    EXPECT_EQ(w.messageEvents().back(), "'5.0' is not a valid integer value");
    EXPECT_FLOAT_EQ(s.bw, 250);
}

// A step with no finite answer stops with the floating-point message; no field shows
// INF or NAN.
TEST(StepsWithoutAnswer, StopWithAFloatingPointMessage)
{
    const Step crystal = &Designer::characterizeCrystal, order = &Designer::setBandwidthAndOrder,
               endQ = &Designer::setEndQ, match = &Designer::matchEnds, couple = &Designer::computeCouplingCapacitors,
               tune = &Designer::tuneMeshes;
    const std::string zero = "Floating point division by zero", invalid = "Invalid floating point operation",
                      overflow = "Floating point overflow";
    struct Case {
        std::optional<Field> field;  // none: the defaults as they are
        const char* value;
        std::vector<Step> steps;
        std::string message;
    };
    const Case cases[] = {
        {Field::CrystalMhz, "0", {crystal}, zero},
        {Field::MotionalL, "0", {crystal}, zero},
        {Field::Bandwidth, "0", {crystal, order}, zero},
        {Field::CrystalQ, "0", {crystal, order, endQ}, zero},
        {Field::Q1, "0", {crystal, order, endQ}, zero},
        {Field::K12, "0", {crystal, order, couple}, zero},
        {{}, "", {endQ}, zero},  // steps 3, 4 and 6 before 1 and 2 work on zeros
        {{}, "", {match}, invalid},
        {{}, "", {tune}, zero},
        {Field::CrystalMhz, "1e39", {crystal}, overflow},       // beyond single precision
        {Field::K12, "1e-38", {crystal, order, couple}, overflow},  // a coupling capacitor beyond it
    };
    for (const Case& c : cases) {
        DesignState state;
        FakeForm form = mainFormWithDefaults();
        Designer designer(state, form);
        for (Field f : {Field::EndR, Field::EndC1, Field::EndCn})
            form.fields[f] = "100";
        std::string what = "defaults";
        if (c.field) {
            form.fields[*c.field] = c.value;
            what = fieldEvent(*c.field, c.value);
        }
        for (Step step : c.steps)
            runCommand(form, [&] { (designer.*step)(); });
        EXPECT_EQ(form.messageEvents(), std::vector<std::string>{c.message}) << what;
        for (const auto& [field, text] : form.fields)
            EXPECT_TRUE(text.find("INF") == std::string::npos && text.find("NAN") == std::string::npos)
                << fieldEvent(field, text);
    }
}

TEST_F(Steps, ZeroResistanceIsTooSmall)
{
    steps1to3();
    w.fields[Field::EndR] = "0";
    click(&Designer::matchEnds);
    EXPECT_EQ(w.messageEvents().back(), "Resistance is too small, so try larger value");
}

TEST_F(Steps, OrdersTheTablesCannotHoldAreRefused)
{
    clickStartDesign(d, w);
    const std::map<Field, std::string> before = w.fields;

    struct Case {
        const char* n;
        const char* step5;  // nullptr: step 5 can work with it
        const char* step6;
    };
    for (const Case& c : {Case{"11", msg::kCouplingNRange, msg::kNOver10},
                          Case{"0", msg::kCouplingNRange, msg::kTuneNTooSmall},
                          Case{"1", nullptr, msg::kTuneNTooSmall}}) {
        w.fields[Field::CrystalCount] = c.n;
        click(&Designer::setBandwidthAndOrder);
        if (c.step5) {
            w.events.clear();
            click(&Designer::computeCouplingCapacitors);
            EXPECT_EQ(w.messageEvents(), std::vector<std::string>{c.step5}) << c.n;
        }
        w.events.clear();
        click(&Designer::tuneMeshes);
        EXPECT_EQ(w.messageEvents(), std::vector<std::string>{c.step6}) << c.n;
    }
    // Nothing was overwritten by the refused steps.
    for (int j = 1; j <= 9; ++j)
        EXPECT_EQ(w.fields[design::couplingCapField(j)], before.at(design::couplingCapField(j))) << j;
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(w.fields[design::tuningCapField(i)], before.at(design::tuningCapField(i))) << i;
}

}  // namespace
