#pragma once
// Sorvel as a whole: both windows, the port on them and the analyser, wired together.
// Every control and mouse event runs one analyser handler through Analyser::run, which
// shows any error in a message box; the picture is brought to screen after each.

#include <memory>

#include "analyser.h"
#include "qt_window_port.h"
#include "tolerance_window.h"
#include "windows.h"

class SorvelApp {
public:
    SorvelApp();

    // Shows the main window; its first activation follows from the event loop.
    void start();

    MainWindow& mainWindow() { return main_; }
    AboutWindow& aboutWindow() { return about_; }
    QtWindowPort& port() { return port_; }
    Analyser& analyser() { return analyser_; }
    ToleranceWindow& toleranceWindow() { return tolerance_; }

    // Runs one handler as the event loop would.
    void command(void (Analyser::*handler)());

private:
    void wireMainWindow();
    void wireAboutWindow();
    void returnFromAbout();

    MainWindow main_;
    AboutWindow about_;
    QtWindowPort port_;
    Analyser analyser_;
    ToleranceWindow tolerance_;
};
