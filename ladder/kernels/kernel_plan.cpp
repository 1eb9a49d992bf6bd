#include "ladder/kernels/kernel_plan.h"

#include <algorithm>

#include "ladder/walk.h"

namespace engine {

KernelPlan::KernelPlan(const Circuit& m)
    : sourcer(m.sourcer), loadr(m.loadr), inductorq(m.inductorq), xtalfreq(m.xtalfreq), xtallm(m.xtallm),
      xtalcp(m.xtalcp), xtalqx(m.xtalqx)
{
    crystal = m.crystalflag == 1;
    usable = m.loadr != 0;
    load = usable ? 1.0 / m.loadr : 0;
    // The level walk is in impedance form exactly where the chain takes series parts.
    bool impedance = isSer(m.part(1).partconn);
    if (impedance)
        steps.push_back({KernelStep::Invert, false, false, 0, 0, 0});
    const int count = std::min(m.partcount, kMaxParts);
    for (int n = 1; n <= count; ++n) {
        const Part& p = m.part(n);
        const bool series = isSer(p.partconn);
        switch (p.partcode) {
        case kCap:
        case kDupCap: {
            const double pF = p.partcode == kCap ? p.partvalue : referencedValue(m, p);
            steps.push_back({series ? KernelStep::SerCap : KernelStep::ParCap, true, impedance, pF, pF * 1e-12, 0});
            break;
        }
        case kInd:
        case kDupInd: {
            usable = usable && m.inductorq != 0;
            const double nH = p.partcode == kInd ? p.partvalue : referencedValue(m, p);
            const double slope = nH * 1e-9;
            steps.push_back({series ? KernelStep::SerInd : KernelStep::ParInd, true, impedance, nH, slope,
                             m.inductorq != 0 ? slope / m.inductorq : 0});
            break;
        }
        case kRes:
        case kDupRes: {
            const double ohm = p.partcode == kRes ? p.partvalue : referencedValue(m, p);
            usable = usable && (series || ohm != 0);
            const double add = series ? ohm : ohm != 0 ? 1.0 / ohm : 0;
            // A part that adds nothing leaves the chain alone, as the one-frequency solve does.
            steps.push_back({KernelStep::AddRe, add != 0, impedance, add, 0, 0});
            break;
        }
        case kXtl: {
            const double fs = m.xtalfreq * 1e6 + p.partvalue;
            const double ws = kTwoPi * fs;
            const double cmInverse = ws * ws * m.xtallm;
            usable = usable && cmInverse != 0 && m.xtalqx != 0;
            steps.push_back({isPar(p.partconn) ? KernelStep::ParXtl : KernelStep::SerXtl, true, impedance,
                             cmInverse != 0 ? 1.0 / cmInverse : 0, 0, 0});
            break;
        }
        case kRlb:
            hasRlb = true;
            steps.push_back({KernelStep::Rlb, false, impedance, 0, 0, 0});
            break;
        default:
            break;
        }
        if (n == count ? !series : !sameConnection(p.partconn, m.part(n + 1).partconn)) {
            steps.push_back({KernelStep::Invert, false, false, 0, 0, 0});
            impedance = !impedance;
        }
    }
    endsInImpedance = impedance;
    // The source resistance in series, and the last turn-over to the admittance it sees.
    steps.push_back({KernelStep::AddRe, false, false, m.sourcer, 0, 0});
    steps.push_back({KernelStep::Invert, false, false, 0, 0, 0});
}

}  // namespace engine
