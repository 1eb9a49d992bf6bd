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

void Walk::setFrequency(double analysisfreq)
{
    omega = analysisfreq * kTwoPiMega;
    // A sweep starting at 0 MHz is solved just above DC instead of dividing by zero.
    if (omega == 0)
        omega = 0.01;
    // A crystal circuit's frequencies are offsets in Hz from the nominal crystal frequency.
    if (m.crystalflag == 1)
        omega = (m.xtalfreq * 1e6 + analysisfreq) * kTwoPi;
}

void Walk::capacitor(const Part& p, double pF)
{
    double b = omega * pF * 1e-12;
    if (b == 0)
        b = kTiny;
    if (isSer(p.partconn))
        immittance.im -= checked::div(1.0, b);
    else
        immittance.im += b;
}

// One inductorq for every inductor. The loss sits in series with a series inductor and
// across a shunt one (Q·X ohms in parallel): close to the series form only for a large Q.
void Walk::inductor(const Part& p, double nH)
{
    double x = omega * nH * 1e-9;
    if (x == 0)
        x = kTiny;
    const double q = m.inductorq;
    if (isSer(p.partconn)) {
        immittance.im += x;
        immittance.re += checked::div(x, q);
    } else {
        immittance.im -= checked::div(1.0, x);
        immittance.re += checked::div(1.0, x * q);
    }
}

void Walk::resistor(const Part& p, double ohm)
{
    if (isSer(p.partconn))
        immittance.re += ohm;
    else
        immittance.re += checked::div(1.0, ohm);
}

// Motional arm Lm, Cm, Rm in series with the holder capacitance Cp across it. All crystals
// share Lm, Cp and Qx; each has its own series resonance and therefore its own Cm.
// Rm is taken at the analysis frequency, so it grows with omega.
void Walk::crystal(const Part& p)
{
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
        immittance.re += g;
        immittance.im += b;
    } else {
        const double mag = g * g + b * b;
        immittance.re += checked::div(g, mag);
        immittance.im += checked::div(-b, mag);
    }
}

// S11 against sourcer of the ladder between this point and the load. The walk is in
// impedance form here, as an "rlb" is always series.
void Walk::returnLossBridge()
{
    const double r = immittance.re;
    const double x = immittance.im;
    const double rs = m.sourcer;
    double g = checked::div((r - rs) * (r - rs) + x * x, (r + rs) * (r + rs) + x * x);
    if (g == 0)
        g = kPerfectMatch;
    if (g > kTotalReflection)
        g = kTotalReflection;
    s11db = 10 * checked::ln(g) / std::numbers::ln10;
}

void Walk::partStep(int n)
{
    present = n;
    const Part& p = m.part(n);
    switch (p.partcode) {
    case kCap:
        capacitor(p, p.partvalue);
        break;
    case kDupCap:
        capacitor(p, referencedValue(m, p));
        break;
    case kInd:
        inductor(p, p.partvalue);
        break;
    case kDupInd:
        inductor(p, referencedValue(m, p));
        break;
    case kRes:
        resistor(p, p.partvalue);
        break;
    case kDupRes:
        resistor(p, referencedValue(m, p));
        break;
    case kXtl:
        crystal(p);
        break;
    case kRlb:
        returnLossBridge();
        break;
    default:  // wire, no part
        break;
    }
}

void Walk::yzy()
{
    const double d = immittance.re * immittance.re + immittance.im * immittance.im;
    immittance = {checked::div(immittance.re, d), -checked::div(immittance.im, d)};
    transfer = {transfer.re * immittance.re - transfer.im * immittance.im,
                transfer.im * immittance.re + transfer.re * immittance.im};
}

double Walk::RPH()
{
    if (transfer.re == 0)
        transfer.re = kTiny;
    return std::sqrt(transfer.re * transfer.re + transfer.im * transfer.im);
}

Solution Walk::solve(double analysisfreq)
{
    s11db = 0;
    transfer = {2, 0};
    setFrequency(analysisfreq);
    immittance = {checked::div(1.0, m.loadr), 0};  // the load, as an admittance
    if (isSer(m.part(1).partconn))
        yzy();
    // The reader never lets partcount exceed the table; this only guards the array.
    const int count = std::min(m.partcount, kMaxParts);
    for (int n = 1; n <= count; ++n) {
        partStep(n);
        const std::string& conn = m.part(n).partconn;
        // The source resistance that closes the ladder counts as series.
        if (n == count ? !isSer(conn) : !sameConnection(conn, m.part(n + 1).partconn))
            yzy();
    }
    immittance.re += m.sourcer;
    yzy();
    const double mag = RPH();
    // Transducer gain: power into loadr over the power available from the source.
    const double p = checked::div(mag * mag * m.sourcer, m.loadr);
    return {10 * checked::ln(p) / std::numbers::ln10, s11db};
}

}  // namespace engine

Solution ladder(const Model& m, double analysisfreq)
{
    engine::Walk walk(m);
    return walk.solve(analysisfreq);
}
