#pragma once
// What the main window shows of the circuit, beside the circuit itself: the plot frame, the
// top of the scale, the sweep before the first zoom, a pending tune step and whether the
// plot is drawn.

struct ViewState {
    // Plot frame in client pixels; never changes.
    static constexpr int plotleft = 50, plottop = 40, plotwidth = 400, plotheight = 300;

    double topdb = 0;
    // The original sweep, as last read from a file or saved at the first zoom.
    double origstart = 0, origstop = 30, origbottom = -100, origdbperdiv = 10, origfreqperdiv = 2;

    // Tune step requested by Up/Down and applied by the next plot.
    bool tunepending = false;
    bool tuneup = true;

    bool plotenabled = false;
};
