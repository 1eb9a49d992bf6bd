// The circuit listing, the value editor and the Up/Down tune buttons.

#include <string>

#include "analyser.h"
#include "numread.h"
#include "numtext.h"

namespace {

// Duplicates are spelled out; every other kind is listed as stored.
std::string kindText(const std::string& kind)
{
    if (kind == "duc")
        return "dupe cap";
    if (kind == "dul")
        return "dupe ind";
    if (kind == "dur")
        return "dupe res";
    return kind;
}

}  // namespace

void Analyser::circuitreview()
{
    const Model& m = model;
    w.memoClear("Memo2");
    w.setText("Edit19", " ");
    w.memoAdd("Memo2", "0  Load R = " + fixedText(m.loadr, 6, 1));
    const int parts = m.partcount < kMaxParts ? m.partcount : kMaxParts;
    for (int i = 1; i <= parts; ++i) {
        const Part& p = m.part(i);
        w.memoAdd("Memo2", integerText(i) + "  " + kindText(p.partkind) + "  " + p.partconn + "  " +
                               fixedText(p.partvalue, 10, 4));
    }
    w.memoAdd("Memo2", "98  Source R = " + fixedText(m.sourcer, 6, 1));
    w.memoAdd("Memo2", "99  Inductor Q = " + fixedText(m.inductorq, 6, 1));
    w.memoAdd("Memo2", " ");
    if (m.crystalflag == 1) {
        w.memoAdd("Memo2", "Crystal Parameters:");
        w.memoAdd("Memo2", "100.  Freq.= " + fixedText(m.xtalfreq, 6, 4));
        w.memoAdd("Memo2", "101.  Lm = " + fixedText(m.xtallm, 6, 4));
        w.memoAdd("Memo2", "102.  Cp. " + fixedText(m.xtalcp, 6, 2));
        w.memoAdd("Memo2", "103.  Qx. " + fixedText(m.xtalqx, 6, 1));
    }
}

void Analyser::Button4Click()
{
    circuitreview();
}

void Analyser::Button5Click()
{
    w.memoClear("Memo2");
    const int n = readInteger(w.text("Edit10"));
    const double x = readNumber(w.text("Edit15"));
    // A number that addresses no value changes nothing, silently; listing and plot still run.
    if (double* value = entryValue(n))
        *value = x;
    circuitreview();
    plotthestuff();
}

void Analyser::Button9Click()
{
    w.memoClear("Memo2");
    model.tunepending = true;
    model.tuneup = true;
    plotthestuff();
}

void Analyser::Button12Click()
{
    w.memoClear("Memo2");
    model.tunepending = true;
    model.tuneup = false;
    plotthestuff();
}
