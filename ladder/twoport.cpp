#include "ladder/twoport.h"

#include <algorithm>
#include <cmath>

#include "common/checkedmath.h"
#include "common/decibels.h"
#include "ladder/plain_complex.h"
#include "ladder/walk.h"

namespace {

using engine::Cx;

// Scaled first, so that squaring a large or small value neither overflows nor underflows.
inline Cx inverse(Cx a)
{
    const double s = std::max(std::abs(a.re), std::abs(a.im));
    const Cx u{a.re / s, a.im / s};
    const double d = (u.re * u.re + u.im * u.im) * s;
    return {u.re / d, -u.im / d};
}

// What a part adds to the walk's running immittance, and its derivative by omega.
struct Increment {
    Cx v, d;
};

// The same formulas as the level walk (engine.cpp); the derivatives follow them term by
// term. Where the walk would divide by zero it has already failed before this is asked.
Increment increment(const Circuit& m, const Part& p, double omega)
{
    const bool series = engine::isSer(p.partconn);
    switch (p.partcode) {
    case kCap:
    case kDupCap: {
        const double pF = p.partcode == kCap ? p.partvalue : engine::referencedValue(m, p);
        double b = omega * pF * 1e-12;
        double db = pF * 1e-12;
        if (b == 0) {  // stands in as a constant, so it does not vary with omega
            b = engine::kTiny;
            db = 0;
        }
        if (series)
            return {{0, -1.0 / b}, {0, db / (b * b)}};
        return {{0, b}, {0, db}};
    }
    case kInd:
    case kDupInd: {
        const double nH = p.partcode == kInd ? p.partvalue : engine::referencedValue(m, p);
        const double q = m.inductorq;
        double x = omega * nH * 1e-9;
        double dx = nH * 1e-9;
        if (x == 0) {
            x = engine::kTiny;
            dx = 0;
        }
        if (series)
            return {{x / q, x}, {dx / q, dx}};
        // 1/(xQ) - j/x
        return {{1.0 / (x * q), -1.0 / x}, {-dx / (x * x * q), dx / (x * x)}};
    }
    case kRes:
    case kDupRes: {
        const double ohm = p.partcode == kRes ? p.partvalue : engine::referencedValue(m, p);
        return {{series ? ohm : 1.0 / ohm, 0}, {}};
    }
    case kXtl: {
        const double lm = m.xtallm;
        const double ws = engine::kTwoPi * (m.xtalfreq * 1e6 + p.partvalue);
        const double cm = 1.0 / (ws * ws * lm);
        // Motional arm Rm + jX, then the holder capacitance across it.
        const Cx arm{omega * lm / m.xtalqx, omega * lm - 1.0 / (omega * cm)};
        const Cx darm{lm / m.xtalqx, lm + 1.0 / (omega * omega * cm)};
        const Cx armY = inverse(arm);
        const Cx y = armY + Cx{0, omega * m.xtalcp * 1e-12};
        const Cx dy = Cx{0, m.xtalcp * 1e-12} - darm * armY * armY;
        if (engine::isPar(p.partconn))
            return {y, dy};
        const Cx z = inverse(y);
        return {z, -(dy * z * z)};
    }
    default:  // wire, rlb, no part
        return {};
    }
}

}  // namespace

TwoPort solveTwoPort(const Circuit& m, double analysisfreq)
{
    engine::Walk walk(m);
    walk.setFrequency(analysisfreq);
    const double omega = walk.omega;

    // The chain matrix [A B; C D] from the load's terminals to the present point of the walk,
    // and its derivative. The walk's form says what an increment is: in admittance form a
    // shunt admittance across the present node, in impedance form a series impedance.
    Cx a{1, 0}, b, c, d{1, 0};
    Cx da, db, dc, dd;
    int scale = 0;  // the matrix is kept divided by 2^scale, so a deep stop band cannot overflow
    bool impedance = engine::isSer(m.part(1).partconn);
    const int count = std::min(m.partcount, kMaxParts);
    for (int n = 1; n <= count; ++n) {
        const Part& p = m.part(n);
        const Increment inc = increment(m, p, omega);
        if (inc.v.re != 0 || inc.v.im != 0 || inc.d.re != 0 || inc.d.im != 0) {
            if (impedance) {  // (V, I) -> (V + Z I, I)
                da = da + inc.d * c + inc.v * dc;
                db = db + inc.d * d + inc.v * dd;
                a = a + inc.v * c;
                b = b + inc.v * d;
            } else {  // (V, I) -> (V, I + Y V)
                dc = dc + inc.d * a + inc.v * da;
                dd = dd + inc.d * b + inc.v * db;
                c = c + inc.v * a;
                d = d + inc.v * b;
            }
            const double big = std::max({std::abs(a.re), std::abs(a.im), std::abs(b.re), std::abs(b.im),
                                         std::abs(c.re), std::abs(c.im), std::abs(d.re), std::abs(d.im)});
            if (big > 0x1p500) {
                for (Cx* e : {&a, &b, &c, &d, &da, &db, &dc, &dd})
                    *e = {std::ldexp(e->re, -500), std::ldexp(e->im, -500)};
                scale += 500;
            }
        }
        const bool turns = n == count ? !engine::isSer(p.partconn)
                                      : !engine::sameConnection(p.partconn, m.part(n + 1).partconn);
        if (turns)
            impedance = !impedance;
    }

    const double rs = m.sourcer, rl = m.loadr;
    // Each port's wave referred to its own resistance: with the source EMF behind rs and
    // the load rl, V_S / V_L = delta / rl.
    const Cx delta = rl * a + b + (rs * rl) * c + rs * d;
    if (delta.re == 0 && delta.im == 0)
        throw FloatError::divisionByZero();
    const Cx inv = inverse(delta);
    const Cx s11 = (rl * a + b - (rs * rl) * c - rs * d) * inv;
    const Cx s22 = (-(rl * a) + b - (rs * rl) * c + rs * d) * inv;

    // S21 as the walk makes it. Connection texts other than "ser" and "par" can leave the
    // walk in admittance form at the source end; it then adds sourcer as a conductance,
    // and S21 follows, so that |S21|^2 stays the level the plot shows.
    const Cx walkDelta = impedance ? delta : rl * c + d + rs * (rl * a + b);
    const Cx dWalkDelta = impedance ? rl * da + db + (rs * rl) * dc + rs * dd : rl * dc + dd + rs * (rl * da + db);
    if (walkDelta.re == 0 && walkDelta.im == 0)
        throw FloatError::divisionByZero();
    const Cx walkInv = inverse(walkDelta);
    const double k = 2 * checked::sqrt(rs * rl);
    const Cx s21{std::ldexp(k * walkInv.re, -scale), std::ldexp(k * walkInv.im, -scale)};
    // S21 = k / delta, so -d(arg S21)/d(omega) = Im(delta' / delta).
    const double delay = (dWalkDelta * walkInv).im;

    TwoPort out;
    out.s11 = {checked::finite(s11.re), checked::finite(s11.im)};
    out.s21 = {checked::finite(s21.re), checked::finite(s21.im)};
    out.s22 = {checked::finite(s22.re), checked::finite(s22.im)};
    out.delay = checked::finite(delay);
    return out;
}

Response solveResponse(const Circuit& m, double analysisfreq)
{
    Response r;
    r.levels = solveLadder(m, analysisfreq);
    r.twoPort = solveTwoPort(m, analysisfreq);
    return r;
}

double magnitudeDb(std::complex<double> s)
{
    return decibels(std::abs(s));
}
