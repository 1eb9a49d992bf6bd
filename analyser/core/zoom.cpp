// Pointer readout, box zoom, the original sweep and the cursor. Every change goes
// through the scale fields and the plot that reads them.

#include <cmath>

#include "analyser.h"
#include "checkedmath.h"
#include "numtext.h"

namespace {

constexpr int kLeft = Model::plotleft;
constexpr int kTop = Model::plottop;
constexpr int kWidth = Model::plotwidth;
constexpr int kHeight = Model::plotheight;

}  // namespace

void Analyser::pointerMoved(int x, int y)
{
    if (!plotenabled)
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
    if (!plotenabled)
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
                model.origbottom = model.bottomdb;
                model.origstart = model.startfreq;
                model.origstop = model.stopfreq;
                model.origdbperdiv = model.dbperdiv;
                model.origfreqperdiv = model.freqperdiv;
                sweepsaved = true;
            }
            dragging = true;
        }
    } else {
        cursorx = mousex;
        // Outside the plot the frequency is extrapolated on the same line.
        cursorfreq = checked::finite((model.stopfreq - model.startfreq) * (cursorx - kLeft) / kWidth +
                                     model.startfreq);
        w.setText(Field::CursorFreq, fixedText(cursorfreq, 7, 3));
        placingcursor = false;
        plotResponse();
    }
}

void Analyser::pointerReleased()
{
    if (!plotenabled || placingcursor)
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
    const Model& m = model;
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
    const Model& m = model;
    w.setText(Field::DbPerDiv, fixedText(m.origdbperdiv, 7, 3));
    w.setText(Field::BottomDb, fixedText(m.origbottom, 7, 3));
    w.setText(Field::StartFreq, fixedText(m.origstart, 7, 3));
    w.setText(Field::StopFreq, fixedText(m.origstop, 7, 3));
    w.setText(Field::FreqPerDiv, fixedText(m.origfreqperdiv, 7, 3));
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
