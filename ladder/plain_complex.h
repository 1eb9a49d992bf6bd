#pragma once
// The complex type of the walks and the two-port: plain textbook formulas, with no library
// recovery of infinities, so that results never depend on a library's handling of them.
// The one-frequency solves and the kernels all use it, so that they do the same operations
// in the same order and agree to the last bit. std::complex stays at the edges (TwoPort's
// S-parameters, measurements), where callers compute with the values.

namespace engine {

struct Cx {
    double re = 0, im = 0;
};

[[gnu::always_inline]] inline Cx operator+(Cx a, Cx b) { return {a.re + b.re, a.im + b.im}; }
[[gnu::always_inline]] inline Cx operator-(Cx a, Cx b) { return {a.re - b.re, a.im - b.im}; }
[[gnu::always_inline]] inline Cx operator*(Cx a, Cx b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
[[gnu::always_inline]] inline Cx operator*(double k, Cx a) { return {k * a.re, k * a.im}; }
[[gnu::always_inline]] inline Cx operator-(Cx a) { return {-a.re, -a.im}; }

}  // namespace engine
