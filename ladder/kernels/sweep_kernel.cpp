// Built with -ffp-contract=off (no fused multiply-add may change a bit) and
// -fno-math-errno -fno-trapping-math (so the selects and divisions vectorize); the
// kernel is cloned for AVX2 and the baseline and picked at run time.

#include "ladder/kernels/sweep_kernel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ladder/walk.h"

namespace engine {

SweepPlan::SweepPlan(const Circuit& m)
    : sourcer_(m.sourcer), loadr_(m.loadr), inductorq_(m.inductorq), xtalfreq_(m.xtalfreq),
      xtallm_(m.xtallm), xtalcp_(m.xtalcp), xtalqx_(m.xtalqx)
{
    crystal_ = m.crystalflag == 1;
    // A divisor that is 0 whatever the frequency: the walk fails at the first one.
    usable_ = m.loadr != 0;
    load_ = usable_ ? 1.0 / m.loadr : 0;
    if (isSer(m.part(1).partconn))
        steps_.push_back({Step::Invert, 0});
    const int count = std::min(m.partcount, kMaxParts);
    for (int n = 1; n <= count; ++n) {
        const Part& p = m.part(n);
        const bool series = isSer(p.partconn);
        switch (p.partcode) {
        case kCap:
        case kDupCap:
            steps_.push_back({series ? Step::SerCap : Step::ParCap,
                              p.partcode == kCap ? p.partvalue : referencedValue(m, p)});
            break;
        case kInd:
        case kDupInd:
            usable_ = usable_ && m.inductorq != 0;
            steps_.push_back({series ? Step::SerInd : Step::ParInd,
                              p.partcode == kInd ? p.partvalue : referencedValue(m, p)});
            break;
        case kRes:
        case kDupRes: {
            const double ohm = p.partcode == kRes ? p.partvalue : referencedValue(m, p);
            usable_ = usable_ && (series || ohm != 0);
            steps_.push_back({Step::AddRe, series ? ohm : ohm != 0 ? 1.0 / ohm : 0});
            break;
        }
        case kXtl: {
            const double fs = m.xtalfreq * 1e6 + p.partvalue;
            const double ws = kTwoPi * fs;
            const double cmInverse = ws * ws * m.xtallm;
            usable_ = usable_ && cmInverse != 0 && m.xtalqx != 0;
            steps_.push_back({isPar(p.partconn) ? Step::ParXtl : Step::SerXtl, cmInverse != 0 ? 1.0 / cmInverse : 0});
            break;
        }
        case kRlb:
            hasRlb_ = true;
            steps_.push_back({Step::Rlb, 0});
            break;
        default:
            break;
        }
        if (n == count ? !series : !sameConnection(p.partconn, m.part(n + 1).partconn))
            steps_.push_back({Step::Invert, 0});
    }
    // The source resistance in series, and the last turn-over to the admittance it sees.
    steps_.push_back({Step::AddRe, m.sourcer});
    steps_.push_back({Step::Invert, 0});
}

namespace {

// One block's running values, as separate arrays so that each step is a plain loop.
struct Lanes {
    alignas(64) double omega[SweepPlan::kBlock];
    alignas(64) double re[SweepPlan::kBlock];
    alignas(64) double im[SweepPlan::kBlock];
    alignas(64) double tre[SweepPlan::kBlock];
    alignas(64) double tim[SweepPlan::kBlock];
    // Crystal terms shared by every crystal of the circuit.
    alignas(64) double wl[SweepPlan::kBlock];   // omega Lm
    alignas(64) double rm[SweepPlan::kBlock];   // omega Lm / Qx
    alignas(64) double rm2[SweepPlan::kBlock];  // Rm^2
    alignas(64) double wcp[SweepPlan::kBlock];  // omega Cp
    alignas(64) double reflection[SweepPlan::kBlock];  // |S11|^2 at the last bridge
    alignas(64) std::int64_t bad[SweepPlan::kBlock];   // a zero divisor met
};

struct Terms {
    double q, rs;
};

#define KERNEL_LOOP _Pragma("GCC ivdep") for (int l = 0; l < n; ++l)

__attribute__((target_clones("avx2", "default"))) void runSteps(const SweepPlan::Step* steps, int count,
                                                                 Lanes& s, int n, Terms k)
{
    double* __restrict re = s.re;
    double* __restrict im = s.im;
    double* __restrict tre = s.tre;
    double* __restrict tim = s.tim;
    std::int64_t* __restrict bad = s.bad;
    const double* __restrict omega = s.omega;
    for (int i = 0; i < count; ++i) {
        const double v = steps[i].value;
        switch (steps[i].kind) {
        case SweepPlan::Step::SerCap:
            KERNEL_LOOP {
                double b = omega[l] * v * 1e-12;
                b = b == 0 ? kTiny : b;
                im[l] -= 1.0 / b;
            }
            break;
        case SweepPlan::Step::ParCap:
            KERNEL_LOOP {
                double b = omega[l] * v * 1e-12;
                b = b == 0 ? kTiny : b;
                im[l] += b;
            }
            break;
        case SweepPlan::Step::SerInd:
            KERNEL_LOOP {
                double x = omega[l] * v * 1e-9;
                x = x == 0 ? kTiny : x;
                im[l] += x;
                re[l] += x / k.q;
            }
            break;
        case SweepPlan::Step::ParInd:
            KERNEL_LOOP {
                double x = omega[l] * v * 1e-9;
                x = x == 0 ? kTiny : x;
                const double xq = x * k.q;
                bad[l] |= xq == 0;
                im[l] -= 1.0 / x;
                re[l] += 1.0 / xq;
            }
            break;
        case SweepPlan::Step::AddRe:
            KERNEL_LOOP re[l] += v;
            break;
        case SweepPlan::Step::SerXtl:
        case SweepPlan::Step::ParXtl: {
            const bool shunt = steps[i].kind == SweepPlan::Step::ParXtl;
            const double* __restrict wl = s.wl;
            const double* __restrict rm = s.rm;
            const double* __restrict rm2 = s.rm2;
            const double* __restrict wcp = s.wcp;
            if (shunt) {
                KERNEL_LOOP {
                    const double wc = omega[l] * v;
                    const double x = wl[l] - 1.0 / wc;
                    const double d = rm2[l] + x * x;
                    bad[l] |= (wc == 0) | (d == 0);
                    re[l] += rm[l] / d;
                    im[l] += -(x / d) + wcp[l];
                }
            } else {
                KERNEL_LOOP {
                    const double wc = omega[l] * v;
                    const double x = wl[l] - 1.0 / wc;
                    const double d = rm2[l] + x * x;
                    const double g = rm[l] / d;
                    const double b = -(x / d) + wcp[l];
                    const double mag = g * g + b * b;
                    bad[l] |= (wc == 0) | (d == 0) | (mag == 0);
                    re[l] += g / mag;
                    im[l] += -b / mag;
                }
            }
            break;
        }
        case SweepPlan::Step::Rlb: {
            double* __restrict refl = s.reflection;
            KERNEL_LOOP {
                const double r = re[l], x = im[l];
                const double den = (r + k.rs) * (r + k.rs) + x * x;
                bad[l] |= den == 0;
                double g = ((r - k.rs) * (r - k.rs) + x * x) / den;
                g = g == 0 ? kPerfectMatch : g;
                g = g > kTotalReflection ? kTotalReflection : g;
                refl[l] = g;
            }
            break;
        }
        case SweepPlan::Step::Invert:
            KERNEL_LOOP {
                const double d = re[l] * re[l] + im[l] * im[l];
                bad[l] |= d == 0;
                const double ir = re[l] / d;
                const double ii = -(im[l] / d);
                const double tr = tre[l], ti = tim[l];
                re[l] = ir;
                im[l] = ii;
                tre[l] = tr * ir - ti * ii;
                tim[l] = ti * ir + tr * ii;
            }
            break;
        }
    }
}

}  // namespace

int SweepPlan::solve(const double* freqs, int n, Solution* out) const
{
    if (!usable_)
        return 0;
    Lanes s;
    for (int l = 0; l < n; ++l) {
        double omega = freqs[l] * kTwoPiMega;
        if (omega == 0)
            omega = 0.01;
        if (crystal_)
            omega = (xtalfreq_ * 1e6 + freqs[l]) * kTwoPi;
        s.omega[l] = omega;
        s.re[l] = load_;
        s.im[l] = 0;
        s.tre[l] = 2;
        s.tim[l] = 0;
        s.bad[l] = 0;
        s.reflection[l] = 0;
        const double wl = omega * xtallm_;
        s.wl[l] = wl;
        s.rm[l] = xtalqx_ != 0 ? wl / xtalqx_ : 0;
        s.rm2[l] = s.rm[l] * s.rm[l];
        s.wcp[l] = omega * xtalcp_ * 1e-12;
    }
    runSteps(steps_.data(), static_cast<int>(steps_.size()), s, n, Terms{inductorq_, sourcer_});
    for (int l = 0; l < n; ++l) {
        if (s.bad[l])
            return l;
        double tr = s.tre[l];
        const double ti = s.tim[l];
        if (tr == 0)
            tr = kTiny;
        const double mag = std::sqrt(tr * tr + ti * ti);
        const double p = mag * mag * sourcer_ / loadr_;
        if (!(p > 0))
            return l;
        const double s21db = 10 * std::log(p) / std::numbers::ln10;
        if (!std::isfinite(s21db))
            return l;
        double s11db = 0;
        if (hasRlb_) {
            const double g = s.reflection[l];
            if (!(g > 0))
                return l;
            s11db = 10 * std::log(g) / std::numbers::ln10;
        }
        out[l] = {s21db, s11db};
    }
    return n;
}

}  // namespace engine
