#include <gtest/gtest.h>

#include "tests/support/fake_window.h"

namespace {

constexpr Color kBand{255, 222, 222};
constexpr Color kPercentiles{245, 160, 160};

// Default sweep 0 to 30 MHz over 400 pixels, 0 to -100 dB over 300.
TEST(EnvelopePlot, DrawnBehindTheTracesWithinTheFrameUntilCleared)
{
    Plotted t;
    t.a.envelope = {
        {0, -60, -50, -20, -10},
        {7.5, -60, -50, -20, -10},
        {15, -200, -90, -30, 5},  // beyond both ends of the scale: clipped to the frame
        {30, -60, -50, -20, -10},
        {31, -60, -50, -20, -10},  // outside the sweep
    };
    t.plot();
    EXPECT_EQ(t.w.in(kBand), (std::vector<Segment>{{kBand, 50, 70, 50, 220},
                                                    {kBand, 150, 70, 150, 220},
                                                    {kBand, 250, 40, 250, 340},
                                                    {kBand, 450, 70, 450, 220}}));
    // The 5th percentile, then the 95th: each a line through the points in view.
    EXPECT_EQ(t.w.in(kPercentiles), (std::vector<Segment>{{kPercentiles, 50, 190, 150, 190},
                                                           {kPercentiles, 150, 190, 250, 310},
                                                           {kPercentiles, 250, 310, 450, 190},
                                                           {kPercentiles, 50, 100, 150, 100},
                                                           {kPercentiles, 150, 100, 250, 130},
                                                           {kPercentiles, 250, 130, 450, 100}}));
    const int envelope = t.w.at("pen 255,222,222");
    EXPECT_GT(envelope, t.w.at("rect 50,40 450,340"));
    EXPECT_LT(envelope, t.w.at("pen 255,0,0"));
    const auto grid = t.w.in(colors::kGrid);
    EXPECT_EQ(t.w.lines[grid.size()].pen, kBand) << "right after the grid";

    // Zoomed in, only the points in view are drawn.
    t.w.texts[Field::StartFreq] = "10";
    t.w.texts[Field::StopFreq] = "20";
    t.w.forget();
    t.plot();
    ASSERT_EQ(t.w.in(kBand).size(), 1u);
    EXPECT_EQ(t.w.in(kBand)[0].x1, 250);

    t.a.envelope.clear();
    t.w.forget();
    t.plot();
    EXPECT_TRUE(t.w.in(kBand).empty());
    EXPECT_TRUE(t.w.in(kPercentiles).empty());
}

}  // namespace
