#pragma once
// The analyser's main window behaviour: every command handler, in the exact order of its
// effects, on the model and a WindowPort. The Qt layer only forwards events here.

#include <array>
#include <functional>

#include "model.h"
#include "window_port.h"

constexpr int kSweepPoints = 1000;

// The plot's sweep: from startfreq - step a thousandth of the span is added repeatedly,
// so the points lie where repeated addition puts them (the first is not always startfreq
// itself), and stopfreq is never reached.
std::array<double, kSweepPoints> sweepFrequencies(double startfreq, double stopfreq);

class Analyser {
public:
    explicit Analyser(WindowPort& window);  // program start: the built-in defaults

    // Runs one command; an AppError ends it and is shown in a message box.
    void run(const std::function<void()>& command);

    // Main window activation (shown at start and on return from the About window).
    void Button6Click();
    // Plot command: the Plot button and a click on the window's own surface.
    void Button3Click();
    void Button8Click();     // "Save S21 as Ref."
    void CheckBox2Click();   // "Plot S11 "
    void CheckBox3Click();   // "Plot Reference "

    void FormMouseMove(int x, int y);
    void FormMouseDown();
    void FormMouseUp();
    void Button11Click();    // " Place Cursor"
    void Button2Click();     // "Reset Cursor"
    void Button10Click();    // "Zoom to Original Sweep"

    void Open1Click();
    void SaveAs1Click();
    void Exit1Click();
    void Button1Click();     // "Save as Default File and Exit."
    void Button13Click();    // "exit"
    void AboutSorvel1Click();

    void Button4Click();     // "Click to Review Circuit"
    void Button5Click();     // " Click to load new value "
    void Button9Click();     // "Up"
    void Button12Click();    // "Down"

    void plotthestuff();
    void zoomout();
    void newspan();
    void circuitreview();

    Model model;

    // Trace store: pixel positions of the last plot, and the saved reference.
    std::array<int, kSweepPoints> tracex{}, tracey21{}, tracey11{};
    std::array<int, kSweepPoints> refx{}, refy{};

    bool plotenabled = false;

    // Pointer, box zoom and cursor.
    int mousex = 0, mousey = 0;
    bool placingcursor = false;
    bool dragging = false;
    bool boxvalid = false;
    int boxstartx = 0, boxstarty = 0, boxendx = 0, boxendy = 0;
    bool sweepsaved = false;
    double newstart = 0, newstop = 0, newfreqperdiv = 0, newbottom = 0;
    double cursorfreq = 0;
    int cursorx = 0;

private:
    // The value an entry number addresses (0, 1..partcount, 98..103); nullptr for a
    // number that addresses nothing, so no user number ever indexes past the table.
    double* entryValue(int n);
    // The Up/Down step requested by Button9Click/Button12Click; the plot applies it first.
    void applyTuneStep();
    // The cursor line and its S21/S11 readout, drawn by the plot after the grid.
    void drawCursor();

    WindowPort& w;
};
