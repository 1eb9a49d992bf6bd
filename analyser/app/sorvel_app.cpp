#include "sorvel_app.h"

#include <QAbstractButton>
#include <QAction>

SorvelApp::SorvelApp() : port_(main_, about_), analyser_(port_), tolerance_(analyser_)
{
    wireMainWindow();
    wireAboutWindow();
    tolerance_.replot = [this] { command(&Analyser::plot); };
}

void SorvelApp::command(void (Analyser::*handler)())
{
    analyser_.run([this, handler] { (analyser_.*handler)(); });
    port_.flush();
    // Any command may have changed the circuit or its sweep under a tolerance run.
    tolerance_.circuitMayHaveChanged();
}

void SorvelApp::wireMainWindow()
{
    struct Binding {
        ControlId control;
        void (Analyser::*handler)();
    };
    // Buttons and check boxes, clicked by the user; setting a check box in code runs nothing.
    const Binding clicks[] = {
        {Command::Plot, &Analyser::plot},
        {Command::SaveReference, &Analyser::saveReference},
        {Check::PlotS11, &Analyser::toggleS11},
        {Check::PlotReference, &Analyser::toggleReference},
        {Command::PlaceCursor, &Analyser::placeCursor},
        {Command::ResetCursor, &Analyser::resetCursor},
        {Command::ZoomToOriginalSweep, &Analyser::zoomToOriginalSweep},
        {Command::ReviewCircuit, &Analyser::reviewCircuit},
        {Command::LoadNewValue, &Analyser::loadNewValue},
        {Command::TuneUp, &Analyser::tuneUp},
        {Command::TuneDown, &Analyser::tuneDown},
        {Command::SaveAsDefaultAndExit, &Analyser::saveAsDefaultAndExit},
        {Command::QuitButton, &Analyser::quit},
    };
    for (const Binding& b : clicks) {
        auto* button = qobject_cast<QAbstractButton*>(main_.control(b.control));
        QObject::connect(button, &QAbstractButton::clicked, &main_,
                         [this, h = b.handler] { command(h); });
    }

    const std::pair<Command, void (Analyser::*)()> menu[] = {
        {Command::OpenCircuit, &Analyser::openCircuit},
        {Command::SaveCircuitAs, &Analyser::saveCircuitAs},
        {Command::Quit, &Analyser::quit},
        {Command::ShowAbout, &Analyser::showAbout},
    };
    for (const auto& [item, handler] : menu)
        QObject::connect(main_.action(item), &QAction::triggered, &main_,
                         [this, h = handler] { command(h); });
    QObject::connect(main_.action(Command::ShowTolerance), &QAction::triggered, &main_, [this] {
        tolerance_.show();
        tolerance_.raise();
        tolerance_.activateWindow();
    });

    ClientArea* client = main_.client();
    client->onMove = [this](int x, int y) {
        analyser_.run([this, x, y] { analyser_.pointerMoved(x, y); });
        port_.flush();
    };
    client->onPress = [this] { command(&Analyser::pointerPressed); };
    client->onClick = [this] { command(&Analyser::plot); };
    client->onRelease = [this] { command(&Analyser::pointerReleased); };

    main_.onShown = [this] { command(&Analyser::activate); };
}

void SorvelApp::wireAboutWindow()
{
    auto* back = qobject_cast<QAbstractButton*>(about_.control(Command::ReturnToProgram));
    QObject::connect(back, &QAbstractButton::clicked, &about_, [this] { returnFromAbout(); });
    about_.onClose = [this] { returnFromAbout(); };
}

void SorvelApp::returnFromAbout()
{
    about_.hide();
    main_.show();  // shown again: the activation handler runs
}

void SorvelApp::start() { main_.show(); }
