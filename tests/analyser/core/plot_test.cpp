#include <gtest/gtest.h>

#include <cmath>

#include "ladder/circuit_file.h"
#include "ladder/engine.h"
#include "tests/support/fake_window.h"
#include "common/numtext.h"

namespace {

std::vector<int> every(int from, int step, int below)
{
    std::vector<int> v;
    for (int i = from; i < below; i += step)
        v.push_back(i);
    return v;
}

TEST(Plot, DrawsClearFrameGridLegendsAndTracesInOrder)
{
    Plotted t;
    t.plot();
    const std::vector<std::string> head(t.w.log.begin(), t.w.log.begin() + 12);
    EXPECT_EQ(head, (std::vector<std::string>{"text CircuitFile=startfile.cir", "text FreqUnit=MHz",
                                              "text CursorFreqUnit=MHz", "pen 240,240,240",
                                              "fill 255,255,255", "rect 50,40 450,345", "hint hidden",
                                              "pen 0,128,0", "fill 255,255,255", "rect 50,40 450,340",
                                              "text TopDb=0.0", "text BottomDb=-100.0"}));
    EXPECT_EQ(t.w.grid(true), every(40, 30, 340));   // the bottom edge is the frame
    EXPECT_EQ(t.w.grid(false), every(50, 27, 450));  // 26.67 rounds to 27: last at 428
    const auto red = t.w.in(colors::kRed), black = t.w.in(colors::kBlack), blue = t.w.in(colors::kBlue);
    ASSERT_EQ(red.size(), 1001u);  // legend, then a line to each point (the first a dot)
    ASSERT_EQ(blue.size(), 1001u);
    EXPECT_EQ(black, (std::vector<Segment>{{colors::kBlack, 380, 25, 420, 25}}));  // reference off
    EXPECT_EQ(red[0], (Segment{colors::kRed, 130, 25, 170, 25}));
    EXPECT_EQ(blue[0], (Segment{colors::kBlue, 260, 25, 300, 25}));
    EXPECT_EQ(red[1], (Segment{colors::kRed, 50, t.a.tracey21[0], 50, t.a.tracey21[0]}));
    EXPECT_EQ(blue[1000].y2, t.a.tracey11[999]);
    EXPECT_EQ(t.w.pen, colors::kBlue);  // left for the zoom box

    t.w.checks[Check::PlotS11] = false;
    t.w.forget();
    t.run(&Analyser::toggleS11);
    EXPECT_TRUE(t.w.in(colors::kBlue).empty());
    EXPECT_EQ(t.w.pen, colors::kBlack);
}

TEST(Plot, MapsFrequencyAndLevelToPixels)
{
    Plotted t;
    EXPECT_EQ(t.a.tracex[0], 50);
    EXPECT_EQ(t.a.tracex[500], 250);  // 15, reached by 500 additions of the step
    EXPECT_EQ(t.a.tracex[999], 450);  // 29.97
    // 100 (10^2.5 - 1) ohm in series between 50 ohm ends: -50 dB everywhere. No bridge
    // point, so S11 is 0 dB, on the top edge; far below the bottom the trace runs on it.
    Circuit& m = t.a.circuit;
    m = clearedForRead(m);
    t.a.view.tunepending = false;
    t.a.view.tuneup = true;
    m.partcount = 1;
    m.setKind(1, "res");
    for (auto [ohms, y] : {std::pair{100 * (std::pow(10.0, 2.5) - 1), 190}, {1e12, 340}}) {
        m.part(1).partvalue = ohms;
        t.plot();
        EXPECT_EQ(t.a.tracey21[0], y);
        EXPECT_EQ(t.a.tracey21[999], y);
        EXPECT_EQ(t.a.tracey11[500], 40);
    }
}

TEST(Plot, TakesTheScaleFromTheFields)
{
    struct Case {
        const char *top, *bottom, *dbdiv, *stop, *fdiv, *bottomShown;
        std::vector<int> ys, xs;
    } cases[] = {
        {"-10", "-100", "10", "30", "2", "-100.0", every(40, 30, 340), every(50, 27, 450)},
        {"5", "60", "10", "25", "2", "-60.0", every(40, 50, 340), every(50, 32, 450)},
        {"0", "-80", "10", "400", "26.5", "-80.0", every(40, 38, 340), every(50, 26, 450)},  // halves to even
        {"0", "-100", "400", "30", "100", "-100.0", {40}, {50}},  // a division wider than the plot
    };
    for (const auto& c : cases) {
        Plotted t;
        for (auto [field, text] : {std::pair{Field::TopDb, c.top},
                                   {Field::BottomDb, c.bottom},
                                   {Field::DbPerDiv, c.dbdiv},
                                   {Field::StopFreq, c.stop},
                                   {Field::FreqPerDiv, c.fdiv}})
            t.w.texts[field] = text;
        t.plot();
        SCOPED_TRACE(c.bottom);
        EXPECT_TRUE(t.w.messages.empty());
        EXPECT_EQ(t.w.text(Field::TopDb), "0.0");
        EXPECT_EQ(t.w.text(Field::BottomDb), c.bottomShown);
        EXPECT_EQ(t.w.grid(true), c.ys);
        EXPECT_EQ(t.w.grid(false), c.xs);
    }
}

// The plot stops at the step that fails; what was drawn stays and no trace is drawn.
TEST(Plot, StopsAtAScaleItCannotDraw)
{
    const std::string level = "Cannot draw the level grid: each dB division must be at least one pixel high "
                              "(check bottom and dB/div.).";
    const std::string freq = "Cannot draw the frequency grid: each division must be at least one pixel wide "
                             "(check start, stop and Freq./div).";
    struct Case {
        Field field;
        const char* text;
        std::string message;
        size_t hlines, vlines;
    } cases[] = {
        {Field::DbPerDiv, "0", level, 0, 0},
        {Field::DbPerDiv, "-10", level, 0, 0},
        {Field::DbPerDiv, "0.1", level, 0, 0},
        {Field::FreqPerDiv, "0", freq, 10, 0},
        {Field::FreqPerDiv, "0.01", freq, 10, 0},
        {Field::StopFreq, "-30", freq, 10, 0},
        {Field::BottomDb, "0", "Floating point division by zero", 0, 0},
        {Field::StopFreq, "0", "Floating point division by zero", 10, 0},
        {Field::DbPerDiv, "a", "'a' is not a valid floating point value", 0, 0},
        {Field::CursorFreq, "x", "'x' is not a valid floating point value", 10, 15},
        {Field::CursorFreq, "1e300", "Invalid floating point operation", 10, 15},  // no pixel holds it
    };
    for (const auto& c : cases) {
        Plotted t;
        t.w.texts[c.field] = c.text;
        t.plot();
        SCOPED_TRACE(testing::Message() << int(c.field) << "=" << c.text);
        EXPECT_EQ(t.w.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(t.w.grid(true).size(), c.hlines);
        EXPECT_EQ(t.w.grid(false).size(), c.vlines);
        EXPECT_TRUE(t.w.in(colors::kRed).empty());
    }
}

TEST(Plot, DrawsTheCursorWithTheEnginesReadout)
{
    for (auto [cursor, x] : {std::pair{"15", 250}, {"-3", 10}, {"45", 650}, {"0.1875", 52}, {"0.0", 0}}) {
        Plotted t;
        t.w.texts[Field::CursorFreq] = cursor;
        t.plot();
        SCOPED_TRACE(cursor);
        auto red = t.w.in(colors::kRed);
        red.resize(red.size() - 1001);  // the dashes come before the trace
        if (x == 0) {
            EXPECT_TRUE(red.empty());
            EXPECT_EQ(t.w.text(Field::CursorS21) + t.w.text(Field::CursorS11), "----");
            continue;
        }
        ASSERT_EQ(red.size(), 19u);
        for (int i = 0; i < 19; ++i)
            EXPECT_EQ(red[i], (Segment{colors::kRed, x, 50 + 15 * i, x, 60 + 15 * i}));
        // At exactly the cursor frequency, not clipped at the bottom level.
        const Solution s = solveLadder(t.a.circuit, std::stod(cursor));
        EXPECT_EQ(t.w.text(Field::CursorS21), fixedText(s.s21db, 5, 2));
        EXPECT_EQ(t.w.text(Field::CursorS11), fixedText(s.s11db, 5, 2));
    }
}

TEST(Plot, DrawsTheSavedReferenceWhereItLay)
{
    Plotted t;
    t.w.checks[Check::PlotReference] = true;
    t.run(&Analyser::toggleReference);
    const auto unsaved = t.w.in(colors::kBlack);  // legend, then the point (1, 1)
    EXPECT_EQ(unsaved.size(), 1001u);
    EXPECT_EQ(unsaved.back(), (Segment{colors::kBlack, 1, 1, 1, 1}));

    const auto saved = t.w.in(colors::kRed);
    t.w.forget();
    t.run(&Analyser::saveReference);
    EXPECT_TRUE(t.w.log.empty());
    t.a.circuit.part(5).partvalue = 10;
    t.w.texts[Field::StopFreq] = "20";
    t.plot();
    auto black = t.w.in(colors::kBlack);
    black.erase(black.begin());
    for (auto& s : black)
        s.pen = colors::kRed;
    EXPECT_EQ(black, std::vector<Segment>(saved.begin() + 1, saved.end()));
}

}  // namespace
