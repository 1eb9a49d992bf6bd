#pragma once
// A magnitude as a level in dB, the same way everywhere. A true zero has no finite level:
// below kSmallestMagnitude a level reads kFloorDb.

#include <cmath>

inline constexpr double kSmallestMagnitude = 1e-15;
inline constexpr double kFloorDb = -300;

inline double decibels(double magnitude)
{
    return magnitude < kSmallestMagnitude ? kFloorDb : 20 * std::log10(magnitude);
}
