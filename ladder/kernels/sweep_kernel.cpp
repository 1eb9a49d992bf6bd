// Built with -ffp-contract=off (no fused multiply-add may change a bit) and
// -fno-math-errno -fno-trapping-math (so the selects and divisions vectorize); the
// kernel is cloned for AVX2 and the baseline and picked at run time.

#include "ladder/kernels/sweep_kernel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ladder/kernels/kernel_lanes.h"
#include "ladder/walk.h"

namespace engine {

SweepPlan::SweepPlan(const Circuit& m) : plan_(m) {}

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

__attribute__((target_clones("avx2", "default"))) void runSteps(const KernelStep* steps, int count,
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
        case KernelStep::SerCap:
            KERNEL_LOOP {
                double b = omega[l] * v * 1e-12;
                b = b == 0 ? kTiny : b;
                im[l] -= 1.0 / b;
            }
            break;
        case KernelStep::ParCap:
            KERNEL_LOOP {
                double b = omega[l] * v * 1e-12;
                b = b == 0 ? kTiny : b;
                im[l] += b;
            }
            break;
        case KernelStep::SerInd:
            KERNEL_LOOP {
                double x = omega[l] * v * 1e-9;
                x = x == 0 ? kTiny : x;
                im[l] += x;
                re[l] += x / k.q;
            }
            break;
        case KernelStep::ParInd:
            KERNEL_LOOP {
                double x = omega[l] * v * 1e-9;
                x = x == 0 ? kTiny : x;
                const double xq = x * k.q;
                bad[l] |= xq == 0;
                im[l] -= 1.0 / x;
                re[l] += 1.0 / xq;
            }
            break;
        case KernelStep::AddRe:
            KERNEL_LOOP re[l] += v;
            break;
        case KernelStep::SerXtl:
        case KernelStep::ParXtl: {
            const bool shunt = steps[i].kind == KernelStep::ParXtl;
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
        case KernelStep::Rlb: {
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
        case KernelStep::Invert:
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
    if (!plan_.usable)
        return 0;
    Lanes s;
    startLanes(plan_, freqs, n, s);
    runSteps(plan_.steps.data(), static_cast<int>(plan_.steps.size()), s, n, Terms{plan_.inductorq, plan_.sourcer});
    for (int l = 0; l < n; ++l)
        if (s.bad[l] || !finishLevels(plan_, s.tre[l], s.tim[l], s.reflection[l], out[l]))
            return l;
    return n;
}

}  // namespace engine
