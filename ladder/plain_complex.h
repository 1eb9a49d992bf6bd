#pragma once
// Plain complex arithmetic for the two-port: the textbook formulas, with no library recovery
// of infinities. The one-frequency solve and the sweep kernel both use these, so that they
// do the same operations in the same order and agree to the last bit.

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
