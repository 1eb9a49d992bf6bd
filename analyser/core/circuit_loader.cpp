#include "analyser/core/circuit_loader.h"

#include "common/errors.h"
#include "common/file_text.h"
#include "common/numtext.h"

namespace {

void erasePlotArea(ViewState& view, WindowPort& w)
{
    w.canvas().rectangle(ViewState::plotleft, ViewState::plottop, ViewState::plotleft + ViewState::plotwidth,
                         ViewState::plottop + ViewState::plotheight);
    view.tunepending = false;
    view.tuneup = true;
    w.memoClear(Memo::Listing);
}

void showSweep(const Circuit& c, ViewState& view, WindowPort& w)
{
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

}  // namespace

void loadCircuitFile(const std::string& path, Circuit& circuit, ViewState& view, WindowPort& w, bool namePlace)
{
    erasePlotArea(view, w);
    circuit = clearedForRead(circuit);
    const CircuitRead read = readCircuit(readFileText(path), circuit);
    circuit = read.circuit;
    if (read.sweepRead)
        showSweep(circuit, view, w);
    if (!read.ok() && namePlace)
        throwReadFailure(read, path);
    if (!read.ok())
        read.rethrow();
}

void showCircuitRead(const CircuitRead& read, Circuit& circuit, ViewState& view, WindowPort& w)
{
    erasePlotArea(view, w);
    circuit = read.circuit;
    if (read.sweepRead)
        showSweep(circuit, view, w);
    if (!read.ok())
        read.rethrow();
}

void throwReadFailure(const CircuitRead& read, const std::string& path)
{
    std::string text;
    try {
        read.rethrow();
    } catch (const std::exception& e) {
        text = e.what();
    }
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    throw AppError(text + "\n" + name + ", line " + std::to_string(read.errorLine));
}
