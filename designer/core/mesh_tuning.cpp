#include "designer/core/mesh_tuning.h"

#include <cmath>

#include "common/errors.h"
#include "common/numtext.h"

std::string setCrystalName(const DesignState& s, int mesh)
{
    const auto i = static_cast<std::size_t>(mesh - 1);
    if (i < s.setNames.size() && !s.setNames[i].empty())
        return s.setNames[i];
    return "crystal " + integerText(mesh);
}

SetTuning tuneToSet(const DesignState& s)
{
    const int n = s.crystalCount;
    constexpr long double kTwoPi = 6.283185307179586477L;
    // Each loop: Lm with the crystal's own Cm, the tuning capacitor and the shunt capacitors
    // either side (meshCap) in series. a = 1/Cm + 1/meshCap in 1/pF; w^2 Lm = a + 1/CT.
    std::vector<long double> a(static_cast<std::size_t>(n) + 1);
    SetTuning t;
    long double highest = -INFINITY;
    for (int i = 1; i <= n; ++i) {
        const long double w = kTwoPi * s.setFsHz[static_cast<std::size_t>(i - 1)];
        const long double v = w * w * s.lm * 1e-12L + 1.0L / s.meshCap[i];
        if (!std::isfinite(v) || !(s.meshCap[i] > 0))
            throw AppError("Mesh " + integerText(i) + " (" + setCrystalName(s, i) +
                           ") cannot be tuned: its loop has no finite resonance.");
        a[static_cast<std::size_t>(i)] = v;
        if (v > highest) {
            highest = v;
            t.referenceMesh = i;
        }
    }
    for (int i = 1; i <= n; ++i) {
        if (i == t.referenceMesh) {
            t.tuningPf.push_back(kWirePf);
            continue;
        }
        const long double gap = highest - a[static_cast<std::size_t>(i)];
        if (gap == 0) {  // a tie with the reference: a wire as well
            t.tuningPf.push_back(kWirePf);
            continue;
        }
        const long double ct = 1.0L / gap;
        if (!(static_cast<float>(ct) > 0) || !std::isfinite(ct))
            throw AppError("Mesh " + integerText(i) + " (" + setCrystalName(s, i) +
                           ") cannot be tuned: it would need a tuning capacitor of " +
                           generalText(static_cast<double>(ct), 6) + " pF.");
        // Beyond the wire's written value the capacitor is a wire too.
        t.tuningPf.push_back(ct > kWirePf ? kWirePf : static_cast<double>(ct));
    }
    t.commonHz = static_cast<double>(std::sqrt(highest * 1e12L / s.lm) / kTwoPi);
    return t;
}
