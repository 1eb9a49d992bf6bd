#pragma once
// The frequencies of a sweep: spread evenly from start to stop in whole hertz, and cut into
// the segments an instrument is asked for one at a time.

#include <cstdint>
#include <vector>

namespace plan {
inline constexpr int kMinPoints = 11, kMaxPoints = 10001, kDefaultPoints = 201;
inline constexpr int kMinSegment = 11, kMaxSegment = 401, kDefaultSegment = 101;
inline constexpr int kMinAverage = 1, kMaxAverage = 16;
inline constexpr double kLowestHz = 1e3, kHighestHz = 10e9;
}  // namespace plan

struct Segment {
    int first = 0;  // index of its first point in the plan
    int count = 0;
    std::uint64_t startHz = 0, stopHz = 0;
};

struct FrequencyPlan {
    std::vector<std::uint64_t> hz;
    std::vector<Segment> segments;
    // How far a reported frequency may lie from the one asked: instruments spread a
    // segment's points with their own rounding.
    double toleranceHz = 1;
};

// Throws AppError for a start not below stop, a range outside 1 kHz to 10 GHz, a count of
// points or a segment size out of range, or a range too narrow for distinct whole hertz.
FrequencyPlan planSweep(double startHz, double stopHz, int points, int segmentSize);
