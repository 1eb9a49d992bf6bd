// The circuit listing, the value editor and the Up/Down tune buttons.

#include <string>

#include "analyser/core/analyser.h"
#include "common/numread.h"
#include "common/numtext.h"

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

void Analyser::listCircuit()
{
    const Circuit& m = circuit;
    w.memoClear(Memo::Listing);
    w.setText(Field::TunedValue, " ");
    w.memoAdd(Memo::Listing, "0  Load R = " + fixedText(m.loadr, 6, 1));
    const int parts = m.partcount < kMaxParts ? m.partcount : kMaxParts;
    for (int i = 1; i <= parts; ++i) {
        const Part& p = m.part(i);
        w.memoAdd(Memo::Listing, integerText(i) + "  " + kindText(p.partkind) + "  " + p.partconn +
                                     "  " + fixedText(p.partvalue, 10, 4));
    }
    w.memoAdd(Memo::Listing, "98  Source R = " + fixedText(m.sourcer, 6, 1));
    w.memoAdd(Memo::Listing, "99  Inductor Q = " + fixedText(m.inductorq, 6, 1));
    w.memoAdd(Memo::Listing, " ");
    if (m.crystalflag == 1) {
        w.memoAdd(Memo::Listing, "Crystal Parameters:");
        w.memoAdd(Memo::Listing, "100.  Freq.= " + fixedText(m.xtalfreq, 6, 4));
        w.memoAdd(Memo::Listing, "101.  Lm = " + fixedText(m.xtallm, 6, 4));
        w.memoAdd(Memo::Listing, "102.  Cp. " + fixedText(m.xtalcp, 6, 2));
        w.memoAdd(Memo::Listing, "103.  Qx. " + fixedText(m.xtalqx, 6, 1));
    }
}

void Analyser::reviewCircuit()
{
    listCircuit();
}

void Analyser::loadNewValue()
{
    w.memoClear(Memo::Listing);
    const int entry = readInteger(w.text(Field::EntryNumber));
    const double newValue = readNumber(w.text(Field::NewValue));
    // A number that addresses no value changes nothing, silently; listing and plot still run.
    if (double* value = entryValue(entry))
        *value = newValue;
    listCircuit();
    plotResponse();
}

void Analyser::setValues(const std::vector<std::pair<int, double>>& values)
{
    w.memoClear(Memo::Listing);
    for (const auto& [entry, newValue] : values)
        if (double* value = entryValue(entry))
            *value = newValue;
    listCircuit();
    plotResponse();
}

void Analyser::tuneUp()
{
    w.memoClear(Memo::Listing);
    view.tunepending = true;
    view.tuneup = true;
    plotResponse();
}

void Analyser::tuneDown()
{
    w.memoClear(Memo::Listing);
    view.tunepending = true;
    view.tuneup = false;
    plotResponse();
}
