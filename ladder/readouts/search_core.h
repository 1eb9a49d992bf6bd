#pragma once
// What both readout searches share: the peak test on sampled points, the brackets of the
// band edges, the readouts that follow from the edges, and the ripple. The exact readouts
// (readouts.cpp) refine with golden sections and bisections solved in batches, the tolerance
// run's (sweep_readouts.cpp) with Brent's methods from a sweep already made; they locate and
// combine their features here, so the two cannot drift apart.

#include <cstddef>
#include <vector>

#include "ladder/readouts/readouts.h"

namespace search_core {

struct Extreme {
    double at, value;
};

// Whether ys[i] peaks among its neighbours. An end counts when it beats its one neighbour:
// a band that reaches the range's end may peak there.
inline bool isPeak(const std::vector<double>& ys, int i)
{
    const int n = static_cast<int>(ys.size());
    const bool left = i == 0 || ys[i] >= ys[i - 1];
    const bool right = i + 1 < n ? ys[i] > ys[i + 1] : n == 1 || ys[i] > ys[i - 1];
    return left && right;
}

std::vector<double> negated(std::vector<double> v);

// Where S21 crosses peak - Readouts::kLevels[band] on one side of the peak: between the
// last point of the sweep above that level, walking out from the peak, and the first below.
struct EdgeBracket {
    std::size_t band;
    bool low;
    double below, levelBelow;
    double above, levelAbove;
};
// f rises; level[i] is S21 in dB at f[i]. In the order of the levels, low edge first.
std::vector<EdgeBracket> edgeBrackets(const std::vector<double>& f, const std::vector<double>& level,
                                      double peakFreq, double peak);

// The widths, the 3 dB centre and the 60/6 shape factor from the band edges found.
void finishBands(Readouts& r);

// From the lowest to the highest local maximum, the highest level minus the lowest dip
// between them; 0 with fewer than two maxima. minima hold negated levels, as searched.
double rippleDb(const std::vector<Extreme>& maxima, const std::vector<Extreme>& minima);

}  // namespace search_core
