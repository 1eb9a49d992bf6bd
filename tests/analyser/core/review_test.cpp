#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fake_window.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kDefaultListing{
    "0  Load R = 50.0",        "1  cap  par  248.0000",      "2  cap  ser  50.0000",
    "3  ind  par  1500.0000",  "4  cap  par  292.0000",      "5  cap  ser  4.3000",
    "6  dupe ind  par  3.0000", "7  dupe cap  par  4.0000",  "8  cap  ser  50.0000",
    "9  cap  par  248.0000",   "10  rlb  ser  0.0000",       "98  Source R = 50.0",
    "99  Inductor Q = 250.0",  " ",
};

TEST(Review, ListsTheDefaultCircuit)
{
    FakeWindow w;
    Analyser a{w};
    w.texts["Edit19"] = "105.000";
    a.run([&] { a.Button4Click(); });
    EXPECT_EQ(w.memos["Memo2"], kDefaultListing);
    EXPECT_EQ(w.text("Edit19"), " ");
    EXPECT_TRUE(w.paper.rects.empty());  // a listing draws nothing
}

TEST(Review, ListsKindsAsStoredAndCrystalParameters)
{
    FakeWindow w;
    Analyser a{w};
    Model& m = a.model;
    m.resetBeforeRead();
    m.partcount = 5;
    const char* kinds[] = {"xtl", "dur", "res", "wir", "Cap"};
    for (int i = 1; i <= 5; ++i) {
        m.setKind(i, kinds[i - 1]);
        m.part(i).partconn = i == 5 ? "Ser" : "par";
        m.part(i).partvalue = -1.5 * i;
    }
    m.loadr = 75;
    m.sourcer = 1234.56;
    m.crystalflag = 1;
    m.xtalfreq = 8.867;
    m.xtallm = 0.0123;
    m.xtalcp = 3.5;
    m.xtalqx = 50000;
    a.run([&] { a.circuitreview(); });
    EXPECT_EQ(w.memos["Memo2"], (Lines{
                                    "0  Load R = 75.0",
                                    "1  xtl  par  -1.5000",
                                    "2  dupe res  par  -3.0000",
                                    "3  res  par  -4.5000",
                                    "4  wir  par  -6.0000",
                                    "5  Cap  Ser  -7.5000",
                                    "98  Source R = 1234.6",
                                    "99  Inductor Q = 250.0",
                                    " ",
                                    "Crystal Parameters:",
                                    "100.  Freq.= 8.8670",
                                    "101.  Lm = 0.0123",
                                    "102.  Cp. 3.50",
                                    "103.  Qx. 50000.0",
                                }));
}

struct EditCase {
    const char* n;
    const char* x;
    double Model::*global;  // the value that changes, or nullptr for a part / nothing
    int part;               // the part that changes, 0 for none
};

TEST(ValueEditor, SetsTheAddressedValueThenListsAndPlots)
{
    const EditCase cases[] = {
        {"0", "75", &Model::loadr, 0},       {"98", "60", &Model::sourcer, 0},
        {"99", "120", &Model::inductorq, 0}, {"100", "8.867", &Model::xtalfreq, 0},
        {"101", "0.0123", &Model::xtallm, 0}, {"102", "3.5", &Model::xtalcp, 0},
        {"103", "90000", &Model::xtalqx, 0}, {"1", "100", nullptr, 1},
        {" 10", "2.5e1", nullptr, 10},       {"11", "5", nullptr, 0},
        {"20", "5", nullptr, 0},             {"-1", "5", nullptr, 0},
        {"97", "5", nullptr, 0},             {"104", "5", nullptr, 0},
    };
    for (const auto& c : cases) {
        PlottedAnalyser t;
        const Model before = t.a.model;
        t.w.texts["Edit10"] = c.n;
        t.w.texts["Edit15"] = c.x;
        t.a.run([&] { t.a.Button5Click(); });
        SCOPED_TRACE(c.n);
        EXPECT_TRUE(t.w.messages.empty());
        const Model& m = t.a.model;
        const double x = std::stod(c.x);
        for (auto g : {&Model::loadr, &Model::sourcer, &Model::inductorq, &Model::xtalfreq,
                       &Model::xtallm, &Model::xtalcp, &Model::xtalqx})
            EXPECT_EQ(m.*g, g == c.global ? x : before.*g);
        for (int i = 1; i <= kMaxParts; ++i)
            EXPECT_EQ(m.part(i).partvalue, i == c.part ? x : before.part(i).partvalue);
        // Emptied, refilled, then plotted.
        EXPECT_EQ(t.w.log[0], "memo clear Memo2");
        EXPECT_LT(t.w.at("memo add Memo2"), t.w.at("rect 50,40 450,345"));
        EXPECT_EQ(t.w.memos["Memo2"].size(), 14u);  // crystal values are not listed for LC
        EXPECT_EQ(t.w.plots(), 1);
    }
}

TEST(ValueEditor, ShowsTheNewSourceResistanceInTheListing)
{
    PlottedAnalyser t;
    t.w.texts["Edit10"] = "98";
    t.w.texts["Edit15"] = "75.25";
    t.a.run([&] { t.a.Button5Click(); });
    EXPECT_EQ(t.w.memos["Memo2"][11], "98  Source R = 75.3");
}

TEST(ValueEditor, BadNumberLeavesListingEmptyAndDrawsNothing)
{
    for (auto [n, x, message] : {std::tuple{"x", "5", "'x' is not a valid integer value"},
                                 std::tuple{"4.5", "5", "'4.5' is not a valid integer value"},
                                 std::tuple{"4", "", "'' is not a valid floating point value"}}) {
        PlottedAnalyser t;
        t.a.run([&] { t.a.Button4Click(); });
        t.w.texts["Edit10"] = n;
        t.w.texts["Edit15"] = x;
        t.a.run([&] { t.a.Button5Click(); });
        EXPECT_EQ(t.w.messages, std::vector<std::string>{message});
        EXPECT_TRUE(t.w.memos["Memo2"].empty());
        EXPECT_EQ(t.w.plots(), 0);
        EXPECT_EQ(t.a.model.part(4).partvalue, 292);
    }
}

// A file can claim more parts than the table has; no number may reach past it.
TEST(ValueEditor, NeverAddressesPastTheTable)
{
    PlottedAnalyser t;
    t.a.model.partcount = 200;
    t.w.texts["Edit10"] = "150";
    t.w.texts["Edit15"] = "1";
    t.a.run([&] { t.a.Button4Click(); });
    EXPECT_EQ(t.w.memos["Memo2"].size(), 84u);  // load, 80 entries, source, Q, blank
    t.a.Button5Click();
    t.w.texts["Edit18"] = "150";
    t.a.run([&] { t.a.Button9Click(); });
    EXPECT_EQ(t.w.messages, std::vector<std::string>{"No value has the entry number 150; nothing was tuned."});
}

TEST(Tune, StepsAPartByThePercentage)
{
    PlottedAnalyser t;
    Model& m = t.a.model;
    m.part(4).partvalue = 100;
    t.a.run([&] { t.a.Button4Click(); });
    t.a.run([&] { t.a.Button9Click(); });
    EXPECT_DOUBLE_EQ(m.part(4).partvalue, 105);
    EXPECT_EQ(t.w.text("Edit19"), "105.000");
    EXPECT_TRUE(t.w.memos["Memo2"].empty());  // Up empties the listing
    EXPECT_FALSE(m.tunepending);
    // The step comes before the plot draws.
    EXPECT_LT(t.w.at("text Edit19=105.000"), t.w.at("rect 50,40 450,345"));

    for (int i = 0; i < 4; ++i)
        t.a.run([&] { t.a.Button9Click(); });
    EXPECT_NEAR(m.part(4).partvalue, 100 * std::pow(1.05, 5), 1e-9);  // not 125
    EXPECT_EQ(t.w.text("Edit19"), "127.628");

    t.w.texts["Edit17"] = "12.5";
    const double before = m.part(4).partvalue;
    t.a.run([&] { t.a.Button9Click(); });
    t.a.run([&] { t.a.Button12Click(); });
    EXPECT_NEAR(m.part(4).partvalue, before, 1e-12);
    EXPECT_EQ(t.w.plots(), 7);
    EXPECT_TRUE(t.w.messages.empty());

    t.a.run([&] { t.a.Button4Click(); });
    EXPECT_EQ(t.w.memos["Memo2"][4], "4  cap  par  127.6282");
}

TEST(Tune, StepsADuplicatesReferenceNotItsValue)
{
    PlottedAnalyser t;
    t.w.texts["Edit18"] = "6";
    for (int i = 0; i < 6; ++i)
        t.a.run([&] { t.a.Button9Click(); });
    EXPECT_EQ(t.w.text("Edit19"), "4.020");
    EXPECT_EQ(t.a.model.part(3).partvalue, 1500);
    EXPECT_EQ(t.a.model.part(4).partvalue, 292);
}

// Entries 0 and 98 to 103 tune like the value editor's; anything else is refused.
TEST(Tune, StepsEveryValueTheEditorAddresses)
{
    struct Case {
        const char* n;
        double Model::*global;
        double start;
        const char* shown;
    };
    const Case cases[] = {
        {"0", &Model::loadr, 50, "52.500"},        {"98", &Model::sourcer, 50, "52.500"},
        {"99", &Model::inductorq, 250, "262.500"}, {"100", &Model::xtalfreq, 10, "10.500"},
        {"101", &Model::xtallm, 0.02, "0.021"},    {"102", &Model::xtalcp, 4, "4.200"},
        {"103", &Model::xtalqx, 100000, "105000.000"},
    };
    for (const auto& c : cases) {
        PlottedAnalyser t;
        t.a.model.*c.global = c.start;
        t.w.texts["Edit18"] = c.n;
        t.a.run([&] { t.a.Button9Click(); });
        SCOPED_TRACE(c.n);
        EXPECT_TRUE(t.w.messages.empty());
        EXPECT_DOUBLE_EQ(t.a.model.*c.global, c.start * 1.05);
        EXPECT_EQ(t.w.text("Edit19"), c.shown);
    }
    for (const char* n : {"11", "20", "97", "104", "-1"}) {
        PlottedAnalyser t;
        const Model before = t.a.model;
        t.w.texts["Edit19"] = "x";
        t.w.texts["Edit18"] = n;
        t.a.run([&] { t.a.Button12Click(); });
        SCOPED_TRACE(n);
        EXPECT_EQ(t.w.messages, std::vector<std::string>{std::string("No value has the entry number ") + n +
                                                         "; nothing was tuned."});
        EXPECT_EQ(t.w.text("Edit19"), "x");
        for (int i = 1; i <= kMaxParts; ++i)
            EXPECT_EQ(t.a.model.part(i).partvalue, before.part(i).partvalue);
        EXPECT_EQ(t.a.model.loadr, before.loadr);
        EXPECT_EQ(t.w.plots(), 1);  // the plot goes on, unchanged
    }
}

// A step that cannot be read is dropped: nothing is drawn, and the next plot does not
// replay it.
TEST(Tune, FailedStepIsNotLeftPending)
{
    for (auto [n, p, message] : {std::tuple{"x", "5", "'x' is not a valid integer value"},
                                 std::tuple{"4", "five", "'five' is not a valid floating point value"}}) {
        PlottedAnalyser t;
        t.w.texts["Edit18"] = n;
        t.w.texts["Edit17"] = p;
        t.a.run([&] { t.a.Button9Click(); });
        EXPECT_EQ(t.w.messages, std::vector<std::string>{message});
        EXPECT_EQ(t.w.plots(), 0);
        EXPECT_FALSE(t.a.model.tunepending);
        t.w.texts["Edit18"] = "4";
        t.w.texts["Edit17"] = "5";
        t.plot();
        EXPECT_EQ(t.a.model.part(4).partvalue, 292);
        EXPECT_EQ(t.w.plots(), 1);
    }
}

TEST(Tune, DownByAHundredPercentIsADivisionByZero)
{
    PlottedAnalyser t;
    t.w.texts["Edit17"] = "-100";
    t.a.run([&] { t.a.Button12Click(); });
    EXPECT_EQ(t.w.messages, std::vector<std::string>{"Floating point division by zero"});
    EXPECT_EQ(t.a.model.part(4).partvalue, 292);
    EXPECT_EQ(t.w.plots(), 0);
}

}  // namespace
