#include <gtest/gtest.h>

#include "tests/support/fake_window.h"

namespace {

// Start, stop, frequency and bottom fields.
std::vector<std::string> scale(const FakeWindow& w)
{
    return {w.text(Field::StartFreq), w.text(Field::StopFreq), w.text(Field::FreqPerDiv),
            w.text(Field::BottomDb)};
}

const std::vector<std::string> kStartUp{"0.000", "30.000", "2.000", "-100.0"};
const std::vector<std::string> kWorked{"7.5000", "15.0000", "1.5000", "-50.0"};

TEST(Zoom, WorkedExampleThroughTheMouseHandlers)
{
    Plotted t;
    t.a.run([&] { t.a.pointerMoved(150, 100); });
    t.run(&Analyser::pointerPressed);
    t.a.run([&] { t.a.pointerMoved(250, 190); });
    // In the pen and fill the plot left; the top edge always 5 below the plot's.
    EXPECT_EQ(t.w.rects, (std::vector<Segment>{{colors::kBlue, 150, 45, 250, 190}}));
    EXPECT_EQ(t.w.fill, colors::kWhite);
    EXPECT_EQ(t.w.text(Field::PointerX) + " " + t.w.text(Field::PointerY), "250 190");

    t.w.forget();
    t.run(&Analyser::pointerReleased);
    // The plot rewrites the bottom spanFromBox wrote, in its own format.
    EXPECT_LT(t.w.at("text BottomDb=-50.0000"), t.w.at("rect 50,40 450,345"));
    EXPECT_EQ(scale(t.w), kWorked);
    EXPECT_EQ(t.w.plots(), 1);
    EXPECT_EQ(t.w.grid(true), (std::vector<int>{40, 100, 160, 220, 280}));
    EXPECT_EQ(t.w.grid(false), (std::vector<int>{50, 130, 210, 290, 370}));
    EXPECT_EQ(t.a.view.origstop, 30);  // the press kept the scale zoomed from
}

// A press counts for left < x <= right, top < y <= bottom; a release with the edges.
TEST(Zoom, PressAndReleaseBounds)
{
    struct Case {
        int px, py, rx, ry;
        bool zooms;
    } cases[] = {
        {50, 100, 250, 190, false},  {150, 40, 250, 190, false},  {451, 100, 250, 190, false},
        {150, 341, 250, 190, false}, {450, 340, 250, 190, true},  {150, 100, 450, 340, true},
        {150, 100, 50, 190, true},   {150, 100, 49, 190, false},  {150, 100, 451, 190, false},
        {150, 100, 250, 39, false},  {150, 100, 250, 341, false}, {150, 100, 150, 190, false},
        {150, 100, 250, 100, false},
    };
    for (const auto& c : cases) {
        Plotted t;
        t.drag(c.px, c.py, c.rx, c.ry);
        SCOPED_TRACE(testing::Message() << c.px << "," << c.py << " -> " << c.rx << "," << c.ry);
        EXPECT_EQ(scale(t.w) != kStartUp, c.zooms);
        EXPECT_EQ(t.w.rects.size(), c.px == 50 || c.py == 40 || c.px > 450 || c.py > 340 ? 2u : 3u);
        EXPECT_EQ(t.w.plots(), 1);
        EXPECT_TRUE(t.w.messages.empty());
    }
}

// Backwards gives the same span, but the limit is tested at the press: on 900..1300 a
// one-pixel box from 1000 up passes, the same box from 1001 down does not.
TEST(Zoom, RightToLeftAndTheZoomLimit)
{
    Plotted t;
    t.drag(250, 100, 150, 190);
    EXPECT_EQ(scale(t.w), kWorked);
    for (bool backwards : {false, true}) {
        Plotted z;
        z.w.texts[Field::StartFreq] = "900";
        z.w.texts[Field::StopFreq] = "1300";
        z.w.texts[Field::FreqPerDiv] = "100";
        z.w.checks[Check::PlotReference] = true;
        z.plot();
        const auto before = scale(z.w);
        z.w.forget();
        z.drag(150 + backwards, 100, 151 - backwards, 190);
        if (backwards) {
            EXPECT_EQ(z.w.messages, std::vector<std::string>{"Program cannot zoom that far."});
            EXPECT_EQ(scale(z.w), before);
        } else {
            EXPECT_EQ(scale(z.w), (std::vector<std::string>{"1000.0000", "1001.0000", "0.2000", "-50.0"}));
        }
        // Unchecking the reference runs its click, which plots before the release does.
        EXPECT_FALSE(z.w.checked(Check::PlotReference));
        EXPECT_EQ(z.w.plots(), 2);
        EXPECT_EQ(z.w.in(colors::kBlack).size(), 2u);  // legends only
    }
}

TEST(Zoom, ZoomToOriginalSweepReturnsToTheSweepBeforeTheFirstZoom)
{
    Plotted t;
    t.drag(150, 100, 250, 190);
    t.drag(150, 100, 250, 190);
    EXPECT_EQ(t.w.text(Field::StartFreq), "9.3750");
    t.w.forget();
    t.run(&Analyser::zoomToOriginalSweep);
    EXPECT_EQ(
        std::vector<std::string>(t.w.log.begin(), t.w.log.begin() + 5),
        (std::vector<std::string>{"text DbPerDiv=10.000", "text BottomDb=-100.000", "text StartFreq=0.000",
                                  "text StopFreq=30.000", "text FreqPerDiv=2.000"}));
    EXPECT_EQ(scale(t.w), kStartUp);
    // The next press saves the scale on screen then.
    t.w.texts[Field::StopFreq] = "20";
    t.plot();
    t.drag(150, 100, 250, 190);
    EXPECT_EQ(t.a.view.origstop, 20);
}

TEST(Zoom, ReleaseOnTheTopEdgeGivesABottomThePlotCannotScale)
{
    Plotted t;
    t.drag(150, 100, 250, 40);
    EXPECT_EQ(t.w.messages, std::vector<std::string>{"Floating point division by zero"});
    EXPECT_EQ(t.w.text(Field::BottomDb), "0.0");
}

TEST(Zoom, MouseDoesNothingUntilThePlotIsEnabled)
{
    FakeWindow w;
    Analyser a{w};
    a.run([&] { a.pointerMoved(150, 100); });
    a.run([&] { a.pointerPressed(); });
    a.run([&] { a.pointerReleased(); });
    EXPECT_TRUE(w.log.empty());  // not even the pointer readout
}

TEST(Cursor, PlaceCursorTakesTheNextPressAndNoBox)
{
    for (auto [x, text, dashes] : {std::tuple{250, "15.000", 19u}, {10, "-3.000", 19u}, {50, "0.000", 0u}}) {
        Plotted t;
        t.run(&Analyser::placeCursor);
        t.drag(x, 500, 300, 200);
        SCOPED_TRACE(x);
        EXPECT_EQ(t.w.text(Field::CursorFreq), text);
        EXPECT_EQ(t.w.in(colors::kRed).size(), 2 * (1001 + dashes));  // placement and release plots
        EXPECT_EQ(t.w.rects.size(), 4u);                               // no box between them
        EXPECT_EQ(scale(t.w), kStartUp);
    }
    Plotted t;
    t.w.texts[Field::CursorFreq] = "15";
    t.plot();
    t.run(&Analyser::resetCursor);
    EXPECT_EQ(t.w.text(Field::CursorFreq) + " " + t.w.text(Field::CursorS21) + " " +
                  t.w.text(Field::CursorS11),
              "0.0 -- --");
    EXPECT_EQ(t.w.in(colors::kRed).size(), 1001u + 19 + 1001);
}

}  // namespace
