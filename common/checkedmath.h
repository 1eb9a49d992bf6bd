#pragma once
// Arithmetic that raises the user-visible floating-point errors where the operation has
// no finite answer. The checks are plain comparisons, cheap enough for the inner loops.

#include <cmath>

#include "common/errors.h"

namespace checked {

// a / b; 0/0 (or NaN/0) is an invalid operation, anything else over 0 a division by zero.
inline double div(double a, double b)
{
    if (b == 0.0) [[unlikely]] {
        if (a == 0.0 || std::isnan(a))
            throw FloatError::invalidOperation();
        throw FloatError::divisionByZero();
    }
    return a / b;
}

inline long double div(long double a, long double b)
{
    if (b == 0.0L) [[unlikely]] {
        if (a == 0.0L || std::isnan(a))
            throw FloatError::invalidOperation();
        throw FloatError::divisionByZero();
    }
    return a / b;
}

// Natural logarithm: ln 0 is a division by zero, ln of a negative number (or NaN) invalid.
inline double ln(double x)
{
    if (!(x > 0.0)) [[unlikely]] {
        if (x == 0.0)
            throw FloatError::divisionByZero();
        throw FloatError::invalidOperation();
    }
    return std::log(x);
}

inline long double ln(long double x)
{
    if (!(x > 0.0L)) [[unlikely]] {
        if (x == 0.0L)
            throw FloatError::divisionByZero();
        throw FloatError::invalidOperation();
    }
    return std::log(x);
}

// Square root of a negative number (or NaN) is invalid.
inline double sqrt(double x)
{
    if (!(x >= 0.0)) [[unlikely]]
        throw FloatError::invalidOperation();
    return std::sqrt(x);
}

inline long double sqrt(long double x)
{
    if (!(x >= 0.0L)) [[unlikely]]
        throw FloatError::invalidOperation();
    return std::sqrt(x);
}

// A result that must be a number: an infinity is an overflow, a NaN an invalid operation.
inline double finite(double x)
{
    if (!std::isfinite(x)) [[unlikely]] {
        if (std::isnan(x))
            throw FloatError::invalidOperation();
        throw FloatError::overflow();
    }
    return x;
}

}  // namespace checked
