#include "designer/core/designer.h"

#include <cmath>
#include <optional>

#include "common/numtext.h"
#include "designer/core/mesh_tuning.h"
#include "designer/core/set_refinement.h"
#include "designer/core/single.h"

using namespace design;

namespace {

using checked::div;

std::string fixed(float value, int p, int d)
{
    return fixedText(static_cast<double>(value), p, d);
}

// Value of a fresh table slot: small enough to read as "nothing" in the fields
// (0.00), large enough not to divide by zero.
constexpr ext kClearedSlot = 0.000001L;

// Series-equivalent capacitance (pF) of a shunt capacitor c (F) across rend at wcen.
float seriesEquivalent(float c, float wcen, float rend)
{
    return store(div((sq(static_cast<ext>(c) * wcen * rend) + 1) * 1e12L, sq(static_cast<ext>(wcen) * rend) * c));
}

}  // namespace

void runCommand(FormPort& port, const std::function<void()>& command)
{
    try {
        command();
    } catch (const AppError& e) {
        port.message(e.what());
    }
}

void Designer::showDesign()
{
    w.setText(Field::Q1, fixed(s.q1, 6, 4));
    w.setText(Field::Qn, fixed(s.qn, 6, 4));
    for (int j = 1; j <= 9; ++j)
        w.setText(couplingField(j), fixed(s.coupling[j], 6, 4));
    w.setText(Field::CrystalCount, integerText(s.crystalCount));
}

void Designer::characterizeCrystal()
{
    for (int i = 1; i <= kMeshes; ++i) {
        s.coupling[i] = store(kClearedSlot);
        s.couplingCap[i] = store(kClearedSlot);
        s.tuningCap[i] = store(kClearedSlot);
        s.meshCap[i] = store(kClearedSlot);
        s.prototype[i] = 1.0f;
    }
    s.fmhz = readSingle(w.text(Field::CrystalMhz));
    s.fhz = store(s.fmhz * 1000000.0L);
    s.w0 = store(kTwoPi * s.fhz);
    s.lm = readSingle(w.text(Field::MotionalL));
    s.cm = store(div(1.0L, sq(s.w0) * s.lm));
    s.cmpf = store(s.cm * 1e12L);
    s.c0pf = readSingle(w.text(Field::HolderC0));
    s.c0 = store(s.c0pf * 1e-12L);
    s.qu = readSingle(w.text(Field::CrystalQ));
}

void Designer::setBandwidthAndOrder()
{
    s.bw = readSingle(w.text(Field::Bandwidth));
    s.crystalCount = readInteger(w.text(Field::CrystalCount));
    if (s.crystalCount > 20)
        w.message(msg::kNTooLarge);
    // The meshes are designed one bandwidth above the crystals' series resonance.
    s.fcen = store(static_cast<ext>(s.fhz) + s.bw);
    s.wcen = store(kTwoPi * s.fcen);
    s.reactanceRatio = store((sq(s.wcen) - sq(s.w0)) * s.lm * s.c0);
    // Reactance slope of the crystal with C0 over that of the bare motional arm at wcen.
    const ext u = s.reactanceRatio;
    s.slope = store(div(2 * u, sq(u - 1) * (div(sq(s.w0), sq(s.wcen)) + 1)) - div(1.0L, u - 1));
    s.fratio = store(div(static_cast<ext>(s.fcen), static_cast<ext>(s.bw)));
}

void Designer::setEndQ()
{
    s.q1 = readSingle(w.text(Field::Q1));
    s.qn = readSingle(w.text(Field::Qn));
    // The loaded Q of an end mesh is q * fcen/B; the crystal's own loss is taken out.
    s.qe1 = store(div(1.0L, div(1.0L, static_cast<ext>(s.q1) * s.fratio) - div(1.0L, static_cast<ext>(s.qu))));
    s.qen = store(div(1.0L, div(1.0L, static_cast<ext>(s.qn) * s.fratio) - div(1.0L, static_cast<ext>(s.qu))));
    const ext reactance = static_cast<ext>(s.wcen) * s.lm * s.slope;
    s.re1 = store(div(reactance, static_cast<ext>(s.qe1)));
    s.ren = store(div(reactance, static_cast<ext>(s.qen)));
    s.rmin = s.re1;
    if (s.ren > s.re1)
        s.rmin = s.ren;
    w.setText(Field::MinEndR, fixed(s.rmin, 5, 1));
    if (s.re1 < 0 || s.ren < 0)
        w.message(msg::kCrystalQTooLow);
}

void Designer::matchEnds()
{
    s.rend = readSingle(w.text(Field::EndR));
    const ext reactance = static_cast<ext>(s.wcen) * s.lm * s.slope;
    s.re1 = store(div(reactance, static_cast<ext>(s.qe1)));
    s.ren = store(div(reactance, static_cast<ext>(s.qen)));
    const bool matchable = s.rend >= s.re1 && s.rend >= s.ren;
    if (!matchable)
        w.message(msg::kResistanceTooSmall);
    w.setText(Field::MinEndR, fixed(s.rmin, 5, 1));
    if (!matchable)
        return;
    // A shunt C across R looks, in series form, like R / (1 + (wRC)^2); solve for the C
    // that brings R down to the resistance each end mesh needs.
    // t1 and tN are working values, not part of the design: kept unrounded.
    const ext t1 = div(static_cast<ext>(s.rend) - s.re1, sq(s.wcen) * s.re1 * sq(s.rend));
    const ext tn = div(static_cast<ext>(s.rend) - s.ren, sq(s.wcen) * s.ren * sq(s.rend));
    if (t1 < 0 || tn < 0) {
        w.message(msg::kQTooLow);
        return;
    }
    s.ce1 = store(checked::sqrt(t1));
    s.ce1pf = store(s.ce1 * 1e12L);
    s.cen = store(checked::sqrt(tn));
    s.cenpf = store(s.cen * 1e12L);
    w.setText(Field::EndC1, fixed(s.ce1pf, 5, 2));
    w.setText(Field::EndCn, fixed(s.cenpf, 5, 2));
    s.cse1 = seriesEquivalent(s.ce1, s.wcen, s.rend);
    s.csen = seriesEquivalent(s.cen, s.wcen, s.rend);
}

void Designer::computeCouplingCapacitors()
{
    if (s.crystalCount < 1 || s.crystalCount > kMeshes) {
        w.message(msg::kCouplingNRange);
        return;
    }
    for (int j = 1; j <= 9; ++j)
        s.coupling[j] = readSingle(w.text(couplingField(j)));
    for (int j = 1; j <= s.crystalCount - 1; ++j)
        s.couplingCap[j] = store(div(static_cast<ext>(s.cmpf) * s.fratio, static_cast<ext>(s.coupling[j]) * s.slope));
    for (int j = 1; j <= 9; ++j)
        w.setText(couplingCapField(j), fixed(s.couplingCap[j], 5, 2));
}

void Designer::tuneMeshes()
{
    const int n = s.crystalCount;
    // Beyond ten meshes the tables have no slots: nothing would be right, so nothing is tuned.
    if (n > kMeshes) {
        w.message(msg::kNOver10);
        return;
    }
    if (n < 2) {
        w.message(msg::kTuneNTooSmall);
        return;
    }
    // Re-read: the user may have replaced computed values with parts at hand.
    for (int j = 1; j <= 9; ++j)
        s.couplingCap[j] = readSingle(w.text(couplingCapField(j)));
    s.ce1pf = readSingle(w.text(Field::EndC1));
    if (s.ce1pf == 0)
        s.ce1pf = store(0.01L);
    s.cenpf = readSingle(w.text(Field::EndCn));
    if (s.cenpf == 0)
        s.cenpf = store(0.01L);
    s.ce1 = store(s.ce1pf * 1e-12L);
    s.cen = store(s.cenpf * 1e-12L);
    s.cse1 = seriesEquivalent(s.ce1, s.wcen, s.rend);
    s.csen = seriesEquivalent(s.cen, s.wcen, s.rend);

    auto series = [](float a, float b) {
        return store(div(1.0L, div(1.0L, static_cast<ext>(a)) + div(1.0L, static_cast<ext>(b))));
    };
    s.meshCap[1] = series(s.cse1, s.couplingCap[1]);
    s.meshCap[n] = series(s.csen, s.couplingCap[n - 1]);
    for (int i = 2; i <= n - 1; ++i)
        s.meshCap[i] = series(s.couplingCap[i], s.couplingCap[i - 1]);

    const bool withSet = !s.setFsHz.empty() && static_cast<int>(s.setFsHz.size()) == n;
    // With a set, each mesh is tuned to its own crystal; nothing is stored when one cannot be.
    std::optional<SetTuning> own;
    if (withSet)
        own = tuneToSet(s);
    s.referenceMesh = 0;
    s.minMeshCap = 1000000.0f;
    for (int i = 1; i <= n; ++i)
        if (s.meshCap[i] < s.minMeshCap)
            s.minMeshCap = s.meshCap[i];
    // Keeps the reference mesh's denominator below away from zero.
    s.minMeshCap = store(s.minMeshCap * 1.000001L);

    // Every mesh is brought down to the least mesh capacitance so all resonate together;
    // the reference mesh gets an enormous value, written 99999: a wire.
    for (int i = 1; i <= n; ++i) {
        const ext v = div(1.0L, div(1.0L, static_cast<ext>(s.minMeshCap)) - div(1.0L, static_cast<ext>(s.meshCap[i])));
        const bool huge = !(std::fabs(v) <= static_cast<ext>(FLT_MAX)) || std::fabs(static_cast<float>(v)) > 100000.0f;
        s.tuningCap[i] = huge ? 99999.0f : static_cast<float>(v);
    }
    if (own) {
        // The identical-crystal design is the response the set's design is refined to.
        DesignState identical = s;
        identical.setFsHz.clear();
        for (int i = 1; i <= n; ++i)
            s.tuningCap[i] = static_cast<float>(own->tuningPf[static_cast<std::size_t>(i - 1)]);
        s.referenceMesh = own->referenceMesh;
        // The loops' common frequency moves with the set: the passband starts there.
        DesignState atF = s;
        atF.setFsHz.assign(static_cast<std::size_t>(n), static_cast<double>(s.fhz));
        refineForSet(identical, s, own->commonHz - tuneToSet(atF).commonHz);
        w.setText(Field::EndC1, fixed(s.ce1pf, 5, 2));
        w.setText(Field::EndCn, fixed(s.cenpf, 5, 2));
        for (int j = 1; j <= 9; ++j)
            w.setText(couplingCapField(j), fixed(s.couplingCap[j], 5, 2));
    }
    for (int i = 1; i <= kMeshes; ++i)
        w.setText(tuningCapField(i), fixed(s.tuningCap[i], 5, 2));
}
