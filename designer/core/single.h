#pragma once
// The designer's arithmetic: every formula is evaluated in extended precision from the
// stored single-precision values, and each named result is rounded to single precision
// when it is stored. store() is the one place that rounding happens, and it refuses a
// result that has no single-precision value, so no field ever shows INF or NAN.

#include <cfloat>
#include <cmath>
#include <numbers>
#include <string>

#include "common/checkedmath.h"
#include "common/errors.h"
#include "common/numread.h"

using ext = long double;

inline constexpr ext kPi = std::numbers::pi_v<ext>;
inline constexpr ext kTwoPi = 2 * kPi;

inline float store(ext value)
{
    if (std::isnan(value)) [[unlikely]]
        throw FloatError::invalidOperation();
    if (std::fabs(value) > static_cast<ext>(FLT_MAX)) [[unlikely]]
        throw FloatError::overflow();
    return static_cast<float>(value);
}

// A field's number, stored in single precision. A value beyond the single range fails
// like a result that overflows.
inline float readSingle(const std::string& text)
{
    return store(readNumber(text));
}

inline ext sq(ext x)
{
    return x * x;
}
