#include "analyser/core/circuit_loader.h"

#include "common/numtext.h"
#include "ladder/circuit_file.h"

void loadCircuitFile(const std::string& path, Circuit& circuit, ViewState& view, WindowPort& w)
{
    w.canvas().rectangle(ViewState::plotleft, ViewState::plottop, ViewState::plotleft + ViewState::plotwidth,
                         ViewState::plottop + ViewState::plotheight);
    view.tunepending = false;
    view.tuneup = true;
    w.memoClear(Memo::Listing);
    circuit = clearedForRead(circuit);

    const CircuitRead read = readCircuit(readFileText(path), circuit);
    circuit = read.circuit;
    if (read.sweepRead) {
        const Circuit& c = circuit;
        w.setText(Field::StartFreq, fixedText(c.startfreq, 6, 2));
        w.setText(Field::StopFreq, fixedText(c.stopfreq, 6, 2));
        w.setText(Field::BottomDb, fixedText(c.bottomdb, 6, 2));
        w.setText(Field::DbPerDiv, fixedText(c.dbperdiv, 6, 2));
        w.setText(Field::FreqPerDiv, fixedText(c.freqperdiv, 6, 2));
        w.setText(Field::FreqUnit, c.frequnit);
        view.origbottom = c.bottomdb;
        view.origstart = c.startfreq;
        view.origstop = c.stopfreq;
        view.origdbperdiv = c.dbperdiv;
        view.origfreqperdiv = c.freqperdiv;
    }
    if (!read.ok())
        read.rethrow();
}
