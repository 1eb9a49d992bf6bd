#include <gtest/gtest.h>

#include "designer.h"
#include "fake_form.h"

namespace {

using Step = void (Designer::*)();

struct Steps : ::testing::Test {
    DesignState s;
    FakeForm w = mainFormWithDefaults();
    Designer d{s, w};

    void click(Step handler) { runCommand(w, [&] { (d.*handler)(); }); }
    void steps1to3(const char* n = "5")
    {
        d.FormShow();
        w.fields["Edit6"] = n;
        click(&Designer::Button1Click);
        click(&Designer::Button2Click);
        click(&Designer::Button3Click);
    }
    // Step 4 with R = 100, which the start crystal can be matched to.
    void matchEnds()
    {
        w.fields["Edit20"] = "100";
        click(&Designer::Button4Click);
    }
};

TEST_F(Steps, DefaultDesign)
{
    steps1to3();
    EXPECT_EQ(w.fields["Edit7"], "55.6");
    EXPECT_NEAR(s.re1, 55.5575, 1e-3);
    EXPECT_NEAR(s.ren, 8.8134, 1e-3);
    EXPECT_NEAR(s.qe1, 23165.1, 0.1);
    EXPECT_NEAR(s.qen, 146027, 1);
    EXPECT_NEAR(s.slope, 1.024134, 1e-6);
    EXPECT_FLOAT_EQ(s.fratio, 40001);
    EXPECT_NEAR(s.cmpf, 0.01266515, 1e-8);
    EXPECT_TRUE(w.messages().empty());

    // The default 50 ohms is too small: the message, then the minimum again; no end capacitor.
    w.events.clear();
    click(&Designer::Button4Click);
    EXPECT_EQ(w.events, (std::vector<std::string>{"message:Resistance is too small, so try larger value",
                                                  "Edit7=55.6"}));
    EXPECT_EQ(w.fields["Edit21"], "--------");

    // 100 ohms completes it; slots beyond N show the step-1 value.
    matchEnds();
    click(&Designer::Button5Click);
    click(&Designer::Button14Click);
    EXPECT_EQ(w.messages().size(), 1u);  // only the one above
    const std::map<std::string, std::string> expected{
        {"Edit21", "142.34"}, {"Edit22", "511.92"}, {"Edit23", "338.82"}, {"Edit24", "494.68"},
        {"Edit25", "531.91"}, {"Edit26", "782.72"}, {"Edit27", "0.00"},   {"Edit31", "0.00"},
        {"Edit32", "99999.00"}, {"Edit33", "908.53"}, {"Edit34", "460.39"}, {"Edit35", "342.94"},
        {"Edit36", "331.70"}, {"Edit37", "0.00"},   {"Edit41", "0.00"}};
    for (const auto& [field, text] : expected)
        EXPECT_EQ(w.fields[field], text) << field;
}

TEST_F(Steps, EndCapacitorsFromUnroundedWorkingValues)
{
    steps1to3();
    w.fields["Edit20"] = "2899";
    click(&Designer::Button4Click);
    // t1 and tN are not design values; rounded to single they gave C-N 99.41.
    EXPECT_EQ(w.fields["Edit21"], "39.27");
    EXPECT_EQ(w.fields["Edit22"], "99.42");
}

TEST_F(Steps, RefreshShowsTheDesignState)
{
    d.FormShow();
    const std::map<std::string, std::string> start{{"Edit9", "0.5190"},  {"Edit10", "2.1100"}, {"Edit11", "1.4600"},
                                                   {"Edit12", "1.0000"}, {"Edit14", "0.6320"}, {"Edit19", "0.0010"},
                                                   {"Edit6", "5"}};
    for (const auto& [field, text] : start)
        EXPECT_EQ(w.fields[field], text) << field;
    // Step 1 clears kk: the next refresh shows zeros instead of the typed k values.
    click(&Designer::Button1Click);
    d.FormShow();
    EXPECT_EQ(w.fields["Edit11"], "0.0000");
}

TEST_F(Steps, MessagesThatLetTheStepGoOn)
{
    d.FormShow();
    click(&Designer::Button1Click);
    w.fields["Edit6"] = "21";
    click(&Designer::Button2Click);
    EXPECT_EQ(w.messages(), std::vector<std::string>{"N is too large. The limit is 20."});
    EXPECT_EQ(s.nxtal, 21);
    EXPECT_FLOAT_EQ(s.fratio, 40001);

    // A crystal Q too low for the end Q: step 3 warns and keeps its values, step 4 stops.
    w.fields["Edit4"] = "15000";
    steps1to3();
    EXPECT_LT(s.qe1, 0);
    EXPECT_EQ(w.messages().back(),
              "Crystal Q is too low.  Start over at step 1 with higher Q or step 2 with wider BW.");
    matchEnds();
    EXPECT_EQ(w.messages().back(), "Q is too low.  Start over.");
    EXPECT_EQ(w.fields["Edit21"], "--------");
}

TEST_F(Steps, TuningEdgeCases)
{
    // Two crystals: both meshes combine an end with cc[1]; the smaller one is the wire.
    clickStartDesign(d, w, "2");
    EXPECT_TRUE(w.messages().empty());
    EXPECT_EQ(w.fields["Edit32"], "99999.00");
    EXPECT_NE(w.fields["Edit33"], "99999.00");
    EXPECT_EQ(w.fields["Edit34"], "0.00");

    // Symmetric couplings: the two inner meshes tie for the least capacitance, both wires.
    steps1to3("4");
    matchEnds();
    const std::map<std::string, std::string> parts{
        {"Edit21", "200"}, {"Edit22", "200"}, {"Edit23", "10000"}, {"Edit24", "300"}, {"Edit25", "10000"}};
    for (const auto& [field, text] : parts)
        w.fields[field] = text;
    click(&Designer::Button14Click);
    EXPECT_EQ(w.fields["Edit33"], "99999.00");
    EXPECT_EQ(w.fields["Edit34"], "99999.00");
    EXPECT_NE(w.fields["Edit32"], "99999.00");
    EXPECT_EQ(w.fields["Edit32"], w.fields["Edit35"]);

    // A zero end capacitor is taken as 0.01 pF instead of dividing by zero.
    w.fields["Edit21"] = "0";
    click(&Designer::Button14Click);
    EXPECT_FLOAT_EQ(s.ce1pf, 0.01f);
    EXPECT_TRUE(w.messages().empty());
}

TEST_F(Steps, BadFieldStopsTheStepAndKeepsWhatWasStored)
{
    d.FormShow();
    w.fields["Edit3"] = "3,0";
    click(&Designer::Button1Click);
    EXPECT_EQ(w.messages(), std::vector<std::string>{"'3,0' is not a valid floating point value"});
    EXPECT_FLOAT_EQ(s.lm, 0.02f);  // read before C0
    EXPECT_FLOAT_EQ(s.qu, 0);      // read after
    EXPECT_FLOAT_EQ(s.kk[1], 0.000001f);

    w.fields["Edit6"] = "5.0";
    click(&Designer::Button2Click);
    EXPECT_EQ(w.messages().back(), "'5.0' is not a valid integer value");
    EXPECT_FLOAT_EQ(s.bw, 250);
}

// A step with no finite answer stops with the floating-point message; no field shows
// INF or NAN.
TEST(StepsWithoutAnswer, StopWithAFloatingPointMessage)
{
    const Step b1 = &Designer::Button1Click, b2 = &Designer::Button2Click, b3 = &Designer::Button3Click,
               b4 = &Designer::Button4Click, b5 = &Designer::Button5Click, b6 = &Designer::Button14Click;
    const std::string zero = "Floating point division by zero", invalid = "Invalid floating point operation",
                      overflow = "Floating point overflow";
    struct Case {
        const char* field;
        const char* value;
        std::vector<Step> steps;
        std::string message;
    };
    const Case cases[] = {
        {"Edit1", "0", {b1}, zero},                 // F = 0
        {"Edit2", "0", {b1}, zero},                 // motional L = 0
        {"Edit5", "0", {b1, b2}, zero},             // bandwidth 0
        {"Edit4", "0", {b1, b2, b3}, zero},         // Qu = 0
        {"Edit9", "0", {b1, b2, b3}, zero},         // q1 = 0
        {"Edit11", "0", {b1, b2, b5}, zero},        // k = 0
        {"", "", {b3}, zero},                       // steps 3, 4 and 6 before 1 and 2 work on zeros
        {"", "", {b4}, invalid},
        {"", "", {b6}, zero},
        {"Edit1", "1e39", {b1}, overflow},          // beyond single precision
        {"Edit11", "1e-38", {b1, b2, b5}, overflow},  // a coupling capacitor beyond it
    };
    for (const Case& c : cases) {
        DesignState state;
        FakeForm form = mainFormWithDefaults();
        Designer designer(state, form);
        for (const char* f : {"Edit20", "Edit21", "Edit22"})
            form.fields[f] = "100";
        if (*c.field)
            form.fields[c.field] = c.value;
        for (Step step : c.steps)
            runCommand(form, [&] { (designer.*step)(); });
        EXPECT_EQ(form.messages(), std::vector<std::string>{c.message}) << c.field << " " << c.value;
        for (const auto& [name, text] : form.fields)
            EXPECT_TRUE(text.find("INF") == std::string::npos && text.find("NAN") == std::string::npos) << name;
    }
}

TEST_F(Steps, ZeroResistanceIsTooSmall)
{
    steps1to3();
    w.fields["Edit20"] = "0";
    click(&Designer::Button4Click);
    EXPECT_EQ(w.messages().back(), "Resistance is too small, so try larger value");
}

TEST_F(Steps, OrdersTheTablesCannotHoldAreRefused)
{
    clickStartDesign(d, w);
    const std::map<std::string, std::string> before = w.fields;

    struct Case {
        const char* n;
        const char* step5;  // nullptr: step 5 can work with it
        const char* step6;
    };
    for (const Case& c : {Case{"11", msg::kCouplingNRange, msg::kNOver10},
                          Case{"0", msg::kCouplingNRange, msg::kTuneNTooSmall},
                          Case{"1", nullptr, msg::kTuneNTooSmall}}) {
        w.fields["Edit6"] = c.n;
        click(&Designer::Button2Click);
        if (c.step5) {
            w.events.clear();
            click(&Designer::Button5Click);
            EXPECT_EQ(w.messages(), std::vector<std::string>{c.step5}) << c.n;
        }
        w.events.clear();
        click(&Designer::Button14Click);
        EXPECT_EQ(w.messages(), std::vector<std::string>{c.step6}) << c.n;
    }
    // Nothing was overwritten by the refused steps.
    for (int i = 23; i <= 41; ++i) {
        const std::string f = "Edit" + std::to_string(i);
        EXPECT_EQ(w.fields[f], before.at(f)) << f;
    }
}

}  // namespace
