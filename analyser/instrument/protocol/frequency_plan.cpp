#include "analyser/instrument/protocol/frequency_plan.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/errors.h"
#include "common/numtext.h"

namespace {

std::string hzText(double hz) { return generalText(hz, 12) + " Hz"; }

}  // namespace

FrequencyPlan planSweep(double startHz, double stopHz, int points, int segmentSize)
{
    if (!(startHz >= plan::kLowestHz && stopHz <= plan::kHighestHz))
        throw AppError("the range " + hzText(startHz) + " to " + hzText(stopHz) +
                       " lies outside 1 kHz to 10 GHz");
    if (!(startHz < stopHz))
        throw AppError("the start " + hzText(startHz) + " is not below the stop " + hzText(stopHz));
    if (points < plan::kMinPoints || points > plan::kMaxPoints)
        throw AppError("the number of points must be 11 to 10001, not " + std::to_string(points));
    if (segmentSize < plan::kMinSegment || segmentSize > plan::kMaxSegment)
        throw AppError("the segment size must be 11 to 401 points, not " + std::to_string(segmentSize));

    FrequencyPlan p;
    const double a = std::round(startHz), b = std::round(stopHz);
    const double step = (b - a) / (points - 1);
    if (step < 1)
        throw AppError("the range " + hzText(startHz) + " to " + hzText(stopHz) + " is too narrow for " +
                       std::to_string(points) + " points a whole hertz apart");
    p.hz.reserve(points);
    for (int i = 0; i < points; ++i)
        p.hz.push_back(static_cast<std::uint64_t>(i == points - 1 ? b : std::round(a + i * step)));
    p.toleranceHz = std::max(1.0, step / 1000);

    // Segments as even as can be, so that none is a lone point.
    const int count = (points + segmentSize - 1) / segmentSize;
    for (int k = 0, first = 0; k < count; ++k) {
        const int n = points / count + (k < points % count ? 1 : 0);
        p.segments.push_back({first, n, p.hz[first], p.hz[first + n - 1]});
        first += n;
    }
    return p;
}
