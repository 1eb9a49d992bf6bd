#pragma once
// The analyser's main window behaviour: every command handler, in the exact order of its
// effects, on the circuit, the view state and a WindowPort. The Qt layer only forwards events here.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analyser/core/view_state.h"
#include "analyser/core/window_port.h"
#include "common/touchstone.h"
#include "ladder/circuit.h"
#include "ladder/sweep_grid.h"
#include "ladder/tolerance.h"

class Analyser {
public:
    explicit Analyser(WindowPort& window);  // program start: the built-in defaults

    // Runs one command; an AppError ends it and is shown in a message box.
    void run(const std::function<void()>& command);

    // Main window activation (shown at start and on return from the About window):
    // back to the original sweep, then the circuit file is read again.
    void activate();
    // Plot command: the Plot button and a click on the window's own surface.
    void plot();
    void saveReference();    // keeps the S21 trace on screen as the reference
    void toggleS11();        // "Plot S11 " clicked: redraw with or without S11
    void toggleReference();  // "Plot Reference " clicked: redraw with or without it

    // The pointer on the window's surface, in client pixels: box zoom or cursor placing.
    void pointerMoved(int x, int y);
    void pointerPressed();
    void pointerReleased();
    void placeCursor();          // the next press places the cursor
    void resetCursor();
    void zoomToOriginalSweep();

    void openCircuit();
    void openCircuitFile(const std::string& path);  // as Open does, without the dialog
    void saveCircuitAs();
    void saveAsDefaultAndExit();
    void quit();                 // the File menu's Exit and the "exit" button
    void showAbout();

    // Measured traces from a Touchstone file, drawn over the computed ones at every plot.
    void openMeasurement();
    void loadMeasurement(const std::string& path);  // also a dropped file
    void clearMeasurement();
    void exportTouchstone();  // the plot's range as a Touchstone file (one port for .s1p)
    void exportTouchstoneOneReference();  // both ports at one reference resistance
    void savePlotImage();

    void reviewCircuit();
    void loadNewValue();         // the value editor: sets the entry's value
    // Sets each entry's value as the value editor does, then lists and plots once.
    void setValues(const std::vector<std::pair<int, double>>& values);
    void tuneUp();               // steps the tune entry up by its percentage
    void tuneDown();

    // Updates the frequency unit and file name, then draws scale, grid, cursor and traces.
    void plotResponse();
    // Puts the sweep before the first zoom back into the scale fields and plots it.
    void restoreOriginalSweep();
    // Turns the dragged box into new scale fields; the caller plots.
    void spanFromBox();
    // Fills the listing with every entry and its number.
    void listCircuit();

    Circuit circuit;
    ViewState view;
    std::string circuitfile = "startfile.cir";  // the current circuit file

    // Trace store: pixel positions of the last plot, and the saved reference.
    std::array<int, kSweepPoints> tracex{}, tracey21{}, tracey11{};
    std::array<int, kSweepPoints> refx{}, refy{};

    // S21 of a tolerance run over its trials, drawn behind the traces until cleared.
    std::vector<tolerance::EnvelopePoint> envelope;
    // A fit's circuit, whose response is drawn over the measurement until cleared.
    std::optional<Circuit> fitted;

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

    // The measurement as read (absolute frequencies), and its file.
    std::optional<Network> measurement;
    std::string measurementFile;

    // Whether the circuit in memory is the one last plotted: false from a read until the
    // next plot, so nothing shows readouts of a circuit no longer held.
    bool circuitPlotted = false;
    // The last activation's read of the circuit file got to its end.
    bool circuitReadWhole = false;
    // A circuit read whole or saved, or a measurement read, under this name: for the
    // recent files and for the mark of a circuit changed since it was read or saved.
    enum class FileUse { CircuitRead, CircuitSaved, MeasurementRead };
    std::function<void(const std::string& path, FileUse use)> onFileUsed;

private:
    // The value an entry number addresses (0, 1..partcount, 98..103); nullptr for a
    // number that addresses nothing, so no user number ever indexes past the table.
    double* entryValue(int n);
    // The step requested by tuneUp/tuneDown; the plot applies it first.
    void applyTuneStep();
    // The cursor line and its S21/S11 readout, drawn by the plot after the grid.
    void drawCursor();
    // The measured traces over the plot's range, after the computed ones.
    void drawMeasurement();
    // The tolerance envelope in light colours, drawn by the plot after the grid.
    void drawEnvelope();
    // The fitted circuit's S21 (and S11 when shown) in its own colour, over the measurement.
    void drawFitted();

    WindowPort& w;
};
