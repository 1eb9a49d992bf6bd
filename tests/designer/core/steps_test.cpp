#include <gtest/gtest.h>

#include "designer.h"
#include "fake_form.h"

namespace {

bool isFloatError(const std::string& text)
{
    return text == "Floating point division by zero" || text == "Invalid floating point operation";
}

struct Steps : ::testing::Test {
    DesignState s;
    FakeForm w = mainFormWithDefaults();
    Designer d{s, w};

    void click(void (Designer::*handler)()) { runCommand(w, [&] { (d.*handler)(); }); }
    void steps1to3(const char* n = "5")
    {
        d.FormShow();
        w.fields["Edit6"] = n;
        click(&Designer::Button1Click);
        click(&Designer::Button2Click);
        click(&Designer::Button3Click);
    }
};

TEST_F(Steps, DefaultDesignStopsAtStep4WithFiftyOhms)
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

    w.events.clear();
    click(&Designer::Button4Click);
    // The message comes first, then the minimum is shown again; no end capacitor.
    EXPECT_EQ(w.events, (std::vector<std::string>{"message:Resistance is too small, so try larger value",
                                                  "Edit7=55.6"}));
    EXPECT_EQ(w.fields["Edit21"], "--------");
}

TEST_F(Steps, DefaultDesignWithHundredOhms)
{
    steps1to3();
    w.fields["Edit20"] = "100";
    click(&Designer::Button4Click);
    click(&Designer::Button5Click);
    click(&Designer::Button14Click);
    EXPECT_TRUE(w.messages().empty());
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
    EXPECT_EQ(w.fields["Edit9"], "0.5190");
    EXPECT_EQ(w.fields["Edit10"], "2.1100");
    EXPECT_EQ(w.fields["Edit11"], "1.4600");
    EXPECT_EQ(w.fields["Edit12"], "1.0000");
    EXPECT_EQ(w.fields["Edit14"], "0.6320");
    EXPECT_EQ(w.fields["Edit19"], "0.0010");
    EXPECT_EQ(w.fields["Edit6"], "5");
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
    w.events.clear();
    w.fields["Edit6"] = "5";
    w.fields["Edit4"] = "15000";
    click(&Designer::Button1Click);
    click(&Designer::Button2Click);
    click(&Designer::Button3Click);
    EXPECT_LT(s.qe1, 0);
    EXPECT_EQ(w.messages().back(),
              "Crystal Q is too low.  Start over at step 1 with higher Q or step 2 with wider BW.");
    w.fields["Edit20"] = "100";
    click(&Designer::Button4Click);
    EXPECT_EQ(w.messages().back(), "Q is too low.  Start over.");
    EXPECT_EQ(w.fields["Edit21"], "--------");
}

TEST_F(Steps, TwoCrystalsShareOneCouplingCapacitor)
{
    steps1to3("2");
    w.fields["Edit20"] = "100";
    click(&Designer::Button4Click);
    click(&Designer::Button5Click);
    click(&Designer::Button14Click);
    EXPECT_TRUE(w.messages().empty());
    // Both meshes combine an end with cc[1]; the smaller one is the wire.
    EXPECT_EQ(w.fields["Edit32"], "99999.00");
    EXPECT_NE(w.fields["Edit33"], "99999.00");
    EXPECT_EQ(w.fields["Edit34"], "0.00");
}

TEST_F(Steps, EqualLeastMeshesBothBecomeWires)
{
    steps1to3("4");
    w.fields["Edit20"] = "100";
    click(&Designer::Button4Click);
    // Symmetric couplings: the two inner meshes tie for the least capacitance.
    w.fields["Edit21"] = "200";
    w.fields["Edit22"] = "200";
    w.fields["Edit23"] = "10000";
    w.fields["Edit24"] = "300";
    w.fields["Edit25"] = "10000";
    click(&Designer::Button14Click);
    EXPECT_EQ(w.fields["Edit33"], "99999.00");
    EXPECT_EQ(w.fields["Edit34"], "99999.00");
    EXPECT_NE(w.fields["Edit32"], "99999.00");
    EXPECT_EQ(w.fields["Edit32"], w.fields["Edit35"]);
}

TEST_F(Steps, ZeroEndCapacitorIsTakenAsOneHundredthPicofarad)
{
    steps1to3();
    w.fields["Edit20"] = "100";
    click(&Designer::Button4Click);
    click(&Designer::Button5Click);
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

// Steps run on zeros or on zero inputs stop with the floating-point message; no field
// shows INF or NAN.
TEST_F(Steps, ZerosStopWithAFloatingPointMessage)
{
    struct Case {
        const char* field;
        const char* value;
        void (Designer::*lastStep)();
    };
    const Case cases[] = {
        {"Edit1", "0", &Designer::Button1Click},   // F = 0
        {"Edit2", "0", &Designer::Button1Click},   // motional L = 0
        {"Edit5", "0", &Designer::Button2Click},   // bandwidth 0
        {"Edit4", "0", &Designer::Button3Click},   // Qu = 0
        {"Edit9", "0", &Designer::Button3Click},   // q1 = 0
        {"Edit11", "0", &Designer::Button5Click},  // k = 0
    };
    for (const Case& c : cases) {
        DesignState state;
        FakeForm form = mainFormWithDefaults();
        Designer designer(state, form);
        form.fields["Edit20"] = "100";
        form.fields[c.field] = c.value;
        using H = void (Designer::*)();
        for (H h : {&Designer::Button1Click, &Designer::Button2Click, &Designer::Button3Click,
                    &Designer::Button4Click, &Designer::Button5Click}) {
            runCommand(form, [&] { (designer.*h)(); });
            if (h == c.lastStep)
                break;
        }
        ASSERT_FALSE(form.messages().empty()) << c.field;
        EXPECT_TRUE(isFloatError(form.messages().back())) << c.field << " " << form.messages().back();
    }

    // Steps 3 to 6 before steps 1 and 2 work on zeros.
    for (auto h : {&Designer::Button3Click, &Designer::Button4Click, &Designer::Button14Click}) {
        DesignState state;
        FakeForm form = mainFormWithDefaults();
        form.fields["Edit20"] = "100";
        form.fields["Edit21"] = "100";
        form.fields["Edit22"] = "100";
        Designer designer(state, form);
        runCommand(form, [&] { (designer.*h)(); });
        ASSERT_EQ(form.messages().size(), 1u);
        EXPECT_TRUE(isFloatError(form.messages()[0])) << form.messages()[0];
    }
    // R = 0 with ends that need resistance is simply too small.
    steps1to3();
    w.fields["Edit20"] = "0";
    click(&Designer::Button4Click);
    EXPECT_EQ(w.messages().back(), "Resistance is too small, so try larger value");
}

TEST_F(Steps, ResultsBeyondSinglePrecisionAreRefused)
{
    w.fields["Edit1"] = "1e39";
    click(&Designer::Button1Click);
    EXPECT_EQ(w.messages().back(), "Floating point overflow");

    // A coupling capacitor that overflows single precision.
    DesignState state;
    FakeForm form = mainFormWithDefaults();
    Designer designer(state, form);
    form.fields["Edit11"] = "1e-38";
    for (auto h : {&Designer::Button1Click, &Designer::Button2Click, &Designer::Button5Click})
        runCommand(form, [&] { (designer.*h)(); });
    EXPECT_EQ(form.messages().back(), "Floating point overflow");
    for (const auto& [name, text] : form.fields)
        EXPECT_EQ(text.find("INF"), std::string::npos) << name;
}

TEST_F(Steps, OrdersTheTablesCannotHoldAreRefused)
{
    steps1to3();
    w.fields["Edit20"] = "100";
    click(&Designer::Button4Click);
    click(&Designer::Button5Click);
    click(&Designer::Button14Click);
    const std::map<std::string, std::string> before = w.fields;

    for (const char* n : {"11", "20", "21", "0", "-3"}) {
        w.fields["Edit6"] = n;
        click(&Designer::Button2Click);
        w.events.clear();
        click(&Designer::Button5Click);
        EXPECT_EQ(w.messages(), std::vector<std::string>{msg::kCouplingNRange}) << n;
        w.events.clear();
        click(&Designer::Button14Click);
        EXPECT_EQ(w.messages(), std::vector<std::string>{std::string(n)[0] == '-' || std::string(n) == "0"
                                                             ? msg::kTuneNTooSmall
                                                             : msg::kNOver10})
            << n;
    }
    w.fields["Edit6"] = "1";
    click(&Designer::Button2Click);
    w.events.clear();
    click(&Designer::Button14Click);
    EXPECT_EQ(w.messages(), std::vector<std::string>{msg::kTuneNTooSmall});
    // Nothing was overwritten by the refused steps.
    for (int i = 23; i <= 41; ++i) {
        const std::string f = "Edit" + std::to_string(i);
        EXPECT_EQ(w.fields[f], before.at(f)) << f;
    }
}

}  // namespace
