#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/fake_window.h"

namespace {

using Lines = std::vector<std::string>;

TEST(Review, ListsEveryEntryWithDuplicatesSpelledOut)
{
    FakeWindow w;
    Analyser a{w};
    a.run([&] { a.reviewCircuit(); });
    EXPECT_EQ(
        w.memos[Memo::Listing],
        (Lines{"0  Load R = 50.0", "1  cap  par  248.0000", "2  cap  ser  50.0000", "3  ind  par  1500.0000",
               "4  cap  par  292.0000", "5  cap  ser  4.3000", "6  dupe ind  par  3.0000",
               "7  dupe cap  par  4.0000", "8  cap  ser  50.0000", "9  cap  par  248.0000",
               "10  rlb  ser  0.0000", "98  Source R = 50.0", "99  Inductor Q = 250.0", " "}));
    EXPECT_EQ(w.text(Field::TunedValue), " ");

    Circuit& m = a.circuit;
    m.partcount = 2;
    m.setKind(1, "dur");
    m.setKind(2, "Cap");  // listed as stored
    m.part(2).partconn = "Ser";
    m.crystalflag = 1;
    m.xtalfreq = 8.867;
    m.xtallm = 0.0123;
    m.xtalcp = 3.5;
    m.xtalqx = 50000;
    a.run([&] { a.listCircuit(); });
    EXPECT_EQ(w.memos[Memo::Listing],
              (Lines{"0  Load R = 50.0", "1  dupe res  par  248.0000", "2  Cap  Ser  50.0000",
                     "98  Source R = 50.0", "99  Inductor Q = 250.0", " ", "Crystal Parameters:",
                     "100.  Freq.= 8.8670", "101.  Lm = 0.0123", "102.  Cp. 3.50", "103.  Qx. 50000.0"}));
}

// Every number the editor addresses; any other changes nothing, silently, and the
// listing and the plot are still redone.
TEST(ValueEditor, SetsTheAddressedValue)
{
    const std::pair<const char*, double Circuit::*> globals[] = {
        {"0", &Circuit::loadr},     {"98", &Circuit::sourcer}, {"99", &Circuit::inductorq}, {"100", &Circuit::xtalfreq},
        {"101", &Circuit::xtallm}, {"102", &Circuit::xtalcp}, {"103", &Circuit::xtalqx}};
    for (const char* n : {"0", "98", "99", "100", "101", "102", "103", "1", " 10", "11", "20", "-1", "97", "104"}) {
        Plotted t;
        const Circuit before = t.a.circuit;
        t.w.texts[Field::EntryNumber] = n;
        t.w.texts[Field::NewValue] = "2.5e1";
        t.run(&Analyser::loadNewValue);
        SCOPED_TRACE(n);
        const int number = std::stoi(n);
        for (auto [entry, g] : globals)
            EXPECT_EQ(t.a.circuit.*g, entry == std::string(n) ? 25 : before.*g);
        for (int i = 1; i <= kMaxParts; ++i)
            EXPECT_EQ(t.a.circuit.part(i).partvalue, i == number && i <= 10 ? 25 : before.part(i).partvalue);
        EXPECT_TRUE(t.w.messages.empty());
        EXPECT_EQ(t.w.log[0], "memo clear");
        EXPECT_LT(t.w.at("memo add"), t.w.at("rect 50,40 450,345"));
        EXPECT_EQ(t.w.memos[Memo::Listing].size(), 14u);  // crystal values are not listed for LC
    }
    Plotted t;
    t.w.texts[Field::EntryNumber] = "98";
    t.w.texts[Field::NewValue] = "75.25";
    t.run(&Analyser::loadNewValue);
    EXPECT_EQ(t.w.memos[Memo::Listing][11], "98  Source R = 75.3");
}

TEST(ValueEditor, BadNumberLeavesTheListingEmptyAndDrawsNothing)
{
    for (auto [n, x, message] : {std::tuple{"x", "5", "'x' is not a valid integer value"},
                                 {"4", "", "'' is not a valid floating point value"}}) {
        Plotted t;
        t.run(&Analyser::reviewCircuit);
        t.w.texts[Field::EntryNumber] = n;
        t.w.texts[Field::NewValue] = x;
        t.run(&Analyser::loadNewValue);
        EXPECT_EQ(t.w.messages, Lines{message});
        EXPECT_TRUE(t.w.memos[Memo::Listing].empty());
        EXPECT_EQ(t.w.plots(), 0);
    }
}

TEST(Tune, StepsAPartByThePercentageBeforeThePlotDraws)
{
    Plotted t;
    Circuit& m = t.a.circuit;
    m.part(4).partvalue = 100;
    t.run(&Analyser::reviewCircuit);
    t.run(&Analyser::tuneUp);
    EXPECT_EQ(t.w.text(Field::TunedValue), "105.000");
    EXPECT_LT(t.w.at("text TunedValue=105.000"), t.w.at("rect 50,40 450,345"));
    EXPECT_TRUE(t.w.memos[Memo::Listing].empty());
    for (int i = 0; i < 4; ++i)
        t.run(&Analyser::tuneUp);
    EXPECT_EQ(t.w.text(Field::TunedValue), "127.628");  // 1.05^5, not 1.25
    const double five = m.part(4).partvalue;
    t.w.texts[Field::TunePercent] = "12.5";
    t.run(&Analyser::tuneUp);
    t.run(&Analyser::tuneDown);
    EXPECT_NEAR(m.part(4).partvalue, five, 1e-12);
    EXPECT_EQ(t.w.plots(), 7);

    // A duplicate's number is what is tuned: 3 becomes 4.02 and refers to entry 4.
    t.w.texts[Field::TunePercent] = "5";
    t.w.texts[Field::TuneEntry] = "6";
    for (int i = 0; i < 6; ++i)
        t.run(&Analyser::tuneUp);
    EXPECT_EQ(t.w.text(Field::TunedValue), "4.020");
    EXPECT_TRUE(t.w.messages.empty());
}

// 0 and 98 to 103 tune like the editor's entries; numbers that address nothing are
// refused with a message and the plot goes on unchanged.
TEST(Tune, StepsEveryValueTheEditorAddressesAndRefusesTheRest)
{
    const std::tuple<const char*, double Circuit::*, double, const char*> cases[] = {
        {"0", &Circuit::loadr, 50, "52.500"},        {"98", &Circuit::sourcer, 50, "52.500"},
        {"99", &Circuit::inductorq, 250, "262.500"}, {"100", &Circuit::xtalfreq, 10, "10.500"},
        {"101", &Circuit::xtallm, 0.02, "0.021"},    {"102", &Circuit::xtalcp, 4, "4.200"},
        {"103", &Circuit::xtalqx, 100000, "105000.000"}};
    for (auto [n, value, start, shown] : cases) {
        Plotted t;
        t.a.circuit.*value = start;
        t.w.texts[Field::TuneEntry] = n;
        t.run(&Analyser::tuneUp);
        EXPECT_DOUBLE_EQ(t.a.circuit.*value, start * 1.05) << n;
        EXPECT_EQ(t.w.text(Field::TunedValue), shown);
    }
    for (const char* n : {"11", "97", "104", "-1"}) {
        Plotted t;
        const Circuit before = t.a.circuit;
        t.w.texts[Field::TuneEntry] = n;
        t.run(&Analyser::tuneDown);
        EXPECT_EQ(t.w.messages, Lines{"No value has the entry number " + std::string(n) + "; nothing was tuned."});
        EXPECT_EQ(t.a.circuit.part(4).partvalue, before.part(4).partvalue);
        EXPECT_EQ(t.w.text(Field::TunedValue), "");
        EXPECT_EQ(t.w.plots(), 1);
    }
}

// A step that cannot be read draws nothing and is dropped, not replayed by a later plot.
TEST(Tune, FailedStepIsNotLeftPending)
{
    for (auto [n, p, message] : {std::tuple{"x", "5", "'x' is not a valid integer value"},
                                 {"4", "-100", "Floating point division by zero"}}) {
        Plotted t;
        t.w.texts[Field::TuneEntry] = n;
        t.w.texts[Field::TunePercent] = p;
        t.run(&Analyser::tuneDown);
        EXPECT_EQ(t.w.messages, Lines{message});
        EXPECT_EQ(t.w.plots(), 0);
        t.w.texts[Field::TuneEntry] = "4";
        t.w.texts[Field::TunePercent] = "5";
        t.plot();
        EXPECT_EQ(t.a.circuit.part(4).partvalue, 292);
    }
}

}  // namespace
