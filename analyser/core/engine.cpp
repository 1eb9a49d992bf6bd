#include "engine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "checkedmath.h"
#include "walk.h"

namespace engine {

double referencedValue(const Model& m, const Part& duplicate)
{
    // Compared as a double first: a NaN or huge value must not reach the int conversion.
    const double ref = duplicate.partvalue;
    if (!(ref >= 1.0 && ref < kMaxParts + 1.0))
        return 0;
    return m.part(static_cast<int>(ref)).partvalue;
}

namespace {

// The walk's working values. solve() keeps them in a local of this type, so that the
// compiler can hold them in registers through the whole walk; Walk's members are the
// same values for callers that step through a walk themselves.
struct State {
    double omega = 0;
    Complex w;  // immittance
    Complex t;  // transfer
    double s11db = 0;
};

#define ENGINE_INLINE [[gnu::always_inline]] inline

ENGINE_INLINE double omegaFor(const Model& m, double analysisfreq)
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

ENGINE_INLINE void capacitor(State& s, const Part& p, double pF)
{
    double b = s.omega * pF * 1e-12;
    if (b == 0)
        b = kTiny;
    if (isSer(p.partconn))
        s.w.im -= checked::div(1.0, b);  // the reactance -1/(wC)
    else
        s.w.im += b;
}

// One inductorq for every inductor. The loss sits in series with a series inductor and
// across a shunt one (Q·X ohms in parallel): close to the series form only for a large Q.
ENGINE_INLINE void inductor(State& s, const Model& m, const Part& p, double nH)
{
    double x = s.omega * nH * 1e-9;
    if (x == 0)
        x = kTiny;
    const double q = m.inductorq;
    if (isSer(p.partconn)) {
        s.w.im += x;
        s.w.re += checked::div(x, q);
    } else {
        s.w.im -= checked::div(1.0, x);
        s.w.re += checked::div(1.0, x * q);
    }
}

ENGINE_INLINE void resistor(State& s, const Part& p, double ohm)
{
    if (isSer(p.partconn))
        s.w.re += ohm;
    else
        s.w.re += checked::div(1.0, ohm);
}

// Motional arm Lm, Cm, Rm in series with the holder capacitance Cp across it. All crystals
// share Lm, Cp and Qx; each has its own series resonance and therefore its own Cm.
// Rm is taken at the analysis frequency, so it grows with omega.
ENGINE_INLINE void crystal(State& s, const Model& m, const Part& p)
{
    const double omega = s.omega;
    const double lm = m.xtallm;
    const double fs = m.xtalfreq * 1e6 + p.partvalue;
    const double ws = kTwoPi * fs;
    const double cm = checked::div(1.0, ws * ws * lm);
    const double x = omega * lm - checked::div(1.0, omega * cm);
    const double rm = checked::div(omega * lm, m.xtalqx);
    const double d = rm * rm + x * x;
    const double g = checked::div(rm, d);
    const double b = -checked::div(x, d) + omega * m.xtalcp * 1e-12;
    if (isPar(p.partconn)) {
        s.w.re += g;
        s.w.im += b;
    } else {
        const double mag = g * g + b * b;
        s.w.re += checked::div(g, mag);
        s.w.im += checked::div(-b, mag);
    }
}

// S11 against sourcer of the ladder between this point and the load. The walk is in
// impedance form here, as an "rlb" is always series.
ENGINE_INLINE void returnLossBridge(State& s, const Model& m)
{
    const double r = s.w.re;
    const double x = s.w.im;
    const double rs = m.sourcer;
    double g = checked::div((r - rs) * (r - rs) + x * x, (r + rs) * (r + rs) + x * x);
    if (g == 0)
        g = kPerfectMatch;
    if (g > kTotalReflection)
        g = kTotalReflection;
    s.s11db = 10 * checked::ln(g) / std::numbers::ln10;
}

ENGINE_INLINE void partStep(State& s, const Model& m, const Part& p)
{
    switch (p.partcode) {
    case kCap:
        capacitor(s, p, p.partvalue);
        break;
    case kDupCap:
        capacitor(s, p, referencedValue(m, p));
        break;
    case kInd:
        inductor(s, m, p, p.partvalue);
        break;
    case kDupInd:
        inductor(s, m, p, referencedValue(m, p));
        break;
    case kRes:
        resistor(s, p, p.partvalue);
        break;
    case kDupRes:
        resistor(s, p, referencedValue(m, p));
        break;
    case kXtl:
        crystal(s, m, p);
        break;
    case kRlb:
        returnLossBridge(s, m);
        break;
    default:  // wire, no part
        break;
    }
}

ENGINE_INLINE void yzy(State& s)
{
    const double d = s.w.re * s.w.re + s.w.im * s.w.im;
    s.w = {checked::div(s.w.re, d), -checked::div(s.w.im, d)};
    s.t = {s.t.re * s.w.re - s.t.im * s.w.im, s.t.im * s.w.re + s.t.re * s.w.im};
}

ENGINE_INLINE double RPH(State& s)
{
    if (s.t.re == 0)
        s.t.re = kTiny;
    return std::sqrt(s.t.re * s.t.re + s.t.im * s.t.im);
}

#undef ENGINE_INLINE

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
    engine::partStep(s, m, m.part(n));
    immittance = s.w;
    s11db = s.s11db;
}

void Walk::yzy()
{
    State s{omega, immittance, transfer, s11db};
    engine::yzy(s);
    immittance = s.w;
    transfer = s.t;
}

double Walk::RPH()
{
    State s{omega, immittance, transfer, s11db};
    const double mag = engine::RPH(s);
    transfer = s.t;
    return mag;
}

Solution Walk::solve(double analysisfreq)
{
    State s;
    s.s11db = 0;
    s.t = {2, 0};
    s.omega = omegaFor(m, analysisfreq);
    s.w = {checked::div(1.0, m.loadr), 0};  // the load, as an admittance
    if (isSer(m.part(1).partconn))
        engine::yzy(s);
    // The reader never lets partcount exceed the table; this only guards the array.
    const int count = std::min(m.partcount, kMaxParts);
    for (int n = 1; n <= count; ++n) {
        const Part& p = m.part(n);
        engine::partStep(s, m, p);
        // The source resistance that closes the ladder counts as series.
        if (n == count ? !isSer(p.partconn) : !sameConnection(p.partconn, m.part(n + 1).partconn))
            engine::yzy(s);
    }
    s.w.re += m.sourcer;
    engine::yzy(s);
    const double mag = engine::RPH(s);
    omega = s.omega;
    immittance = s.w;
    transfer = s.t;
    s11db = s.s11db;
    present = count;
    // Transducer gain: power into loadr over the power available from the source.
    const double p = checked::div(mag * mag * m.sourcer, m.loadr);
    return {10 * checked::ln(p) / std::numbers::ln10, s.s11db};
}

}  // namespace engine

Solution ladder(const Model& m, double analysisfreq)
{
    engine::Walk walk(m);
    return walk.solve(analysisfreq);
}
