#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_window.h"

namespace {

struct Scale {
    std::string start, stop, fdiv, bottom;
};

Scale scaleOf(const FakeWindow& w)
{
    return {w.text("Edit2"), w.text("Edit3"), w.text("Edit9"), w.text("Edit7")};
}

bool operator==(const Scale& a, const Scale& b)
{
    return a.start == b.start && a.stop == b.stop && a.fdiv == b.fdiv && a.bottom == b.bottom;
}

void PrintTo(const Scale& s, std::ostream* os)
{
    *os << s.start << ".." << s.stop << " /" << s.fdiv << " bottom " << s.bottom;
}

const Scale kStartUp{"0.000", "30.000", "2.000", "-100.0"};

TEST(Pointer, ShowsThePositionOnlyOnceThePlotIsEnabled)
{
    FakeWindow w;
    Analyser a{w};
    a.run([&] { a.FormMouseMove(120, 80); });
    a.run([&] { a.FormMouseDown(); });
    a.run([&] { a.FormMouseUp(); });
    EXPECT_EQ(w.text("Edit5"), "Edit5");
    EXPECT_EQ(w.text("Edit11"), "Edit11");
    EXPECT_TRUE(w.log.empty());

    PlottedAnalyser t;
    t.a.run([&] { t.a.FormMouseMove(-7, 600); });
    EXPECT_EQ(t.w.text("Edit5"), "-7");
    EXPECT_EQ(t.w.text("Edit11"), "600");
    EXPECT_TRUE(t.w.paper.rects.empty());  // no box without a press
}

TEST(Zoom, WorkedExampleEndToEnd)
{
    PlottedAnalyser t;
    t.a.run([&] { t.a.FormMouseMove(150, 100); });
    t.a.run([&] { t.a.FormMouseDown(); });
    t.a.run([&] { t.a.FormMouseMove(200, 150); });
    t.a.run([&] { t.a.FormMouseMove(250, 190); });
    // Boxes in the pen the plot left (blue: S11 shown), top edge fixed 5 below the plot top.
    ASSERT_EQ(t.w.paper.rects.size(), 2u);
    const Rect& box = t.w.paper.rects[1];
    EXPECT_EQ(box.pen, colors::kBlue);
    EXPECT_EQ(box.fill, colors::kWhite);
    EXPECT_EQ((std::vector<int>{box.x1, box.y1, box.x2, box.y2}), (std::vector<int>{150, 45, 250, 190}));

    t.w.forget();
    t.a.run([&] { t.a.FormMouseUp(); });
    EXPECT_TRUE(t.w.messages.empty());
    // newspan writes the fields; the release's plot then rewrites the bottom in (4, 1).
    for (const char* e : {"text Edit9=1.5000", "text Edit2=7.5000", "text Edit3=15.0000", "text Edit7=-50.0000"})
        EXPECT_GE(t.w.at(e), 0) << e;
    EXPECT_LT(t.w.at("text Edit7=-50.0000"), t.w.at("rect 50,40 450,345"));
    EXPECT_EQ(scaleOf(t.w), (Scale{"7.5000", "15.0000", "1.5000", "-50.0"}));
    EXPECT_EQ(t.w.plots(), 1);
    EXPECT_EQ(t.w.paper.gridYs(), (std::vector<int>{40, 100, 160, 220, 280}));
    EXPECT_EQ(t.w.paper.gridXs(), (std::vector<int>{50, 130, 210, 290, 370}));
    EXPECT_EQ(t.a.model.startfreq, 7.5);
    EXPECT_EQ(t.a.model.bottomdb, -50);
    // The first press kept the scale it zoomed from.
    EXPECT_TRUE(t.a.sweepsaved);
    EXPECT_EQ(t.a.model.origstart, 0);
    EXPECT_EQ(t.a.model.origstop, 30);
    EXPECT_EQ(t.a.model.origbottom, -100);
    EXPECT_FALSE(t.a.dragging);
    EXPECT_FALSE(t.a.boxvalid);
}

TEST(Zoom, BoxIsBlackWithoutS11)
{
    PlottedAnalyser t;
    t.w.checks["CheckBox2"] = false;
    t.plot();
    t.w.forget();
    t.a.run([&] { t.a.FormMouseMove(150, 100); });
    t.a.run([&] { t.a.FormMouseDown(); });
    t.a.run([&] { t.a.FormMouseMove(250, 190); });
    ASSERT_EQ(t.w.paper.rects.size(), 1u);
    EXPECT_EQ(t.w.paper.rects[0].pen, colors::kBlack);
}

// Press inside: left < x <= right and top < y <= bottom; release inside: edges included.
TEST(Zoom, CountsPressAndReleaseEdgesDifferently)
{
    struct Case {
        int px, py, rx, ry;
        bool zooms;
    };
    const Case cases[] = {
        {50, 100, 250, 190, false},   // press on the left edge
        {150, 40, 250, 190, false},   // press on the top edge
        {451, 100, 250, 190, false},  // press right of the plot
        {150, 341, 250, 190, false},  // press below the plot
        {450, 340, 250, 190, true},   // press on the right and bottom edges
        {51, 41, 250, 190, true},
        {150, 100, 450, 340, true},   // release on the right and bottom edges
        {150, 100, 50, 190, true},    // release on the left edge
        {150, 100, 451, 190, false},
        {150, 100, 49, 190, false},
        {150, 100, 250, 39, false},   // above the top
        {150, 100, 250, 341, false},  // below the bottom
        {150, 100, 150, 190, false},  // no width
        {150, 100, 250, 100, false},  // no height
    };
    for (const auto& c : cases) {
        PlottedAnalyser t;
        t.drag(c.px, c.py, c.rx, c.ry);
        SCOPED_TRACE(std::to_string(c.px) + "," + std::to_string(c.py) + " -> " +
                     std::to_string(c.rx) + "," + std::to_string(c.ry));
        EXPECT_EQ(!(scaleOf(t.w) == kStartUp), c.zooms);
        EXPECT_EQ(t.w.plots(), 1);  // every release replots
        EXPECT_TRUE(t.w.messages.empty());
    }
}

TEST(Zoom, PressOutsideDrawsNoBox)
{
    PlottedAnalyser t;
    t.a.run([&] { t.a.FormMouseMove(30, 100); });
    t.a.run([&] { t.a.FormMouseDown(); });
    t.a.run([&] { t.a.FormMouseMove(250, 190); });
    EXPECT_TRUE(t.w.paper.rects.empty());
    EXPECT_FALSE(t.a.dragging);
    EXPECT_FALSE(t.a.sweepsaved);
}

TEST(Zoom, RightToLeftGivesTheSameSpan)
{
    PlottedAnalyser t;
    t.drag(250, 100, 150, 190);
    EXPECT_EQ(scaleOf(t.w), (Scale{"7.5000", "15.0000", "1.5000", "-50.0"}));
    EXPECT_EQ(t.a.model.startfreq, 7.5);
    EXPECT_EQ(t.a.model.stopfreq, 15);
}

// The limit is tested with the frequency under the press: on a 900..1300 scale (1 per
// pixel) a one-pixel box from 1000 passes, the same box dragged back from 1001 does not.
TEST(Zoom, RefusesSpansBelowAThousandthOfThePressFrequency)
{
    for (bool backwards : {false, true}) {
        PlottedAnalyser t;
        t.w.texts["Edit2"] = "900";
        t.w.texts["Edit3"] = "1300";
        t.w.texts["Edit9"] = "100";
        t.w.checks["CheckBox3"] = true;
        t.plot();
        t.w.forget();
        const Scale before = scaleOf(t.w);
        if (backwards)
            t.drag(151, 100, 150, 190);
        else
            t.drag(150, 100, 151, 190);
        SCOPED_TRACE(backwards ? "right to left" : "left to right");
        if (backwards) {
            EXPECT_EQ(t.w.messages, std::vector<std::string>{"Program cannot zoom that far."});
            EXPECT_EQ(scaleOf(t.w), before);
        } else {
            EXPECT_TRUE(t.w.messages.empty());
            EXPECT_EQ(scaleOf(t.w), (Scale{"1000.0000", "1001.0000", "0.2000", "-50.0"}));
        }
        // Either way the reference is hidden: its click handler plots, then the release does.
        EXPECT_FALSE(t.w.checked("CheckBox3"));
        EXPECT_EQ(t.w.plots(), 2);
    }
}

TEST(Zoom, ReleaseUnchecksTheReferenceAndRunsItsClick)
{
    PlottedAnalyser t;
    t.w.checks["CheckBox3"] = true;
    t.drag(150, 100, 250, 190);
    EXPECT_FALSE(t.w.checked("CheckBox3"));
    EXPECT_EQ(t.w.plots(), 2);
    // Both plots come after the new span and the uncheck, so neither draws the reference.
    EXPECT_LT(t.w.at("check CheckBox3=0"), t.w.at("rect 50,40 450,345"));
    EXPECT_EQ(t.w.paper.in(colors::kBlack).size(), 2u);  // the two legend lines
    EXPECT_EQ(t.w.paper.gridXs().size(), 10u);           // 5 + 5 on the zoomed scale

    // A plain click with the reference off replots once.
    t.w.forget();
    t.a.run([&] { t.a.FormMouseDown(); });
    t.a.run([&] { t.a.FormMouseUp(); });
    EXPECT_EQ(t.w.plots(), 1);
}

TEST(Zoom, OriginalSweepSurvivesSuccessiveZooms)
{
    PlottedAnalyser t;
    t.drag(150, 100, 250, 190);  // 7.5 .. 15
    t.drag(150, 100, 250, 190);  // 9.375 .. 11.25
    EXPECT_EQ(t.w.text("Edit2"), "9.3750");
    EXPECT_EQ(t.a.model.origstart, 0);
    EXPECT_EQ(t.a.model.origstop, 30);
    t.w.forget();
    t.a.run([&] { t.a.Button10Click(); });
    for (const char* e : {"text Edit8=10.000", "text Edit7=-100.000", "text Edit2=0.000",
                          "text Edit3=30.000", "text Edit9=2.000"})
        EXPECT_GE(t.w.at(e), 0) << e;
    EXPECT_EQ(scaleOf(t.w), kStartUp);
    EXPECT_FALSE(t.a.sweepsaved);
    EXPECT_EQ(t.w.paper.gridXs(), (std::vector<int>{50, 77, 104, 131, 158, 185, 212, 239, 266, 293,
                                                     320, 347, 374, 401, 428}));

    // After zoomout the next press saves the scale then on screen.
    t.w.texts["Edit3"] = "20";
    t.plot();
    t.drag(150, 100, 250, 190);
    EXPECT_EQ(t.a.model.origstop, 20);
}

TEST(Cursor, PlacedByThePressAfterPlaceCursor)
{
    struct Case {
        int x;
        const char* text;
        bool drawn;
    };
    const Case cases[] = {{250, "15.000", true}, {150, "7.500", true}, {50, "0.000", false},
                          {10, "-3.000", true}, {650, "45.000", true}};
    for (const auto& c : cases) {
        PlottedAnalyser t;
        t.a.run([&] { t.a.Button11Click(); });
        EXPECT_TRUE(t.w.log.empty());
        t.a.run([&] { t.a.FormMouseMove(c.x, 500); });
        t.a.run([&] { t.a.FormMouseDown(); });
        SCOPED_TRACE(c.x);
        EXPECT_EQ(t.w.text("Edit23"), c.text);
        EXPECT_FALSE(t.a.placingcursor);
        EXPECT_EQ(t.w.plots(), 1);
        const size_t dashes = t.w.paper.in(colors::kRed).size() - 1001;
        EXPECT_EQ(dashes, c.drawn ? 19u : 0u);
        if (c.drawn)
            EXPECT_EQ(t.a.cursorx, c.x);
        else
            EXPECT_EQ(t.w.text("Edit16"), "--");
    }
}

TEST(Cursor, ArmedDragPlacesTheCursorAndDrawsNoBox)
{
    PlottedAnalyser t;
    t.a.run([&] { t.a.Button11Click(); });
    t.drag(150, 100, 250, 190);
    EXPECT_EQ(t.w.text("Edit23"), "7.500");
    EXPECT_EQ(scaleOf(t.w), kStartUp);
    EXPECT_FALSE(t.a.sweepsaved);
    // Two plots, the placement's and the release's; no box between them.
    EXPECT_EQ(t.w.plots(), 2);
    EXPECT_EQ(t.w.paper.rects.size(), 4u);
}

TEST(Cursor, ResetCursorClearsTheReadout)
{
    PlottedAnalyser t;
    t.w.texts["Edit23"] = "15";
    t.plot();
    ASSERT_NE(t.w.text("Edit16"), "--");
    t.w.forget();
    t.a.run([&] { t.a.Button2Click(); });
    EXPECT_EQ(t.w.text("Edit23"), "0.0");
    EXPECT_EQ(t.w.text("Edit16"), "--");
    EXPECT_EQ(t.w.text("Edit4"), "--");
    EXPECT_EQ(t.w.paper.in(colors::kRed).size(), 1001u);
    EXPECT_EQ(t.a.cursorfreq, 0);
}

TEST(Zoom, ReleaseOnTheTopEdgeGivesAScaleThePlotCannotUse)
{
    PlottedAnalyser t;
    t.drag(150, 100, 250, 40);
    EXPECT_EQ(t.w.messages, std::vector<std::string>{"Floating point division by zero"});
    EXPECT_EQ(t.w.text("Edit7"), "0.0");
}

}  // namespace
