#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine.h"
#include "fake_window.h"
#include "numtext.h"

namespace {

std::vector<int> steps(int from, int to, int step)
{
    std::vector<int> v;
    for (int i = from; i < to; i += step)
        v.push_back(i);
    return v;
}

TEST(Plot, ClearsFramesAndDrawsTheStartUpGridInOrder)
{
    PlottedAnalyser t;
    t.plot();
    const std::vector<std::string> head(t.w.log.begin(), t.w.log.begin() + 12);
    const std::vector<std::string> expected{
        "text Edit1=startfile.cir", "text Edit14=MHz", "text Edit24=MHz",
        "pen 240,240,240", "fill 255,255,255", "rect 50,40 450,345", "hint hidden",
        "pen 0,128,0", "fill 255,255,255", "rect 50,40 450,340",
        "text Edit6=0.0", "text Edit7=-100.0",
    };
    EXPECT_EQ(head, expected);
    EXPECT_EQ(t.w.paper.gridYs(), steps(40, 340, 30));   // ten lines; 340 is the frame
    EXPECT_EQ(t.w.paper.gridXs(), steps(50, 450, 27));   // 26.67 rounds to 27: last at 428
    EXPECT_EQ(t.w.paper.gridXs().back(), 428);
    for (const auto& s : t.w.paper.in(colors::kGrid))
        EXPECT_TRUE((s.y1 == s.y2 && s.x1 == 50 && s.x2 == 450) ||
                    (s.x1 == s.x2 && s.y1 == 40 && s.y2 == 340));
    EXPECT_TRUE(t.w.messages.empty());
}

TEST(Plot, DrawsLegendsAndThousandPointTracesInEachColour)
{
    PlottedAnalyser t;
    t.plot();
    auto red = t.w.paper.in(colors::kRed);
    auto black = t.w.paper.in(colors::kBlack);
    auto blue = t.w.paper.in(colors::kBlue);
    ASSERT_EQ(red.size(), 1001u);  // legend, then one line to every point (the first is a dot)
    EXPECT_EQ(red[0], (Segment{colors::kRed, 130, 25, 170, 25}));
    ASSERT_EQ(black.size(), 1u);   // reference legend only: "Plot Reference " is off
    EXPECT_EQ(black[0], (Segment{colors::kBlack, 380, 25, 420, 25}));
    ASSERT_EQ(blue.size(), 1001u);
    EXPECT_EQ(blue[0], (Segment{colors::kBlue, 260, 25, 300, 25}));
    for (int i = 0; i < kSweepPoints; ++i) {
        EXPECT_EQ(red[i + 1].x2, t.a.tracex[i]);
        EXPECT_EQ(red[i + 1].y2, t.a.tracey21[i]);
        EXPECT_EQ(blue[i + 1].y2, t.a.tracey11[i]);
    }
    // The pen the zoom box will use.
    EXPECT_EQ(t.w.paper.pen, colors::kBlue);

    t.w.checks["CheckBox2"] = false;
    t.w.forget();
    t.a.run([&] { t.a.CheckBox2Click(); });
    EXPECT_TRUE(t.w.paper.in(colors::kBlue).empty());
    EXPECT_EQ(t.w.paper.pen, colors::kBlack);
}

TEST(Plot, MapsFrequenciesAndLevelsToPixels)
{
    PlottedAnalyser t;
    // x: 0 -> 50, 15 -> 250 (point 500, reached by repeated addition), 29.97 -> 450.
    EXPECT_EQ(t.a.tracex[0], 50);
    EXPECT_EQ(t.a.tracex[500], 250);
    EXPECT_EQ(t.a.tracex[999], 450);
    for (int i = 1; i < kSweepPoints; ++i)
        EXPECT_GE(t.a.tracex[i], t.a.tracex[i - 1]);

    // A series resistor of 100 (10^2.5 - 1) ohm between 50 ohm ends passes -50 dB at every
    // frequency; without a bridge point S11 stays 0 dB, on the top edge.
    Model& m = t.a.model;
    m.resetBeforeRead();
    m.partcount = 1;
    m.setKind(1, "res");
    m.part(1).partvalue = 100 * (std::pow(10.0, 2.5) - 1);
    t.plot();
    EXPECT_EQ(t.a.tracey21[0], 190);
    EXPECT_EQ(t.a.tracey21[999], 190);
    EXPECT_EQ(t.a.tracey11[500], 40);

    // Far below the bottom level the trace runs along the bottom edge.
    m.part(1).partvalue = 1e12;
    t.plot();
    EXPECT_EQ(t.a.tracey21[0], 340);
    EXPECT_EQ(t.a.tracey21[999], 340);
}

TEST(Plot, ReadsTheScaleFromTheFieldsEveryTime)
{
    struct Case {
        const char *top, *bottom, *dbdiv, *start, *stop, *fdiv;
        const char *topShown, *bottomShown;
        std::vector<int> ys, xs;
    };
    const Case cases[] = {
        {"-10", "-100", "10", "0", "30", "2", "0.0", "-100.0", steps(40, 340, 30), steps(50, 450, 27)},
        {"5", "60", "10", "0", "30", "2", "0.0", "-60.0", steps(40, 340, 50), steps(50, 450, 27)},
        {"0", "-50", "10", "7.5", "15", "1.5", "0.0", "-50.0", steps(40, 340, 60), steps(50, 450, 80)},
        {"0", "-100", "400", "0", "30", "100", "0.0", "-100.0", {40}, {50}},  // one division wider than the plot
        {"0", "-100", "10", "0", "25", "2", "0.0", "-100.0", steps(40, 340, 30), steps(50, 450, 32)},
        // Steps of 26.5 and 37.5 pixels: halves go to even.
        {"0", "-80", "10", "0", "400", "26.5", "0.0", "-80.0", steps(40, 340, 38), steps(50, 450, 26)},
    };
    for (const auto& c : cases) {
        PlottedAnalyser t;
        t.w.texts["Edit6"] = c.top;
        t.w.texts["Edit7"] = c.bottom;
        t.w.texts["Edit8"] = c.dbdiv;
        t.w.texts["Edit2"] = c.start;
        t.w.texts["Edit3"] = c.stop;
        t.w.texts["Edit9"] = c.fdiv;
        t.plot();
        SCOPED_TRACE(std::string(c.bottom) + " " + c.start + ".." + c.stop);
        EXPECT_TRUE(t.w.messages.empty());
        EXPECT_EQ(t.w.text("Edit6"), c.topShown);
        EXPECT_EQ(t.w.text("Edit7"), c.bottomShown);
        EXPECT_EQ(t.w.paper.gridYs(), c.ys);
        EXPECT_EQ(t.w.paper.gridXs(), c.xs);
        EXPECT_EQ(t.a.model.topdb, 0);
        EXPECT_EQ(t.a.model.startfreq, std::stod(c.start));
        EXPECT_EQ(t.a.tracex[999], 450);
    }
}

// A scale the grid cannot draw ends the plot where it stands, with its message; a zero
// range keeps the arithmetic's own message.
TEST(Plot, RefusesScalesItCannotDraw)
{
    const std::string levelGrid =
        "Cannot draw the level grid: each dB division must be at least one pixel high "
        "(check bottom and dB/div.).";
    const std::string freqGrid =
        "Cannot draw the frequency grid: each division must be at least one pixel wide "
        "(check start, stop and Freq./div).";
    struct Case {
        const char* field;
        const char* text;
        std::string message;
        size_t levelLines, freqLines;
    };
    const Case cases[] = {
        {"Edit8", "0", levelGrid, 0, 0},
        {"Edit8", "-10", levelGrid, 0, 0},
        {"Edit8", "0.1", levelGrid, 0, 0},      // 0.3 pixel
        {"Edit7", "0", "Floating point division by zero", 0, 0},
        {"Edit9", "0", freqGrid, 10, 0},
        {"Edit9", "0.01", freqGrid, 10, 0},     // 0.13 pixel
        {"Edit3", "-30", freqGrid, 10, 0},      // stop below start
        {"Edit3", "0", "Floating point division by zero", 10, 0},
        {"Edit2", "-1e308", freqGrid, 10, 0},   // a span beyond any double
        {"Edit8", "abc", "'abc' is not a valid floating point value", 0, 0},
        {"Edit23", "x", "'x' is not a valid floating point value", 10, 15},
    };
    for (const auto& c : cases) {
        PlottedAnalyser t;
        if (std::string(c.text) == "-1e308")
            t.w.texts["Edit3"] = "1e308";
        t.w.texts[c.field] = c.text;
        t.plot();
        SCOPED_TRACE(std::string(c.field) + "=" + c.text);
        EXPECT_EQ(t.w.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(t.w.paper.gridYs().size(), c.levelLines);
        EXPECT_EQ(t.w.paper.gridXs().size(), c.freqLines);
        EXPECT_TRUE(t.w.paper.in(colors::kRed).empty());  // no traces
        EXPECT_EQ(t.w.text("Edit7"), std::string(c.field) == "Edit7" ? "0.0" : "-100.0");
    }
}

TEST(Plot, DrawsTheCursorAndItsReadout)
{
    struct Case {
        const char* field;
        int x;  // 0: no cursor
    };
    const Case cases[] = {{"15", 250}, {"7.5", 150}, {"45", 650}, {"-3", 10}, {"0.1875", 52}, {"0", 0}, {"0.0", 0}};
    for (const auto& c : cases) {
        PlottedAnalyser t;
        t.w.texts["Edit23"] = c.field;
        t.plot();
        SCOPED_TRACE(c.field);
        const auto red = t.w.paper.in(colors::kRed);
        std::vector<Segment> dashes(red.begin(), red.end() - 1001);
        if (c.x == 0) {
            EXPECT_TRUE(dashes.empty());
            EXPECT_EQ(t.w.text("Edit16"), "--");
            EXPECT_EQ(t.w.text("Edit4"), "--");
            continue;
        }
        ASSERT_EQ(dashes.size(), 19u);
        for (size_t i = 0; i < dashes.size(); ++i)
            EXPECT_EQ(dashes[i], (Segment{colors::kRed, c.x, 50 + 15 * int(i), c.x, 60 + 15 * int(i)}));
        EXPECT_EQ(dashes.back().y2, 330);
        // The engine's value at exactly the cursor frequency, unclipped.
        const Solution s = ladder(t.a.model, std::stod(c.field));
        EXPECT_EQ(t.w.text("Edit16"), fixedText(s.s21db, 5, 2));
        EXPECT_EQ(t.w.text("Edit4"), fixedText(s.s11db, 5, 2));
        // The readout comes before the dashes, after the grid.
        EXPECT_LT(t.w.at("text Edit16=" + t.w.text("Edit16")), t.w.at("move " + std::to_string(c.x) + ",50"));
    }
}

TEST(Plot, DrawsTheSavedReferenceOnlyWhenAsked)
{
    PlottedAnalyser t;
    // Before any save the reference is the point (1, 1): nothing visible.
    t.w.checks["CheckBox3"] = true;
    t.a.run([&] { t.a.CheckBox3Click(); });
    auto black = t.w.paper.in(colors::kBlack);
    ASSERT_EQ(black.size(), 1001u);
    for (size_t i = 1; i < black.size(); ++i)
        EXPECT_EQ(black[i], (Segment{colors::kBlack, 1, 1, 1, 1}));

    // Save, change the circuit and scale: the old trace is drawn where it lay.
    t.a.run([&] { t.a.Button8Click(); });
    EXPECT_EQ(t.a.refx, t.a.tracex);
    EXPECT_EQ(t.a.refy, t.a.tracey21);
    const auto savedx = t.a.tracex;
    const auto savedy = t.a.tracey21;
    t.a.model.part(5).partvalue = 10;
    t.w.texts["Edit3"] = "20";
    t.w.forget();
    t.plot();
    black = t.w.paper.in(colors::kBlack);
    ASSERT_EQ(black.size(), 1001u);
    for (int i = 0; i < kSweepPoints; ++i)
        EXPECT_EQ(black[i + 1].x2, savedx[i]) << i;
    EXPECT_EQ(black[1000].y2, savedy[999]);

    // Saving draws nothing.
    t.w.forget();
    t.a.run([&] { t.a.Button8Click(); });
    EXPECT_TRUE(t.w.log.empty());
}

}  // namespace
