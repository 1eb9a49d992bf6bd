#pragma once
// Sorvel as a whole: both windows, the port on them and the analyser, wired together.
// Every control and mouse event runs one analyser handler through Analyser::run, which
// shows any error in a message box; the picture is brought to screen after each.

#include <memory>

#include "analyser/core/analyser.h"
#include "analyser/app/edit_history.h"
#include "analyser/app/fit_window.h"
#include "analyser/app/large_plot_window.h"
#include "analyser/app/instrument_panel.h"
#include "analyser/app/qt_window_port.h"
#include "analyser/app/response_window.h"
#include "analyser/app/tolerance_window.h"
#include "analyser/app/windows.h"

class SorvelApp {
public:
    SorvelApp();

    // Shows the main window; its first activation follows from the event loop.
    void start();

    MainWindow& mainWindow() { return main_; }
    AboutWindow& aboutWindow() { return about_; }
    ResponseWindow& responseWindow() { return response_; }
    QtWindowPort& port() { return port_; }
    Analyser& analyser() { return analyser_; }
    ToleranceWindow& toleranceWindow() { return tolerance_; }
    FitWindow& fitWindow() { return fit_; }
    InstrumentPanel& instrumentPanel() { return *instrument_; }

    // Runs one handler as the event loop would.
    void command(void (Analyser::*handler)());

    // Shows the Response window beside the main one, filled from the last plot.
    void showResponse();
    // Fills it again; after every plot while it is open.
    void updateResponse();
    // Whether the Response window was open when the program last ended.
    static bool responseWasOpen();

    EditHistory& history() { return history_; }
    LargePlotWindow& largePlot() { return large_; }
    // Shows View > Large Plot beside the main window, and fills it again after every plot.
    void showLargePlot();
    void updateLargePlot();
    // Asked on closing with changes not saved: Save, Discard or Cancel (a test answers it).
    enum class Unsaved { Save, Discard, Cancel };
    std::function<Unsaved()> askUnsaved;

private:
    void wireMainWindow();
    void wireAboutWindow();
    void returnFromAbout();
    void wireResponseWindow();
    void wireEditing();
    bool mayClose();
    void showChanged(bool changed);

    MainWindow main_;
    AboutWindow about_;
    ResponseWindow response_;
    LargePlotWindow large_;
    bool quitting_ = false;  // windows closing with the program keep their setting
    QtWindowPort port_;
    Analyser analyser_;
    EditHistory history_;
    bool exitAtOnce_ = false;  // the "exit" button ends the program without asking
    ToleranceWindow tolerance_;
    FitWindow fit_;
    std::unique_ptr<InstrumentPanel> instrument_;  // the Instrument menu and its window
};
