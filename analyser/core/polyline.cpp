#include "analyser/core/polyline.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

std::vector<int> simplifyPolyline(const double* x, const double* y, int n, double xScale, double yScale,
                                  double tolerance)
{
    std::vector<int> out;
    bool usable = n > 2 && xScale > 0 && yScale > 0 && std::isfinite(xScale * yScale) && tolerance >= 0;
    // In pixels far below the largest double, so that no difference overflows.
    auto fits = [](double v) { return std::abs(v) < 1e300; };
    for (int i = 0; usable && i < n; ++i)
        usable = fits(x[i] * xScale) && fits(y[i] * yScale) && (i == 0 || (x[i] - x[i - 1]) * xScale > 0);
    if (!usable) {
        out.resize(std::max(n, 0));
        std::iota(out.begin(), out.end(), 0);
        return out;
    }

    // One pass: from the last kept point (the anchor), the slopes (in pixels) of the lines
    // that pass within `tolerance` of every point since narrow to an interval. A point can
    // end the line while its own slope lies in that interval; where it does not, the point
    // before it is kept and becomes the anchor.
    constexpr double kInf = std::numeric_limits<double>::infinity();
    int a = 0;
    double lo = -kInf, hi = kInf;
    out.push_back(0);
    for (int i = 1; i < n; ++i) {
        double dx = (x[i] - x[a]) * xScale;
        double slope = (y[i] - y[a]) * yScale / dx;
        if (slope < lo || slope > hi) {
            a = i - 1;
            out.push_back(a);
            lo = -kInf, hi = kInf;
            dx = (x[i] - x[a]) * xScale;
        }
        const double dy = (y[i] - y[a]) * yScale;
        lo = std::max(lo, (dy - tolerance) / dx);
        hi = std::min(hi, (dy + tolerance) / dx);
    }
    out.push_back(n - 1);
    return out;
}
