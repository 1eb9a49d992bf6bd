#pragma once
// How both kernels start a block of lanes and finish its levels, exactly as the
// one-frequency walk does. For the kernels' own files, built with their flags.

#include <cmath>
#include <numbers>

#include "ladder/engine.h"
#include "ladder/kernels/kernel_plan.h"
#include "ladder/walk.h"

namespace engine {

// Every lane's start, as the walk starts at the load: omega for freqs[0..n), the running
// admittance and transfer, and the crystal terms shared by every crystal of the circuit.
template <class Lanes>
[[gnu::always_inline]] inline void startLanes(const KernelPlan& p, const double* freqs, int n, Lanes& s)
{
    for (int l = 0; l < n; ++l) {
        double omega = freqs[l] * kTwoPiMega;
        if (omega == 0)
            omega = 0.01;
        if (p.crystal)
            omega = (p.xtalfreq * 1e6 + freqs[l]) * kTwoPi;
        s.omega[l] = omega;
        s.re[l] = p.load;
        s.im[l] = 0;
        s.tre[l] = 2;
        s.tim[l] = 0;
        s.bad[l] = 0;
        s.reflection[l] = 0;
        const double wl = omega * p.xtallm;
        s.wl[l] = wl;
        s.rm[l] = p.xtalqx != 0 ? wl / p.xtalqx : 0;
        s.rm2[l] = s.rm[l] * s.rm[l];
        s.wcp[l] = omega * p.xtalcp * 1e-12;
    }
}

// The levels as the walk finishes them from the transfer and the last bridge's |S11|^2.
// False where the walk would fail there.
[[gnu::always_inline]] inline bool finishLevels(const KernelPlan& p, double tr, double ti, double reflection,
                                                Solution& out)
{
    if (tr == 0)
        tr = kTiny;
    const double mag = std::sqrt(tr * tr + ti * ti);
    const double power = mag * mag * p.sourcer / p.loadr;
    if (!(power > 0))
        return false;
    const double s21db = 10 * std::log(power) / std::numbers::ln10;
    if (!std::isfinite(s21db))
        return false;
    double s11db = 0;
    if (p.hasRlb) {
        if (!(reflection > 0))
            return false;
        s11db = 10 * std::log(reflection) / std::numbers::ln10;
    }
    out = {s21db, s11db};
    return true;
}

}  // namespace engine
