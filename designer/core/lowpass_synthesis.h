#pragma once
// Low-pass ladder prototypes by synthesis: an all-pole transfer function H(s) = K / D(s),
// scaled to a -3 dB frequency of 1 rad/s, realized between terminations by the continued
// fraction of its input impedance. The element values g1 ... gN are those of the k-and-q
// generator: q1 = g1, qn = gN, k(i,i+1) = 1 / sqrt(g_i g_(i+1)).

#include <stdexcept>
#include <vector>

enum class AllPole { Butterworth, Chebyshev, Bessel, Gaussian };

// A response the synthesis cannot realize (an order outside 1..10, a ripple out of range).
class SynthesisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LowpassLadder {
    std::vector<double> g;  // g1 ... gN, slot 0 unused
    double load = 1;        // g(N+1): the far termination over the near one
};

// rippleDb is read for Chebyshev only (above 0, at most 3 dB). The peak of |H| is 1, so odd
// orders and the flat families end in equal terminations; an even Chebyshev does not.
LowpassLadder synthesizeLowpass(AllPole family, int n, double rippleDb = 0);

// D(s) before scaling, coefficient of s^k at k: the reverse Bessel polynomial, and the
// Hurwitz polynomial whose |D(jw)|^2 is the sum of w^2k / k! up to k = n.
std::vector<double> reverseBesselPolynomial(int n);
std::vector<double> gaussianPolynomial(int n);
