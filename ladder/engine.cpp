#include "ladder/engine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/checkedmath.h"
#include "ladder/walk.h"

namespace engine {

double referencedValue(const Circuit& m, const Part& duplicate)
{
    // Compared as a double first: a NaN or huge value must not reach the int conversion.
    const double ref = duplicate.partvalue;
    if (!(ref >= 1.0 && ref < kMaxParts + 1.0))
        return 0;
    return m.part(static_cast<int>(ref)).partvalue;
}

namespace {

// The working values of one walk. The walks keep them in locals of this type, so that the
// compiler can hold them in registers; Walk's members are the same values for callers
// that step through a walk themselves.
struct State {
    double omega = 0;
    Cx w;  // immittance
    Cx t;  // transfer
    double s11db = 0;
};

// Every step below works on L walks at once, one per frequency. Each walk does exactly
// what a lone walk does; what depends only on the part is worked out once for all of them,
// with the same operations, so the results are the same to the last bit.
#define ENGINE_INLINE [[gnu::always_inline]] inline
// Unrolled, so that each walk's values stay in registers.
#define LANES _Pragma("GCC unroll 8")

ENGINE_INLINE double omegaFor(const Circuit& m, double analysisfreq)
{
    double omega = analysisfreq * kTwoPiMega;
    // A sweep starting at 0 MHz is solved just above DC instead of dividing by zero.
    if (omega == 0)
        omega = 0.01;
    // A crystal circuit's frequencies are offsets in Hz from the nominal crystal frequency.
    if (m.crystalflag == 1)
        omega = (m.xtalfreq * 1e6 + analysisfreq) * kTwoPi;
    return omega;
}

template <int L>
ENGINE_INLINE void capacitor(State* s, const Part& p, double pF)
{
    const bool series = isSer(p.partconn);
    LANES for (int l = 0; l < L; ++l) {
        double b = s[l].omega * pF * 1e-12;
        if (b == 0)
            b = kTiny;
        if (series)
            s[l].w.im -= 1.0 / b;  // the reactance -1/(wC); b is never 0 here
        else
            s[l].w.im += b;
    }
}

// One inductorq for every inductor. The loss sits in series with a series inductor and
// across a shunt one (Q·X ohms in parallel): close to the series form only for a large Q.
template <int L>
ENGINE_INLINE void inductor(State* s, const Circuit& m, const Part& p, double nH)
{
    const bool series = isSer(p.partconn);
    const double q = m.inductorq;
    LANES for (int l = 0; l < L; ++l) {
        double x = s[l].omega * nH * 1e-9;
        if (x == 0)
            x = kTiny;
        if (series) {
            s[l].w.im += x;
            s[l].w.re += checked::div(x, q);
        } else {
            s[l].w.im -= 1.0 / x;  // x is never 0 here
            s[l].w.re += checked::div(1.0, x * q);
        }
    }
}

template <int L>
ENGINE_INLINE void resistor(State* s, const Part& p, double ohm)
{
    const double add = isSer(p.partconn) ? ohm : checked::div(1.0, ohm);
    LANES for (int l = 0; l < L; ++l)
        s[l].w.re += add;
}

// Motional arm Lm, Cm, Rm in series with the holder capacitance Cp across it. All crystals
// share Lm, Cp and Qx; each has its own series resonance and therefore its own Cm.
// Rm is taken at the analysis frequency, so it grows with omega.
template <int L>
ENGINE_INLINE void crystal(State* s, const Circuit& m, const Part& p)
{
    const double lm = m.xtallm;
    const double fs = m.xtalfreq * 1e6 + p.partvalue;
    const double ws = kTwoPi * fs;
    const double cm = checked::div(1.0, ws * ws * lm);
    const bool shunt = isPar(p.partconn);
    LANES for (int l = 0; l < L; ++l) {
        const double omega = s[l].omega;
        const double x = omega * lm - checked::div(1.0, omega * cm);
        const double rm = checked::div(omega * lm, m.xtalqx);
        const double d = rm * rm + x * x;
        const double g = checked::div(rm, d);
        const double b = -(x / d) + omega * m.xtalcp * 1e-12;  // d checked just above
        if (shunt) {
            s[l].w.re += g;
            s[l].w.im += b;
        } else {
            const double mag = g * g + b * b;
            s[l].w.re += checked::div(g, mag);
            s[l].w.im += -b / mag;
        }
    }
}

// S11 against sourcer of the ladder between this point and the load. The walk is in
// impedance form here, as an "rlb" is always series.
template <int L>
ENGINE_INLINE void returnLossBridge(State* s, const Circuit& m)
{
    const double rs = m.sourcer;
    LANES for (int l = 0; l < L; ++l) {
        const double r = s[l].w.re;
        const double x = s[l].w.im;
        double g = checked::div((r - rs) * (r - rs) + x * x, (r + rs) * (r + rs) + x * x);
        if (g == 0)
            g = kPerfectMatch;
        if (g > kTotalReflection)
            g = kTotalReflection;
        s[l].s11db = 10 * checked::ln(g) / std::numbers::ln10;
    }
}

template <int L>
ENGINE_INLINE void partStep(State* s, const Circuit& m, const Part& p)
{
    switch (p.partcode) {
    case kCap:
        capacitor<L>(s, p, p.partvalue);
        break;
    case kDupCap:
        capacitor<L>(s, p, referencedValue(m, p));
        break;
    case kInd:
        inductor<L>(s, m, p, p.partvalue);
        break;
    case kDupInd:
        inductor<L>(s, m, p, referencedValue(m, p));
        break;
    case kRes:
        resistor<L>(s, p, p.partvalue);
        break;
    case kDupRes:
        resistor<L>(s, p, referencedValue(m, p));
        break;
    case kXtl:
        crystal<L>(s, m, p);
        break;
    case kRlb:
        returnLossBridge<L>(s, m);
        break;
    default:  // wire, no part
        break;
    }
}

template <int L>
ENGINE_INLINE void invertImmittance(State* s)
{
    LANES for (int l = 0; l < L; ++l) {
        const Cx w = s[l].w;
        const Cx t = s[l].t;
        const double d = w.re * w.re + w.im * w.im;
        const Cx inv{checked::div(w.re, d), -(w.im / d)};
        s[l].w = inv;
        s[l].t = {t.re * inv.re - t.im * inv.im, t.im * inv.re + t.re * inv.im};
    }
}

ENGINE_INLINE double transferMagnitude(State& s)
{
    if (s.t.re == 0)
        s.t.re = kTiny;
    return std::sqrt(s.t.re * s.t.re + s.t.im * s.t.im);
}

// The whole walk, from the load to the source, for L frequencies side by side.
template <int L>
ENGINE_INLINE void walkLanes(const Circuit& m, const double* freqs, State* s, Solution* out)
{
    const double load = checked::div(1.0, m.loadr);  // the load, as an admittance
    LANES for (int l = 0; l < L; ++l) {
        s[l].s11db = 0;
        s[l].t = {2, 0};
        s[l].omega = omegaFor(m, freqs[l]);
        s[l].w = {load, 0};
    }
    if (isSer(m.part(1).partconn))
        invertImmittance<L>(s);
    // The reader never lets partcount exceed the table; this only guards the array.
    const int count = std::min(m.partcount, kMaxParts);
    for (int n = 1; n <= count; ++n) {
        const Part& p = m.part(n);
        partStep<L>(s, m, p);
        // The source resistance that closes the ladder counts as series.
        if (n == count ? !isSer(p.partconn) : !sameConnection(p.partconn, m.part(n + 1).partconn))
            invertImmittance<L>(s);
    }
    LANES for (int l = 0; l < L; ++l) {
        s[l].w.re += m.sourcer;
        invertImmittance<1>(&s[l]);
        const double mag = transferMagnitude(s[l]);
        // Transducer gain: power into loadr over the power available from the source.
        // loadr is not 0 here: the load's admittance above would have failed.
        const double p = mag * mag * m.sourcer / m.loadr;
        // An infinite gain (a huge sourcer over a tiny loadr) is an overflow, not a level.
        out[l] = {checked::finite(10 * checked::ln(p) / std::numbers::ln10), s[l].s11db};
    }
}

#undef ENGINE_INLINE
#undef LANES

}  // namespace

// The members below step through a walk on Walk's own fields, for callers that look at
// each step; solve() does the same on a local State.

void Walk::setFrequency(double analysisfreq)
{
    omega = omegaFor(m, analysisfreq);
}

void Walk::partStep(int n)
{
    present = n;
    State s{omega, immittance, transfer, s11db};
    engine::partStep<1>(&s, m, m.part(n));
    immittance = s.w;
    s11db = s.s11db;
}

void Walk::invertImmittance()
{
    State s{omega, immittance, transfer, s11db};
    engine::invertImmittance<1>(&s);
    immittance = s.w;
    transfer = s.t;
}

double Walk::transferMagnitude()
{
    State s{omega, immittance, transfer, s11db};
    const double mag = engine::transferMagnitude(s);
    transfer = s.t;
    return mag;
}

Solution Walk::solve(double analysisfreq)
{
    State s;
    Solution out;
    walkLanes<1>(m, &analysisfreq, &s, &out);
    omega = s.omega;
    immittance = s.w;
    transfer = s.t;
    s11db = s.s11db;
    present = std::min(m.partcount, kMaxParts);
    return out;
}

}  // namespace engine

Solution solveLadder(const Circuit& m, double analysisfreq)
{
    engine::Walk walk(m);
    return walk.solve(analysisfreq);
}
