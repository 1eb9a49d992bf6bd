// Built with -ffp-contract=off (no fused multiply-add may change a bit) and
// -fno-math-errno -fno-trapping-math (so the selects and divisions vectorize); the
// kernel is cloned for AVX-512, AVX2 and the baseline and picked at run time. AVX-512 pays
// here, unlike in the level kernel: the divisions cost the same per number, but the many
// multiplications of the chain matrix take half the instructions and the wider register
// file holds the crystal step without spilling.
//
// The divisions bound the crystal step. Where two share a divisor, the second is made from
// the first's reciprocal with fused multiply-adds, correctly rounded, so with the same bits
// as the division; only the clones that have FMA in hardware do this.

#include "ladder/kernels/response_kernel.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>

#include "ladder/kernels/kernel_lanes.h"
#include "ladder/plain_complex.h"
#include "ladder/twoport.h"
#include "ladder/walk.h"

namespace engine {

ResponsePlan::ResponsePlan(const Circuit& m) : plan_(m)
{
    // A gain with no square root: the one-frequency solve fails at the first frequency.
    usable_ = plan_.usable && m.sourcer * m.loadr >= 0;
    gain_ = usable_ ? 2 * std::sqrt(m.sourcer * m.loadr) : 0;
    zeroOverQ_ = 0.0 / m.inductorq;
}

namespace {

constexpr int kBlock = ResponsePlan::kBlock;

struct CxLanes {
    alignas(64) double re[kBlock];
    alignas(64) double im[kBlock];
};

// One block's running values, as separate arrays so that each step is a plain loop.
struct Lanes {
    alignas(64) double omega[kBlock];
    alignas(64) double ww[kBlock];  // omega^2
    // The level walk.
    alignas(64) double re[kBlock];
    alignas(64) double im[kBlock];
    alignas(64) double tre[kBlock];
    alignas(64) double tim[kBlock];
    alignas(64) double reflection[kBlock];  // |S11|^2 at the last bridge
    // Crystal terms shared by every crystal of the circuit.
    alignas(64) double wl[kBlock];   // omega Lm
    alignas(64) double rm[kBlock];   // omega Lm / Qx
    alignas(64) double rm2[kBlock];  // Rm^2
    alignas(64) double wcp[kBlock];  // omega Cp
    // The chain matrix from the load to the present point, and its derivative by omega.
    CxLanes a, b, c, d, da, db, dc, dd;
    // The two-port's results.
    CxLanes s11, s21, s22;
    alignas(64) double delay[kBlock];
    // Past kRescale where the kernel's answer may differ from the one-frequency solve's.
    alignas(64) double bad[kBlock];
};

struct Terms {
    double q, rs, rl, zeroOverQ;
    double lm, dArm, dCp;  // Lm, d(Rm)/d(omega) = Lm / Qx, d(omega Cp)/d(omega)
    double gain;
    bool endsInImpedance;
};

#define KERNEL_INLINE [[gnu::always_inline]] inline

KERNEL_INLINE Cx get(const CxLanes& v, int l) { return {v.re[l], v.im[l]}; }
KERNEL_INLINE void put(CxLanes& v, int l, Cx x)
{
    v.re[l] = x.re;
    v.im[l] = x.im;
}

KERNEL_INLINE double unitSign(double x) { return std::copysign(1.0, x); }

// A lane's marks are one double, so that they vectorize with the doubles: a mark makes it
// infinite, and an entry of the chain matrix raises it to its size, so that the lane is
// left to the one-frequency solve where it passes kRescale.
constexpr double kRescale = 0x1p500;
KERNEL_INLINE void mark(double& flag, bool where) { flag = where ? HUGE_VAL : flag; }

// a / b from y = 1 / b, correctly rounded: one refinement makes q within an ulp, where the
// remainder a - b q is exact, and the second then rounds as the division does. The
// remainder stays clear of underflow only away from the range's ends; lanes out there are
// marked. A zero remainder means q is exact (and keeps the sign of a zero quotient).
constexpr double kQuotientMin = 0x1p-450, kQuotientMax = 0x1p450;
template <bool Fma>
KERNEL_INLINE double quotient(double a, double b, double y, double& flag)
{
    if constexpr (!Fma) {
        return a / b;
    } else {
        const double aa = std::abs(a), ab = std::abs(b);
        mark(flag, !(((a == 0) | ((aa >= kQuotientMin) & (aa <= kQuotientMax))) &
                     (ab >= kQuotientMin) & (ab <= kQuotientMax)));
        double q = a * y;
        double r = std::fma(-b, q, a);
        q = std::fma(r, y, q);
        r = std::fma(-b, q, a);
        return r == 0 ? q : std::fma(r, y, q);
    }
}

// The one-frequency solve's scaled inverse, with the same bits: of u = a / s, the component
// that s came from is exactly +-1, so it needs no division, and +-1 / d is +-(1 / d).
// A zero, infinite or NaN scale takes paths this does not copy: marked.
template <bool Fma = false>
KERNEL_INLINE Cx inverse(Cx a, double& bad)
{
    const double ar = std::abs(a.re), ai = std::abs(a.im);
    const bool imBigger = ar < ai;
    const double s = imBigger ? ai : ar;
    mark(bad, !((s > 0) & (s <= DBL_MAX)));
    const double other = (imBigger ? a.re : a.im) / s;
    const double unit = imBigger ? unitSign(a.im) : unitSign(a.re);
    const double ure = imBigger ? other : unit;
    const double uim = imBigger ? unit : other;
    const double d = (ure * ure + uim * uim) * s;
    const double r = 1.0 / d;
    const double q = quotient<Fma>(imBigger ? other : -other, d, r, bad);
    return imBigger ? Cx{q, -(unit * r)} : Cx{unit * r, q};
}

// Adds a part to the chain: in impedance form (V, I) -> (V + Z I, I), which changes A and
// B; in admittance form (V, I) -> (V, I + Y V), which changes C and D. The one-frequency
// solve rescales a matrix whose entries pass 2^500; the kernel marks it instead.
template <bool Impedance>
KERNEL_INLINE void addToChain(Lanes& s, int l, Cx v, Cx dv, double& bad)
{
    CxLanes& x = Impedance ? s.a : s.c;
    CxLanes& y = Impedance ? s.b : s.d;
    CxLanes& dx = Impedance ? s.da : s.dc;
    CxLanes& dy = Impedance ? s.db : s.dd;
    const CxLanes& u = Impedance ? s.c : s.a;
    const CxLanes& w = Impedance ? s.d : s.b;
    const CxLanes& du = Impedance ? s.dc : s.da;
    const CxLanes& dw = Impedance ? s.dd : s.db;
    const Cx U = get(u, l), W = get(w, l);
    put(dx, l, get(dx, l) + dv * U + v * get(du, l));
    put(dy, l, get(dy, l) + dv * W + v * get(dw, l));
    const Cx X = get(x, l) + v * U;
    const Cx Y = get(y, l) + v * W;
    put(x, l, X);
    put(y, l, Y);
    bad = std::max(std::max(bad, std::max(std::abs(X.re), std::abs(X.im))), std::max(std::abs(Y.re), std::abs(Y.im)));
}

#define KERNEL_LOOP _Pragma("GCC ivdep") for (int l = 0; l < n; ++l)

// One loop per chain form, so that each is compiled for its form; `flag` collects the
// lane's marks.
#define FOR_FORM(impedance, ...)                 \
    if (impedance) {                             \
        constexpr bool kImpedance = true;        \
        KERNEL_LOOP {                            \
            double flag = 0;                     \
            __VA_ARGS__                          \
            s.bad[l] = std::max(s.bad[l], flag); \
        }                                        \
    } else {                                     \
        constexpr bool kImpedance = false;       \
        KERNEL_LOOP {                            \
            double flag = 0;                     \
            __VA_ARGS__                          \
            s.bad[l] = std::max(s.bad[l], flag); \
        }                                        \
    }

template <bool Fma>
KERNEL_INLINE void runStepsWith(const KernelStep* steps, int count, Lanes& __restrict s, int n, const Terms& k)
{
    for (int i = 0; i < count; ++i) {
        const KernelStep& step = steps[i];
        // Read once here: a field read inside a loop under a select keeps it from vectorizing.
        const double v = step.value, slope = step.slope, slopeQ = step.slopeQ;
        switch (step.kind) {
        case KernelStep::SerCap:
            FOR_FORM(step.impedance, {
                double b = s.omega[l] * v * 1e-12;
                const bool zero = b == 0;
                b = zero ? kTiny : b;
                const double db = zero ? 0 : slope;  // kTiny stands in as a constant
                const double inv = 1.0 / b;
                s.im[l] -= inv;
                // -1/b is 0 only for an infinite b: a part that adds nothing.
                mark(flag, inv == 0);
                addToChain<kImpedance>(s, l, Cx{0, -inv}, Cx{0, db / (b * b)}, flag);
            })
            break;
        case KernelStep::ParCap:
            FOR_FORM(step.impedance, {
                double b = s.omega[l] * v * 1e-12;
                const bool zero = b == 0;
                b = zero ? kTiny : b;
                const double db = zero ? 0 : slope;
                s.im[l] += b;
                addToChain<kImpedance>(s, l, Cx{0, b}, Cx{0, db}, flag);
            })
            break;
        case KernelStep::SerInd:
            FOR_FORM(step.impedance, {
                double x = s.omega[l] * v * 1e-9;
                const bool zero = x == 0;
                x = zero ? kTiny : x;
                const double xq = x / k.q;
                s.im[l] += x;
                s.re[l] += xq;
                addToChain<kImpedance>(s, l, Cx{xq, x}, Cx{zero ? k.zeroOverQ : slopeQ, zero ? 0 : slope}, flag);
            })
            break;
        case KernelStep::ParInd:
            FOR_FORM(step.impedance, {
                double x = s.omega[l] * v * 1e-9;
                const bool zero = x == 0;
                x = zero ? kTiny : x;
                const double dx = zero ? 0 : slope;
                const double xq = x * k.q;
                mark(flag, xq == 0);
                const double invX = 1.0 / x;
                const double invXq = 1.0 / xq;
                s.im[l] -= invX;
                s.re[l] += invXq;
                mark(flag, invX == 0);  // an infinite x adds nothing
                addToChain<kImpedance>(s, l, Cx{invXq, -invX}, Cx{-dx / (x * x * k.q), dx / (x * x)}, flag);
            })
            break;
        case KernelStep::AddRe:
            if (step.chain) {
                FOR_FORM(step.impedance, {
                    s.re[l] += v;
                    addToChain<kImpedance>(s, l, Cx{v, 0}, Cx{}, flag);
                })
            } else {
                KERNEL_LOOP s.re[l] += v;
            }
            break;
        case KernelStep::SerXtl:
            FOR_FORM(step.impedance, {
                const double omega = s.omega[l];
                const double wc = omega * v;
                const double invWc = 1.0 / wc;
                const double x = s.wl[l] - invWc;
                // The level walk's admittance of the crystal, inverted.
                const double dd = s.rm2[l] + x * x;
                const double invDd = 1.0 / dd;
                const double g = quotient<Fma>(s.rm[l], dd, invDd, flag);
                const double bb = -quotient<Fma>(x, dd, invDd, flag) + s.wcp[l];
                const double mag = g * g + bb * bb;
                mark(flag, (wc == 0) | (dd == 0) | (mag == 0));
                const double invMag = 1.0 / mag;
                s.re[l] += quotient<Fma>(g, mag, invMag, flag);
                s.im[l] += quotient<Fma>(-bb, mag, invMag, flag);
                // The two-port's: motional arm, holder across it, the whole inverted.
                const Cx arm{s.rm[l], x};
                const Cx darm{k.dArm, k.lm + 1.0 / (s.ww[l] * v)};
                const Cx armY = inverse<Fma>(arm, flag);
                const Cx y = armY + Cx{0, s.wcp[l]};
                const Cx dy = Cx{0, k.dCp} - darm * armY * armY;
                const Cx z = inverse<Fma>(y, flag);
                mark(flag, (z.re == 0) & (z.im == 0));
                addToChain<kImpedance>(s, l, z, -(dy * z * z), flag);
            })
            break;
        case KernelStep::ParXtl:
            FOR_FORM(step.impedance, {
                const double omega = s.omega[l];
                const double wc = omega * v;
                const double invWc = 1.0 / wc;
                const double x = s.wl[l] - invWc;
                const double dd = s.rm2[l] + x * x;
                mark(flag, (wc == 0) | (dd == 0));
                const double invDd = 1.0 / dd;
                s.re[l] += quotient<Fma>(s.rm[l], dd, invDd, flag);
                s.im[l] += -quotient<Fma>(x, dd, invDd, flag) + s.wcp[l];
                const Cx arm{s.rm[l], x};
                const Cx darm{k.dArm, k.lm + 1.0 / (s.ww[l] * v)};
                const Cx armY = inverse<Fma>(arm, flag);
                const Cx y = armY + Cx{0, s.wcp[l]};
                const Cx dy = Cx{0, k.dCp} - darm * armY * armY;
                mark(flag, (y.re == 0) & (y.im == 0));
                addToChain<kImpedance>(s, l, y, dy, flag);
            })
            break;
        case KernelStep::Rlb:
            KERNEL_LOOP {
                const double r = s.re[l], x = s.im[l];
                const double den = (r + k.rs) * (r + k.rs) + x * x;
                mark(s.bad[l], den == 0);
                double g = ((r - k.rs) * (r - k.rs) + x * x) / den;
                g = g == 0 ? kPerfectMatch : g;
                g = g > kTotalReflection ? kTotalReflection : g;
                s.reflection[l] = g;
            }
            break;
        case KernelStep::Invert:
            KERNEL_LOOP {
                const double re = s.re[l], im = s.im[l];
                const double d = re * re + im * im;
                double flag = s.bad[l];
                mark(flag, d == 0);
                const double invD = 1.0 / d;
                const double ir = quotient<Fma>(re, d, invD, flag);
                const double ii = -quotient<Fma>(im, d, invD, flag);
                s.bad[l] = flag;
                const double tr = s.tre[l], ti = s.tim[l];
                s.re[l] = ir;
                s.im[l] = ii;
                s.tre[l] = tr * ir - ti * ii;
                s.tim[l] = ti * ir + tr * ii;
            }
            break;
        }
    }

    // The two-port between the terminations, as the one-frequency solve closes it. S21 is
    // made as the level walk makes it, from the form the walk ends in.
    const double rs = k.rs, rl = k.rl;
    FOR_FORM(k.endsInImpedance, {
        const Cx a = get(s.a, l), b = get(s.b, l), c = get(s.c, l), d = get(s.d, l);
        const Cx da = get(s.da, l), db = get(s.db, l), dc = get(s.dc, l), dd = get(s.dd, l);
        const Cx delta = rl * a + b + (rs * rl) * c + rs * d;
        const Cx inv = inverse(delta, flag);
        const Cx s11 = (rl * a + b - (rs * rl) * c - rs * d) * inv;
        const Cx s22 = (-(rl * a) + b - (rs * rl) * c + rs * d) * inv;
        const Cx walkInv = kImpedance ? inv : inverse(rl * c + d + rs * (rl * a + b), flag);
        const Cx dWalkDelta = kImpedance ? rl * da + db + (rs * rl) * dc + rs * dd : rl * dc + dd + rs * (rl * da + db);
        const Cx s21{k.gain * walkInv.re, k.gain * walkInv.im};
        const double delay = (dWalkDelta * walkInv).im;
        // Anything not finite is the one-frequency solve's error to raise.
        const double sum = s11.re + s11.im + s21.re + s21.im + s22.re + s22.im + delay;
        mark(flag, !(std::abs(sum - sum) == 0));
        put(s.s11, l, s11);
        put(s.s21, l, s21);
        put(s.s22, l, s22);
        s.delay[l] = delay;
    })
}

__attribute__((target_clones("avx512f", "arch=haswell", "default"))) void runSteps(
    const KernelStep* steps, int count, Lanes& __restrict s, int n, const Terms k, bool fma)
{
    // The baseline clone would call fma() from the library: it keeps the divisions.
    if (fma)
        runStepsWith<true>(steps, count, s, n, k);
    else
        runStepsWith<false>(steps, count, s, n, k);
}

bool hasFma()
{
    static const bool has = __builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2");
    return has;
}

}  // namespace

void ResponsePlan::solve(const double* freqs, int n, Response* out, bool* exact) const
{
    if (!usable_) {
        std::fill(exact, exact + n, false);
        return;
    }
    Lanes s;
    startLanes(plan_, freqs, n, s);
    for (int l = 0; l < n; ++l)
        s.ww[l] = s.omega[l] * s.omega[l];
    // The chain starts as the identity, with no slope.
    for (CxLanes* e : {&s.a, &s.b, &s.c, &s.d, &s.da, &s.db, &s.dc, &s.dd}) {
        std::fill_n(e->re, kBlock, e == &s.a || e == &s.d ? 1.0 : 0.0);
        std::fill_n(e->im, kBlock, 0.0);
    }
    const KernelPlan& p = plan_;
    const Terms terms{p.inductorq, p.sourcer, p.loadr, zeroOverQ_,
                      p.xtallm, p.xtalqx != 0 ? p.xtallm / p.xtalqx : 0, p.xtalcp * 1e-12,
                      gain_, p.endsInImpedance};
    runSteps(p.steps.data(), static_cast<int>(p.steps.size()), s, n, terms, hasFma());
    for (int l = 0; l < n; ++l) {
        exact[l] = false;
        if (s.bad[l] > kRescale)
            continue;
        Response& r = out[l];
        if (!finishLevels(plan_, s.tre[l], s.tim[l], s.reflection[l], r.levels))
            continue;
        r.twoPort.s11 = {s.s11.re[l], s.s11.im[l]};
        r.twoPort.s21 = {s.s21.re[l], s.s21.im[l]};
        r.twoPort.s22 = {s.s22.re[l], s.s22.im[l]};
        r.twoPort.delay = s.delay[l];
        exact[l] = true;
    }
}

}  // namespace engine
