// Pointer readout, box zoom, the original sweep and the cursor. Every change goes
// through the scale fields and the plot that reads them.

#include <cmath>

#include "analyser/core/analyser.h"
#include "common/checkedmath.h"
#include "common/numtext.h"

namespace {

constexpr int kLeft = ViewState::plotleft;
constexpr int kTop = ViewState::plottop;
constexpr int kWidth = ViewState::plotwidth;
constexpr int kHeight = ViewState::plotheight;

}  // namespace

void Analyser::pointerMoved(int x, int y)
{
    if (!view.plotenabled)
        return;
    mousex = x;
    mousey = y;
    if (dragging && !placingcursor) {
        // Pen and fill are what the last plot left. Old boxes stay until the next plot.
        w.canvas().rectangle(boxstartx, kTop + 5, mousex, mousey);
    }
    w.setText(Field::PointerX, integerText(mousex));
    w.setText(Field::PointerY, integerText(mousey));
}

void Analyser::pointerPressed()
{
    if (!view.plotenabled)
        return;
    if (!placingcursor) {
        boxstartx = mousex;
        boxstarty = mousey;
        // Inside for left < x <= right and top < y <= bottom: an edge press starts no box.
        if (boxstartx > kLeft && boxstarty > kTop)
            boxvalid = true;
        if (boxstartx > kLeft + kWidth || boxstarty > kTop + kHeight)
            boxvalid = false;
        if (boxvalid) {
            if (!sweepsaved) {
                // The scale of the picture on screen, as the last plot read it.
                view.origbottom = circuit.bottomdb;
                view.origstart = circuit.startfreq;
                view.origstop = circuit.stopfreq;
                view.origdbperdiv = circuit.dbperdiv;
                view.origfreqperdiv = circuit.freqperdiv;
                sweepsaved = true;
            }
            dragging = true;
        }
    } else {
        cursorx = mousex;
        // Outside the plot the frequency is extrapolated on the same line.
        cursorfreq = checked::finite((circuit.stopfreq - circuit.startfreq) * (cursorx - kLeft) / kWidth +
                                     circuit.startfreq);
        w.setText(Field::CursorFreq, fixedText(cursorfreq, 7, 3));
        placingcursor = false;
        plotResponse();
    }
}

void Analyser::pointerReleased()
{
    if (!view.plotenabled || placingcursor)
        return;
    boxendx = mousex;
    boxendy = mousey;
    dragging = false;
    // Edges count as inside here, unlike the press.
    if (boxendx < kLeft || boxendy < kTop || boxendx > kLeft + kWidth || boxendy > kTop + kHeight)
        boxvalid = false;
    if (boxvalid)
        spanFromBox();
    boxvalid = false;
    if (w.checked(Check::PlotReference)) {
        // Unchecking a check box from code runs its click handler, which plots.
        w.setChecked(Check::PlotReference, false);
        toggleReference();
    }
    plotResponse();
}

void Analyser::spanFromBox()
{
    if (boxendx == boxstartx || boxendy == boxstarty)
        return;
    const Circuit& m = circuit;
    const double span = m.stopfreq - m.startfreq;
    // A scale near the largest double can overflow here; no field ever shows an infinity.
    newstart = checked::finite(span * (boxstartx - kLeft) / kWidth + m.startfreq);
    newstop = checked::finite(span * (boxendx - kLeft) / kWidth + m.startfreq);
    newfreqperdiv = checked::finite(std::fabs((newstop - newstart) * 0.2));
    // The span must stay at least a thousandth of the frequency under the press.
    if (checked::div(newstart, newfreqperdiv) > 5000) {
        w.message("Program cannot zoom that far.");
        return;
    }
    w.setText(Field::FreqPerDiv, fixedText(newfreqperdiv, 10, 4));
    w.setText(Field::StartFreq, fixedText(newstart, 10, 4));
    w.setText(Field::StopFreq, fixedText(newstop, 10, 4));
    if (newstart > newstop) {
        // Dragged right to left: the start is always the lower frequency.
        w.setText(Field::StartFreq, fixedText(newstop, 10, 4));
        w.setText(Field::StopFreq, fixedText(newstart, 10, 4));
    }
    newbottom = -std::fabs(checked::finite(double(boxendy - kTop) * m.bottomdb / kHeight));
    w.setText(Field::BottomDb, fixedText(newbottom, 10, 4));
}

void Analyser::restoreOriginalSweep()
{
    w.setText(Field::DbPerDiv, fixedText(view.origdbperdiv, 7, 3));
    w.setText(Field::BottomDb, fixedText(view.origbottom, 7, 3));
    w.setText(Field::StartFreq, fixedText(view.origstart, 7, 3));
    w.setText(Field::StopFreq, fixedText(view.origstop, 7, 3));
    w.setText(Field::FreqPerDiv, fixedText(view.origfreqperdiv, 7, 3));
    sweepsaved = false;
    plotResponse();
}

void Analyser::zoomToOriginalSweep()
{
    restoreOriginalSweep();
}

void Analyser::placeCursor()
{
    placingcursor = true;
}

void Analyser::resetCursor()
{
    w.setText(Field::CursorFreq, "0.0");
    w.setText(Field::CursorS21, "--");
    w.setText(Field::CursorS11, "--");
    plotResponse();
}
