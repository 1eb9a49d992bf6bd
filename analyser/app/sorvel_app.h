#pragma once
// Sorvel as a whole: both windows, the port on them and the analyser, wired together.
// Every control and mouse event runs one analyser handler through Analyser::run, which
// shows any error in a message box; the picture is brought to screen after each.

#include <memory>

#include "analyser/core/analyser.h"
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
    InstrumentPanel& instrumentPanel() { return *instrument_; }

    // Runs one handler as the event loop would.
    void command(void (Analyser::*handler)());

    // Shows the Response window beside the main one, filled from the last plot.
    void showResponse();
    // Fills it again; after every plot while it is open.
    void updateResponse();
    // Whether the Response window was open when the program last ended.
    static bool responseWasOpen();

private:
    void wireMainWindow();
    void wireAboutWindow();
    void returnFromAbout();
    void wireResponseWindow();

    MainWindow main_;
    AboutWindow about_;
    ResponseWindow response_;
    bool quitting_ = false;  // windows closing with the program keep their setting
    QtWindowPort port_;
    Analyser analyser_;
    ToleranceWindow tolerance_;
    std::unique_ptr<InstrumentPanel> instrument_;  // the Instrument menu and its window
};
