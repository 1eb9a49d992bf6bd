#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>
#include <vector>

#include "analyser/core/polyline.h"

namespace {

// The largest distance, up or down in pixels, from a left-out point to the line between
// the kept points on either side of it.
double worstGap(const std::vector<double>& x, const std::vector<double>& y, const std::vector<int>& keep,
                double yScale)
{
    double worst = 0;
    for (std::size_t k = 0; k + 1 < keep.size(); ++k) {
        const int a = keep[k], b = keep[k + 1];
        for (int i = a + 1; i < b; ++i) {
            const double t = (x[i] - x[a]) / (x[b] - x[a]);
            const double line = y[a] + t * (y[b] - y[a]);
            worst = std::max(worst, std::abs(line - y[i]) * yScale);
        }
    }
    return worst;
}

std::vector<double> grid(int n, double step)
{
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = i * step;
    return x;
}

TEST(SimplifyPolyline, KeepsTheLookWithinTheTolerance)
{
    // Curves like the delay over a filter's range: flat skirts, sharp peaks at the band
    // edges, ripple between; thinned for plot areas from a thumbnail to a wide screen.
    const int n = 1000;
    const auto x = grid(n, 0.01);
    std::vector<double> y(n);
    for (int i = 0; i < n; ++i) {
        const double f = x[i] - 5;
        y[i] = 1 / (0.01 + (f - 1) * (f - 1)) + 1 / (0.01 + (f + 1) * (f + 1)) + (std::abs(f) < 1 ? std::sin(40 * f) : 0);
    }
    const double top = *std::max_element(y.begin(), y.end());
    for (const auto& [width, height, tolerance] : {std::tuple{100.0, 60.0, 0.25}, {500.0, 250.0, 0.25},
                                                   {2000.0, 1000.0, 0.25}, {500.0, 250.0, 2.0}}) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << " within " << tolerance);
        const double xScale = width / 10, yScale = height / top;
        const auto keep = simplifyPolyline(x.data(), y.data(), n, xScale, yScale, tolerance);
        ASSERT_GE(keep.size(), 2u);
        EXPECT_EQ(keep.front(), 0);
        EXPECT_EQ(keep.back(), n - 1);
        EXPECT_TRUE(std::is_sorted(keep.begin(), keep.end()));
        EXPECT_EQ(std::adjacent_find(keep.begin(), keep.end()), keep.end()) << "no index twice";
        EXPECT_LE(worstGap(x, y, keep, yScale), tolerance * (1 + 1e-9));
        EXPECT_LT(keep.size(), std::size_t(n) / 2) << "thinner than the samples";
    }
}

TEST(SimplifyPolyline, AStraightLineKeepsItsEndsAndASpikeStays)
{
    const int n = 1000;
    const auto x = grid(n, 1);
    std::vector<double> y(n);
    for (int i = 0; i < n; ++i)
        y[i] = 3 - 0.002 * i;
    EXPECT_EQ(simplifyPolyline(x.data(), y.data(), n, 0.5, 100, 0.25), (std::vector<int>{0, n - 1}));

    // One sample a pixel off the line shows; a tenth of a pixel does not.
    y[400] += 1.0 / 100;
    EXPECT_EQ(simplifyPolyline(x.data(), y.data(), n, 0.5, 100, 0.25), (std::vector<int>{0, 399, 400, 401, n - 1}));
    y[400] = 3 - 0.002 * 400 + 0.1 / 100;
    EXPECT_EQ(simplifyPolyline(x.data(), y.data(), n, 0.5, 100, 0.25), (std::vector<int>{0, n - 1}));
}

TEST(SimplifyPolyline, KeepsEveryPointWhereItCannotThin)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        std::vector<double> x, y;
        double xScale = 1, yScale = 1;
    };
    const Case cases[] = {
        {"two points", {0, 1}, {0, 0}},
        {"x falls", {0, 2, 1, 3}, {0, 0, 0, 0}},
        {"x repeats", {0, 1, 1, 2}, {0, 0, 0, 0}},
        {"not a number", {0, 1, 2, 3}, {0, nan, 0, 0}},
        {"beyond the largest double in pixels", {0, 1, 2, 3}, {0, 1e308, 0, 0}, 1, 10},
        {"no size", {0, 1, 2, 3}, {0, 0, 0, 0}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int> all(c.x.size());
        std::iota(all.begin(), all.end(), 0);
        EXPECT_EQ(simplifyPolyline(c.x.data(), c.y.data(), int(c.x.size()), c.xScale, c.yScale, 0.25), all);
    }
    EXPECT_TRUE(simplifyPolyline(nullptr, nullptr, 0, 1, 1, 0.25).empty());
}

}  // namespace
