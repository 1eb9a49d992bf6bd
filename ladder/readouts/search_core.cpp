#include "ladder/readouts/search_core.h"

#include <algorithm>

#include "common/checkedmath.h"

namespace search_core {

std::vector<double> negated(std::vector<double> v)
{
    for (double& x : v)
        x = -x;
    return v;
}

std::vector<EdgeBracket> edgeBrackets(const std::vector<double>& f, const std::vector<double>& level,
                                      double peakFreq, double peak)
{
    std::vector<EdgeBracket> out;
    const int n = static_cast<int>(f.size());
    for (std::size_t k = 0; k < Readouts::kLevels.size(); ++k) {
        const double target = peak - Readouts::kLevels[k];
        double above = peakFreq, atAbove = peak;
        for (int i = n - 1; i >= 0; --i) {
            if (f[i] >= peakFreq)
                continue;
            if (level[i] < target) {
                out.push_back({k, true, f[i], level[i], above, atAbove});
                break;
            }
            above = f[i], atAbove = level[i];
        }
        above = peakFreq, atAbove = peak;
        for (int i = 0; i < n; ++i) {
            if (f[i] <= peakFreq)
                continue;
            if (level[i] < target) {
                out.push_back({k, false, f[i], level[i], above, atAbove});
                break;
            }
            above = f[i], atAbove = level[i];
        }
    }
    return out;
}

void finishBands(Readouts& r)
{
    for (Readouts::Band& band : r.bands)
        if (band.low && band.high)
            band.width = *band.high - *band.low;
    const Readouts::Band& b3 = r.bands[0];
    const Readouts::Band& b6 = r.bands[1];
    const Readouts::Band& b60 = r.bands[4];
    if (b3.low && b3.high)
        r.centre3 = *b3.low + (*b3.high - *b3.low) / 2;
    if (b60.width && b6.width)
        r.shape60to6 = checked::finite(checked::div(*b60.width, *b6.width));
}

double rippleDb(const std::vector<Extreme>& maxima, const std::vector<Extreme>& minima)
{
    if (maxima.size() < 2)
        return 0;
    double highest = maxima.front().value;
    for (const Extreme& e : maxima)
        highest = std::max(highest, e.value);
    double lowest = highest;
    for (const Extreme& e : minima)
        if (e.at > maxima.front().at && e.at < maxima.back().at)
            lowest = std::min(lowest, -e.value);
    return highest - lowest;
}

}  // namespace search_core
