#pragma once
// Fewer points for a curve drawn at a known scale: a chart redraws a line in time that
// grows with its points, and where several fall within a pixel of one line they add
// nothing to its look.

#include <vector>

// The indices, rising, of the points (x[i], y[i]), i < n, to keep when the curve is drawn
// with xScale and yScale pixels per unit: every point left out lies within `tolerance`
// pixels, up or down, of the straight line between the kept points on either side of it.
// The first and the last point are always kept. Where x does not rise throughout or a
// value is not finite, every point is kept.
std::vector<int> simplifyPolyline(const double* x, const double* y, int n, double xScale, double yScale,
                                  double tolerance);
