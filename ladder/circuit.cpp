#include "model.h"

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

void Model::setKind(int n, const std::string& kind)
{
    parts[n].partkind = kind;
    parts[n].partcode = partCodeOf(kind);
}

Model Model::startup()
{
    Model m;
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

void Model::resetBeforeRead()
{
    tunepending = false;
    tuneup = true;
    for (int n = 1; n <= kMaxParts + 1; ++n)
        parts[n] = Part{"wir", "ser", 0, kNoPart};
    sourcer = 50;
    loadr = 50;
    crystalflag = 0;
    inductorq = 250;
    frequnit = "MHz";
}
