#include "ladder/circuit.h"

int partCodeOf(const std::string& kind)
{
    static const struct {
        const char* kind;
        int code;
    } kinds[] = {
        {"cap", kCap}, {"ind", kInd}, {"res", kRes}, {"rlb", kRlb}, {"duc", kDupCap},
        {"dul", kDupInd}, {"dur", kDupRes}, {"xtl", kXtl}, {"wir", kWir},
    };
    for (const auto& k : kinds)
        if (kind == k.kind)
            return k.code;
    return kNoPart;
}

void Circuit::setKind(int n, const std::string& kind)
{
    parts[n].partkind = kind;
    parts[n].partcode = partCodeOf(kind);
}

Circuit Circuit::startup()
{
    Circuit m;
    m.partcount = 10;
    const struct {
        const char* kind;
        const char* conn;
        double value;
    } defaults[] = {
        {"cap", "par", 248}, {"cap", "ser", 50}, {"ind", "par", 1500}, {"cap", "par", 292},
        {"cap", "ser", 4.3}, {"dul", "par", 3},  {"duc", "par", 4},    {"cap", "ser", 50},
        {"cap", "par", 248}, {"rlb", "ser", 0},
    };
    int n = 1;
    for (const auto& d : defaults) {
        m.setKind(n, d.kind);
        m.parts[n].partconn = d.conn;
        m.parts[n].partvalue = d.value;
        ++n;
    }
    return m;
}

bool sameResponse(const Circuit& a, const Circuit& b)
{
    if (a.partcount != b.partcount || a.loadr != b.loadr || a.sourcer != b.sourcer ||
        a.inductorq != b.inductorq || a.crystalflag != b.crystalflag || a.xtalfreq != b.xtalfreq ||
        a.xtallm != b.xtallm || a.xtalcp != b.xtalcp || a.xtalqx != b.xtalqx || a.startfreq != b.startfreq ||
        a.stopfreq != b.stopfreq)
        return false;
    // Every entry: a duplicate may name one beyond the part count.
    for (int n = 1; n <= kMaxParts; ++n) {
        const Part& p = a.part(n);
        const Part& q = b.part(n);
        if (p.partcode != q.partcode || p.partvalue != q.partvalue || p.partconn != q.partconn)
            return false;
    }
    return true;
}
