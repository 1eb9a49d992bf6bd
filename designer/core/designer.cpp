#include "designer.h"

#include <cmath>

#include "numtext.h"
#include "single.h"

namespace {

using checked::div;

std::string field(int n)
{
    return "Edit" + std::to_string(n);
}

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

void Designer::FormShow()
{
    w.setText("Edit9", fixed(s.q1, 6, 4));
    w.setText("Edit10", fixed(s.qn, 6, 4));
    for (int j = 1; j <= 9; ++j)
        w.setText(field(10 + j), fixed(s.kk[j], 6, 4));
    w.setText("Edit6", integerText(s.nxtal));
}

void Designer::Button1Click()
{
    for (int i = 1; i <= kMeshes; ++i) {
        s.kk[i] = store(kClearedSlot);
        s.cc[i] = store(kClearedSlot);
        s.ct[i] = store(kClearedSlot);
        s.cmesh[i] = store(kClearedSlot);
        s.gk[i] = 1.0f;
    }
    s.fmhz = readSingle(w.text("Edit1"));
    s.fhz = store(s.fmhz * 1000000.0L);
    s.w0 = store(kTwoPi * s.fhz);
    s.lm = readSingle(w.text("Edit2"));
    s.cm = store(div(1.0L, sq(s.w0) * s.lm));
    s.cmpf = store(s.cm * 1e12L);
    s.c0pf = readSingle(w.text("Edit3"));
    s.c0 = store(s.c0pf * 1e-12L);
    s.qu = readSingle(w.text("Edit4"));
}

void Designer::Button2Click()
{
    s.bw = readSingle(w.text("Edit5"));
    s.nxtal = readInteger(w.text("Edit6"));
    if (s.nxtal > 20)
        w.message(msg::kNTooLarge);
    // The meshes are designed one bandwidth above the crystals' series resonance.
    s.fcen = store(static_cast<ext>(s.fhz) + s.bw);
    s.wcen = store(kTwoPi * s.fcen);
    s.uc0 = store((sq(s.wcen) - sq(s.w0)) * s.lm * s.c0);
    // Reactance slope of the crystal with C0 over that of the bare motional arm at wcen.
    const ext u = s.uc0;
    s.slope = store(div(2 * u, sq(u - 1) * (div(sq(s.w0), sq(s.wcen)) + 1)) - div(1.0L, u - 1));
    s.fratio = store(div(static_cast<ext>(s.fcen), static_cast<ext>(s.bw)));
}

void Designer::Button3Click()
{
    s.q1 = readSingle(w.text("Edit9"));
    s.qn = readSingle(w.text("Edit10"));
    // The loaded Q of an end mesh is q * fcen/B; the crystal's own loss is taken out.
    s.qe1 = store(div(1.0L, div(1.0L, static_cast<ext>(s.q1) * s.fratio) - div(1.0L, static_cast<ext>(s.qu))));
    s.qen = store(div(1.0L, div(1.0L, static_cast<ext>(s.qn) * s.fratio) - div(1.0L, static_cast<ext>(s.qu))));
    const ext reactance = static_cast<ext>(s.wcen) * s.lm * s.slope;
    s.re1 = store(div(reactance, static_cast<ext>(s.qe1)));
    s.ren = store(div(reactance, static_cast<ext>(s.qen)));
    s.rmin = s.re1;
    if (s.ren > s.re1)
        s.rmin = s.ren;
    w.setText("Edit7", fixed(s.rmin, 5, 1));
    if (s.re1 < 0 || s.ren < 0)
        w.message(msg::kCrystalQTooLow);
}

void Designer::Button4Click()
{
    s.rend = readSingle(w.text("Edit20"));
    const ext reactance = static_cast<ext>(s.wcen) * s.lm * s.slope;
    s.re1 = store(div(reactance, static_cast<ext>(s.qe1)));
    s.ren = store(div(reactance, static_cast<ext>(s.qen)));
    const bool matchable = s.rend >= s.re1 && s.rend >= s.ren;
    if (!matchable)
        w.message(msg::kResistanceTooSmall);
    w.setText("Edit7", fixed(s.rmin, 5, 1));
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
    w.setText("Edit21", fixed(s.ce1pf, 5, 2));
    w.setText("Edit22", fixed(s.cenpf, 5, 2));
    s.cse1 = seriesEquivalent(s.ce1, s.wcen, s.rend);
    s.csen = seriesEquivalent(s.cen, s.wcen, s.rend);
}

void Designer::Button5Click()
{
    if (s.nxtal < 1 || s.nxtal > kMeshes) {
        w.message(msg::kCouplingNRange);
        return;
    }
    for (int j = 1; j <= 9; ++j)
        s.kk[j] = readSingle(w.text(field(10 + j)));
    for (int j = 1; j <= s.nxtal - 1; ++j)
        s.cc[j] = store(div(static_cast<ext>(s.cmpf) * s.fratio, static_cast<ext>(s.kk[j]) * s.slope));
    for (int j = 1; j <= 9; ++j)
        w.setText(field(22 + j), fixed(s.cc[j], 5, 2));
}

void Designer::Button14Click()
{
    const int n = s.nxtal;
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
        s.cc[j] = readSingle(w.text(field(22 + j)));
    s.ce1pf = readSingle(w.text("Edit21"));
    if (s.ce1pf == 0)
        s.ce1pf = store(0.01L);
    s.cenpf = readSingle(w.text("Edit22"));
    if (s.cenpf == 0)
        s.cenpf = store(0.01L);
    s.ce1 = store(s.ce1pf * 1e-12L);
    s.cen = store(s.cenpf * 1e-12L);
    s.cse1 = seriesEquivalent(s.ce1, s.wcen, s.rend);
    s.csen = seriesEquivalent(s.cen, s.wcen, s.rend);

    auto series = [](float a, float b) {
        return store(div(1.0L, div(1.0L, static_cast<ext>(a)) + div(1.0L, static_cast<ext>(b))));
    };
    s.cmesh[1] = series(s.cse1, s.cc[1]);
    s.cmesh[n] = series(s.csen, s.cc[n - 1]);
    for (int i = 2; i <= n - 1; ++i)
        s.cmesh[i] = series(s.cc[i], s.cc[i - 1]);

    s.cmeshmin = 1000000.0f;
    for (int i = 1; i <= n; ++i)
        if (s.cmesh[i] < s.cmeshmin)
            s.cmeshmin = s.cmesh[i];
    // Keeps the reference mesh's denominator below away from zero.
    s.cmeshmin = store(s.cmeshmin * 1.000001L);

    // Every mesh is brought down to the least mesh capacitance so all resonate together;
    // the reference mesh gets an enormous value, written 99999: a wire.
    for (int i = 1; i <= n; ++i) {
        const ext v = div(1.0L, div(1.0L, static_cast<ext>(s.cmeshmin)) - div(1.0L, static_cast<ext>(s.cmesh[i])));
        const bool huge = !(std::fabs(v) <= static_cast<ext>(FLT_MAX)) || std::fabs(static_cast<float>(v)) > 100000.0f;
        s.ct[i] = huge ? 99999.0f : static_cast<float>(v);
    }
    for (int i = 1; i <= kMeshes; ++i)
        w.setText(field(31 + i), fixed(s.ct[i], 5, 2));
}
