#include "analyser/app/sorvel_app.h"

#include <QAbstractButton>
#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include "analyser/core/response_report.h"

namespace {

// The program's only setting.
constexpr const char* kResponseOpenKey = "responseWindow/open";

QSettings settings() { return QSettings("ladderbench", "Sorvel"); }

}  // namespace

SorvelApp::SorvelApp() : port_(main_, about_), analyser_(port_), tolerance_(analyser_)
{
    wireMainWindow();
    wireAboutWindow();
    wireResponseWindow();
    tolerance_.replot = [this] { command(&Analyser::plot); };
    instrument_ = std::make_unique<InstrumentPanel>(
        main_, analyser_, [this] { command(&Analyser::plotResponse); },
        [this](const std::string& text) { port_.showMessage(text); });
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
        {Command::OpenMeasurement, &Analyser::openMeasurement},
        {Command::ClearMeasurement, &Analyser::clearMeasurement},
        {Command::ExportTouchstone, &Analyser::exportTouchstone},
        {Command::SavePlotImage, &Analyser::savePlotImage},
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
    main_.onMeasurementDropped = [this](const std::string& path) {
        analyser_.run([this, &path] { analyser_.loadMeasurement(path); });
        port_.flush();
    };
    QObject::connect(main_.action(Command::ShowResponse), &QAction::triggered, &main_, [this] { showResponse(); });
}

void SorvelApp::wireResponseWindow()
{
    port_.onPlotFinished = [this] {
        if (response_.isVisible())
            updateResponse();
    };
    response_.onOpenChanged = [this](bool open) {
        if (!quitting_)
            settings().setValue(kResponseOpenKey, open);
    };
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, &response_, [this] {
        quitting_ = true;
        response_.close();
    });
}

bool SorvelApp::responseWasOpen() { return settings().value(kResponseOpenKey, false).toBool(); }

void SorvelApp::showResponse()
{
    if (!response_.isVisible()) {
        // Beside the main window, or over its right part where the screen ends.
        const QRect main = main_.frameGeometry();
        QPoint at(main.right() + 8, main.top());
        if (const QScreen* screen = main_.screen()) {
            const QRect free = screen->availableGeometry();
            at.setX(std::min(at.x(), free.right() - response_.width()));
            at.setX(std::max(at.x(), free.left()));
        }
        response_.move(at);
        response_.show();
    }
    response_.raise();
    updateResponse();
}

void SorvelApp::updateResponse()
{
    const Analyser& a = analyser_;
    try {
        response_.showReport(makeResponseReport(a.circuit, a.cursorfreq, a.measurement ? &*a.measurement : nullptr));
    } catch (const AppError& e) {
        response_.showError(e.what());
    }
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
