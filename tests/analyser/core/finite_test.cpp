// No infinite or NaN number reaches a field, a listing, a saved file or the sweep; every
// file the analyser saves reads back as the circuit it saved.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/circuit_test_support.h"
#include "analyser/sweep/sweep_command.h"

namespace {

using namespace circuittest;
using Lines = std::vector<std::string>;

// The eleven lines of an LC file without parts, with the given sweep and scale.
Lines sweepFile(const std::string& sourcer, const std::string& loadr, const std::string& start,
                const std::string& stop, const std::string& step, const std::string& dbperdiv)
{
    return {"0", "250", sourcer, loadr, "0", start, stop, step, "2", "100", dbperdiv};
}

std::string messageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const AppError& e) {
        return e.what();
    }
    return "";
}

bool showsNoInfinity(const FakeWindow& w)
{
    for (const auto& [field, text] : w.texts)
        if (text.find("INF") != std::string::npos || text.find("NAN") != std::string::npos)
            return false;
    return true;
}

TEST(ReadableText, CutsOnlyTextsBeyondTheLargestDouble)
{
    const struct {
        std::string in, out;
    } cases[] = {
        {"1.7976931349E308", "1.7976931348E308"},
        {"-1.7976931349E308", "-1.7976931348E308"},
        {"1.8E308", "1.7E308"},
        {"1.7976931348E308", "1.7976931348E308"},
        {"2E5", "2E5"},
        {"0.00000", "0.00000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readableText(c.in), c.out) << c.in;
}

TEST(SaveAndOpen, AValueAtTheTopOfTheRangeSavesAsTheNearestTextThatReads)
{
    TempDir dir;
    Circuit m = Circuit::startup();
    FakeWindow w;
    ASSERT_EQ(readText(m, w, dir, crlf(sweepFile("50", "50", "0", "30", "3", "1.7976931348623157e308"))),
              std::nullopt);
    const std::string file = dir.file("saved.cir");
    writeCircuitFile(file, m);
    EXPECT_NE(readBytes(file).find("\r\n1.7976931348E308\r\n"), std::string::npos);

    Circuit again = Circuit::startup();
    ViewState view;
    loadCircuitFile(file, again, view, w);
    EXPECT_EQ(again.dbperdiv, 1.7976931348e308);
    EXPECT_EQ(circuitText(again), circuitText(m));
}

// A tiny table step saves as 0.00000, which the reader takes as "a tenth of the span":
// that is what the file format says, and it stays.
TEST(SaveAndOpen, ATableStepBelowTheLastDecimalReadsBackAsATenthOfTheSpan)
{
    TempDir dir;
    Circuit m = Circuit::startup();
    FakeWindow w;
    ASSERT_EQ(readText(m, w, dir, crlf(sweepFile("50", "50", "0", "30", "0.000001", "10"))), std::nullopt);
    EXPECT_EQ(m.tablestep, 0.000001);
    const std::string file = dir.file("saved.cir");
    writeCircuitFile(file, m);
    ViewState view;
    loadCircuitFile(file, m, view, w);
    EXPECT_EQ(m.tablestep, 3);
}

TEST(SaveAndOpen, AValueThatIsNoNumberIsRefusedByNameAndTheOldFileStays)
{
    TempDir dir;
    Circuit m = Circuit::startup();
    const std::string file = dir.file("kept.cir");
    writeBytes(file, "old");
    m.part(4).partvalue = INFINITY;
    EXPECT_EQ(messageOf([&] { writeCircuitFile(file, m); }),
              "The circuit was not saved: the value of entry 4 is not a finite number.");
    m.part(4).partvalue = 292;
    m.sourcer = NAN;
    EXPECT_EQ(messageOf([&] { writeCircuitFile(file, m); }),
              "The circuit was not saved: the source resistance is not a finite number.");
    EXPECT_EQ(readBytes(file), "old");
}

TEST(Sweep, ASpanOrAPointBeyondTheLargestDoubleIsAnOverflow)
{
    TempDir dir;
    Circuit m = Circuit::startup();
    FakeWindow w;
    // The span of -1e308 .. 1e308 overflows where the reader works out the sweep step.
    EXPECT_EQ(readText(m, w, dir, crlf(sweepFile("50", "50", "-1e308", "1e308", "0", "10"))),
              "Floating point overflow");
    EXPECT_TRUE(showsNoInfinity(w));

    // A start at the top of the range reads, but its first sweep point lies beyond it.
    ASSERT_EQ(readText(m, w, dir, crlf(sweepFile("50", "50", "1.797e308", "30", "0", "10"))), std::nullopt);
    EXPECT_EQ(messageOf([&] { sweepCsv(m); }), "Floating point overflow");
    EXPECT_EQ(messageOf([&] { sweepFrequencies(-1e308, 1e308); }), "Floating point overflow");
}

// 1e200 ohms into 1e-200 ohms: the power ratio of the transducer gain overflows.
TEST(Sweep, AGainBeyondTheLargestDoubleIsAnOverflowNotAnInfiniteLevel)
{
    TempDir dir;
    Circuit m = Circuit::startup();
    FakeWindow w;
    ASSERT_EQ(readText(m, w, dir, crlf(sweepFile("1e200", "1e-200", "0", "30", "3", "10"))), std::nullopt);
    EXPECT_EQ(messageOf([&] { sweepCsv(m); }), "Floating point overflow");
    EXPECT_EQ(messageOf([&] { pointCsv(m, 10); }), "Floating point overflow");
}

// Plotting 0 .. 1e308 only refuses the grid; a zoom box dragged on that plot used to
// write INF into start and stop and NAN into Freq./div.
TEST(Zoom, ABoxOnAHugeSpanStopsWithOverflowAndLeavesTheScale)
{
    Plotted t;
    t.w.texts[Field::StopFreq] = "1e308";
    t.plot();
    ASSERT_EQ(t.w.messages.size(), 1u);  // the frequency grid's refusal
    const auto before = t.w.texts;
    t.w.forget();
    t.drag(150, 100, 152, 102);
    EXPECT_EQ(t.w.messages.front(), "Floating point overflow");
    EXPECT_EQ(t.w.text(Field::StartFreq), before.at(Field::StartFreq));
    EXPECT_EQ(t.w.text(Field::StopFreq), before.at(Field::StopFreq));
    EXPECT_EQ(t.w.text(Field::FreqPerDiv), before.at(Field::FreqPerDiv));
    EXPECT_TRUE(showsNoInfinity(t.w));

    // The cursor works out its frequency on the same line.
    t.w.forget();
    t.run(&Analyser::placeCursor);
    t.a.run([&] { t.a.pointerMoved(400, 100); });
    t.run(&Analyser::pointerPressed);
    EXPECT_EQ(t.w.messages, Lines{"Floating point overflow"});
    EXPECT_EQ(t.w.text(Field::CursorFreq), "0");
}

TEST(Tune, AStepPastTheLargestDoubleLeavesTheValueAndSavesNoInfinity)
{
    Plotted t;
    t.w.texts[Field::TunePercent] = "1e300";
    t.run(&Analyser::tuneUp);
    const double once = t.a.circuit.part(4).partvalue;
    EXPECT_TRUE(std::isfinite(once));  // a huge capacitor; the engine's own message may follow
    t.w.forget();
    t.run(&Analyser::tuneUp);
    EXPECT_EQ(t.w.messages, Lines{"Floating point overflow"});
    EXPECT_EQ(t.a.circuit.part(4).partvalue, once);
    t.run(&Analyser::reviewCircuit);
    for (const auto& line : t.w.memos[Memo::Listing])
        EXPECT_EQ(line.find("INF"), std::string::npos) << line;
    EXPECT_TRUE(showsNoInfinity(t.w));
    EXPECT_EQ(circuitText(t.a.circuit).find("INF"), std::string::npos);
}

}  // namespace
