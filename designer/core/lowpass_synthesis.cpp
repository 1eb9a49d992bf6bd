#include "designer/core/lowpass_synthesis.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include <Eigen/Core>
#include <unsupported/Eigen/Polynomials>

namespace {

// Long real: the continued fraction loses about a decade an order.
using real = long double;
using cplx = std::complex<real>;
using Poly = std::vector<real>;  // coefficient of s^k at k

constexpr real kPi = 3.14159265358979323846264338L;

Poly fromRoots(const std::vector<cplx>& roots, real lead)
{
    std::vector<cplx> c{lead};
    for (const cplx& r : roots) {
        std::vector<cplx> next(c.size() + 1, 0.0);
        for (std::size_t k = 0; k < c.size(); ++k) {
            next[k + 1] += c[k];
            next[k] -= r * c[k];
        }
        c = next;
    }
    Poly out;
    for (const cplx& v : c)
        out.push_back(v.real());
    return out;
}

real evalMagnitudeSq(const Poly& d, real w)
{
    cplx v = 0, jw(0, w), p = 1;
    for (real c : d) {
        v += c * p;
        p *= jw;
    }
    return std::norm(v);
}

// Roots of the polynomial in x = w^2 with coefficients q (x^m at m). Coefficients that
// cancel to rounding noise are exact zeros (a Butterworth has them all below x^n).
std::vector<cplx> rootsInX(Poly q, const Poly& scale)
{
    for (std::size_t m = 0; m < q.size(); ++m)
        if (std::fabs(q[m]) <= 1e-11 * scale[m])
            q[m] = 0;
    std::size_t zeros = 0;
    while (zeros < q.size() && q[zeros] == 0)
        ++zeros;
    std::vector<cplx> roots(zeros, 0.0);
    const Poly rest(q.begin() + static_cast<std::ptrdiff_t>(zeros), q.end());
    if (rest.size() > 1) {
        Eigen::Matrix<real, Eigen::Dynamic, 1> coeffs(static_cast<Eigen::Index>(rest.size()));
        for (std::size_t m = 0; m < rest.size(); ++m)
            coeffs[static_cast<Eigen::Index>(m)] = rest[m];
        Eigen::PolynomialSolver<real, Eigen::Dynamic> solver(coeffs);
        for (Eigen::Index i = 0; i < solver.roots().size(); ++i)
            roots.push_back(solver.roots()[i]);
    }
    return roots;
}

// One s per root x of a polynomial in x = -s^2, the half that makes a real polynomial:
// the left half-plane one, and on the j axis (roots that come in pairs) alternately +jw, -jw.
std::vector<cplx> halfOfRoots(const std::vector<cplx>& xs)
{
    std::vector<cplx> out;
    std::vector<real> onAxis;
    for (const cplx& x : xs) {
        cplx s = std::sqrt(-x);
        if (std::fabs(s.real()) <= 1e-6 * std::abs(s) + 1e-12) {
            onAxis.push_back(std::fabs(s.imag()));
            continue;
        }
        out.push_back(s.real() > 0 ? -s : s);
    }
    std::sort(onAxis.begin(), onAxis.end());
    for (std::size_t i = 0; i < onAxis.size(); ++i)
        out.emplace_back(0.0, i % 2 == 0 ? onAxis[i] : -onAxis[i]);
    return out;
}

// |D(jw)|^2 - k^2 as a polynomial in x = w^2, with the magnitudes it was summed from.
void magnitudeMinusConstant(const Poly& d, real k2, Poly& q, Poly& scale)
{
    const std::size_t n = d.size() - 1;
    q.assign(n + 1, 0.0);
    scale.assign(n + 1, 0.0);
    // D(s) D(-s) = sum over i, j of d_i d_j (-1)^j s^(i+j); with s^2 = -x only even i + j stay.
    for (std::size_t i = 0; i <= n; ++i)
        for (std::size_t j = 0; j <= n; ++j) {
            if ((i + j) % 2 != 0)
                continue;
            const std::size_t m = (i + j) / 2;
            const real sign = ((j % 2 == 0) ? 1.0 : -1.0) * ((m % 2 == 0) ? 1.0 : -1.0);
            q[m] += sign * d[i] * d[j];
            scale[m] += std::fabs(d[i] * d[j]);
        }
    q[0] -= k2;
    scale[0] += k2;
}

Poly butterworthPolynomial(int n)
{
    std::vector<cplx> poles;
    for (int k = 1; k <= n; ++k)
        poles.push_back(std::polar(real(1), kPi * (2 * k + n - 1) / (2 * real(n))));
    return fromRoots(poles, 1.0);
}

Poly chebyshevPolynomial(int n, real eps)
{
    const real a = std::asinh(1 / eps) / n;
    std::vector<cplx> poles;
    for (int k = 1; k <= n; ++k) {
        const real theta = (2 * k - 1) * kPi / (2.0 * n);
        poles.emplace_back(-std::sinh(a) * std::sin(theta), std::cosh(a) * std::cos(theta));
    }
    return fromRoots(poles, 1.0);
}

// The frequency where |K / D(jw)|^2 falls through one half, above any passband ripple.
real halfPowerFrequency(const Poly& d, real k2)
{
    auto below = [&](real w) { return k2 / evalMagnitudeSq(d, w) < 0.5; };
    real hi = 0.01;
    while (!below(hi))
        hi *= 1.05;
    real lo = hi / 1.05;
    for (int i = 0; i < 200 && hi - lo > 1e-15 * hi; ++i) {
        const real mid = (lo + hi) / 2;
        (below(mid) ? hi : lo) = mid;
    }
    return (lo + hi) / 2;
}

Poly trimmed(Poly p)
{
    while (p.size() > 1 && p.back() == 0)
        p.pop_back();
    return p;
}

Poly besselPoly(int n)
{
    Poly d(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) {
        // (2n - k)! / (2^(n-k) k! (n-k)!)
        real v = 1;
        for (int i = 2; i <= 2 * n - k; ++i)
            v *= i;
        for (int i = 1; i <= n - k; ++i)
            v /= 2 * i;
        for (int i = 2; i <= k; ++i)
            v /= i;
        d[static_cast<std::size_t>(k)] = v;
    }
    return d;
}

Poly gaussPoly(int n)
{
    Poly q(static_cast<std::size_t>(n) + 1);
    real factorial = 1;
    for (int k = 0; k <= n; ++k) {
        if (k > 0)
            factorial *= k;
        q[static_cast<std::size_t>(k)] = 1 / factorial;
    }
    Eigen::Matrix<real, Eigen::Dynamic, 1> coeffs(n + 1);
    for (int k = 0; k <= n; ++k)
        coeffs[k] = q[static_cast<std::size_t>(k)];
    Eigen::PolynomialSolver<real, Eigen::Dynamic> solver(coeffs);
    std::vector<cplx> xs;
    for (Eigen::Index i = 0; i < solver.roots().size(); ++i)
        xs.push_back(solver.roots()[i]);
    return fromRoots(halfOfRoots(xs), std::sqrt(q.back()));
}

}  // namespace

std::vector<double> reverseBesselPolynomial(int n)
{
    const Poly d = besselPoly(n);
    return {d.begin(), d.end()};
}

std::vector<double> gaussianPolynomial(int n)
{
    const Poly d = gaussPoly(n);
    return {d.begin(), d.end()};
}

LowpassLadder synthesizeLowpass(AllPole family, int n, double rippleDb)
{
    if (n < 1 || n > 10)
        throw SynthesisError("The order must be from 1 to 10.");
    Poly d;
    real peakOverDc = 1;  // |H| at its peak over |H(0)|
    switch (family) {
    case AllPole::Butterworth:
        d = butterworthPolynomial(n);
        break;
    case AllPole::Chebyshev: {
        if (!(rippleDb > 0 && rippleDb <= 3))
            throw SynthesisError("The ripple must be above 0 and at most 3 dB.");
        const real eps = std::sqrt(std::pow(10.0, rippleDb / 10) - 1);
        d = chebyshevPolynomial(n, eps);
        if (n % 2 == 0)
            peakOverDc = std::sqrt(1 + eps * eps);
        break;
    }
    case AllPole::Bessel:
        d = besselPoly(n);
        break;
    case AllPole::Gaussian:
        d = gaussPoly(n);
        break;
    }
    // Peak of |K / D| is 1.
    real k2 = d[0] * d[0] / (peakOverDc * peakOverDc);
    // Scale to -3 dB at 1 rad/s and to D(0) = 1, which keeps the coefficients of high
    // orders within a few decades of each other.
    const real w3 = halfPowerFrequency(d, k2);
    real p = 1;
    const real d0 = d[0];
    for (real& c : d) {
        c = c * p / d0;
        p *= w3;
    }
    k2 /= d0 * d0;

    Poly q, scale;
    magnitudeMinusConstant(d, k2, q, scale);
    // Reflection: P(s) P(-s) = D(s) D(-s) - K^2, P with the leading coefficient of D.
    const Poly pp = fromRoots(halfOfRoots(rootsInX(q, scale)), d.back());

    // Z(s) = (D + P) / (D - P): a pole at infinity, expanded as g1 s + 1 / (g2 s + ...).
    Poly num(d.size()), den(d.size());
    for (std::size_t k = 0; k < d.size(); ++k) {
        num[k] = d[k] + pp[k];
        den[k] = d[k] - pp[k];
    }
    num = trimmed(num);
    den.pop_back();  // its s^n term cancels
    den = trimmed(den);

    LowpassLadder out;
    out.g.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 1; i <= n; ++i) {
        if (num.size() != den.size() + 1 || den.back() == 0)
            throw SynthesisError("The response cannot be realized as a ladder.");
        const real g = num.back() / den.back();
        out.g[static_cast<std::size_t>(i)] = static_cast<double>(g);
        // num - g s den, whose top two terms vanish (the constant of the quotient is 0).
        Poly rest(num.size() - 1, 0.0);
        for (std::size_t k = 0; k + 1 < num.size(); ++k)
            rest[k] = num[k] - (k >= 1 ? g * den[k - 1] : 0.0);
        if (i < n)
            rest.pop_back();
        num = den;
        den = trimmed(rest);
    }
    // The remaining immittance is the far termination: num and den are both constants.
    const real load = den[0] / num[0];
    out.load = static_cast<double>(n % 2 == 0 ? 1 / load : load);
    return out;
}
