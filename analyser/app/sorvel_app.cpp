#include "analyser/app/sorvel_app.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include "analyser/core/response_report.h"
#include "analyser/app/recent_files.h"
#include "analyser/core/step_view.h"
#include "desktop/window_placement.h"
#include "ladder/circuit_file.h"
#include "ladder/readouts/measured_response.h"

namespace {

// The program's only setting.
constexpr const char* kResponseOpenKey = "responseWindow/open";

QSettings settings() { return QSettings("ladderbench", "Sorvel"); }

}  // namespace

SorvelApp::SorvelApp()
    : port_(main_, about_), analyser_(port_), history_(analyser_, [this] {
          port_.flush();
          tolerance_.circuitMayHaveChanged();
      }),
      tolerance_(analyser_), fit_(analyser_)
{
    wireMainWindow();
    wireEditing();
    wireAboutWindow();
    wireResponseWindow();
    tolerance_.replot = [this] { command(&Analyser::plot); };
    fit_.replot = [this] { command(&Analyser::plot); };
    fit_.command = [this](const std::function<void()>& change) {
        analyser_.run(change);
        port_.flush();
        tolerance_.circuitMayHaveChanged();
    };
    desktop::keepBeside(&fit_, &main_, "Sorvel", "fit");
    desktop::keepBeside(&response_, &main_, "Sorvel", "response");
    desktop::keepBeside(&tolerance_, &main_, "Sorvel", "tolerance");
    desktop::keepBeside(&large_, &main_, "Sorvel", "largePlot");
    instrument_ = std::make_unique<InstrumentPanel>(
        main_, analyser_, [this] { command(&Analyser::plotResponse); },
        [this](const std::string& text) { port_.showMessage(text); });
}

void SorvelApp::command(void (Analyser::*handler)())
{
    auto run = [this, handler] { analyser_.run([this, handler] { (analyser_.*handler)(); }); };
    if (handler == &Analyser::loadNewValue)
        history_.record(run, "New Value");
    else if (handler == &Analyser::tuneUp)
        history_.record(run, "Tune Up");
    else if (handler == &Analyser::tuneDown)
        history_.record(run, "Tune Down");
    else
        run();
    // Every activation reads the file again: the steps before it were of another circuit.
    if (handler == &Analyser::activate)
        history_.forget();
    port_.flush();
    // Any command may have changed the circuit or its sweep under a tolerance run.
    tolerance_.circuitMayHaveChanged();
    fit_.circuitMayHaveChanged();
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
    };
    for (const Binding& b : clicks) {
        auto* button = qobject_cast<QAbstractButton*>(main_.control(b.control));
        QObject::connect(button, &QAbstractButton::clicked, &main_,
                         [this, h = b.handler] { command(h); });
    }

    auto* exitButton = qobject_cast<QAbstractButton*>(main_.control(Command::QuitButton));
    QObject::connect(exitButton, &QAbstractButton::clicked, &main_, [this] {
        exitAtOnce_ = true;
        command(&Analyser::quit);
        exitAtOnce_ = false;
    });

    const std::pair<Command, void (Analyser::*)()> menu[] = {
        {Command::OpenCircuit, &Analyser::openCircuit},
        {Command::SaveCircuitAs, &Analyser::saveCircuitAs},
        {Command::Quit, &Analyser::quit},
        {Command::ShowAbout, &Analyser::showAbout},
        {Command::OpenMeasurement, &Analyser::openMeasurement},
        {Command::ClearMeasurement, &Analyser::clearMeasurement},
        {Command::ExportTouchstone, &Analyser::exportTouchstone},
        {Command::ExportTouchstoneOneReference, &Analyser::exportTouchstoneOneReference},
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
    QObject::connect(main_.action(Command::ShowFit), &QAction::triggered, &main_, [this] {
        fit_.show();
        fit_.raise();
        fit_.activateWindow();
    });
    QObject::connect(main_.action(Command::ShowResponse), &QAction::triggered, &main_, [this] { showResponse(); });
}

void SorvelApp::wireEditing()
{
    auto* edit = new QMenu("&Edit", &main_);
    edit->setObjectName("editMenu");
    main_.menuBar()->insertMenu(main_.action(Command::ShowAbout), edit);
    QAction* undo = history_.stack().createUndoAction(edit, "&Undo");
    undo->setObjectName("undo");
    undo->setShortcuts(QKeySequence::Undo);
    QAction* redo = history_.stack().createRedoAction(edit, "&Redo");
    redo->setObjectName("redo");
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence("Ctrl+Shift+Z")))
        redoKeys.prepend(QKeySequence("Ctrl+Shift+Z"));
    redo->setShortcuts(redoKeys);
    edit->addAction(undo);
    edit->addAction(redo);
    auto* view = new QMenu("&View", &main_);
    view->setObjectName("viewMenu");
    main_.menuBar()->insertMenu(main_.action(Command::ShowAbout), view);
    QAction* large = view->addAction("&Large Plot");
    large->setObjectName("largePlot");
    QObject::connect(large, &QAction::triggered, &main_, [this] { showLargePlot(); });

    QObject::connect(&history_.stack(), &QUndoStack::cleanChanged, &main_, [this](bool clean) { showChanged(!clean); });

    // Before the separator above Exit.
    if (auto* file = main_.findChild<QMenu*>(kFileMenuName)) {
        QAction* beforeExit = nullptr;
        for (QAction* a : file->actions())
            if (a->objectName() == "N1")
                beforeExit = a;
        recent::addMenu(file, beforeExit, [this](const std::string& path) {
            analyser_.run([&] {
                if (isMeasurementFile(path))
                    analyser_.loadMeasurement(path);
                else
                    analyser_.openCircuitFile(path);
            });
            port_.flush();
            tolerance_.circuitMayHaveChanged();
        });
    }

    analyser_.onFileUsed = [this](const std::string& path, Analyser::FileUse use) {
        if (use == Analyser::FileUse::CircuitRead)
            history_.forget();
        else if (use == Analyser::FileUse::CircuitSaved)
            history_.markSaved();
        recent::add(path);
    };

    askUnsaved = [this] {
        QMessageBox box(QMessageBox::Question, "Sorvel",
                        "The circuit has changed since it was read or saved. Save it before closing?",
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, &main_);
        box.setDefaultButton(QMessageBox::Save);
        switch (box.exec()) {
        case QMessageBox::Save: return Unsaved::Save;
        case QMessageBox::Discard: return Unsaved::Discard;
        default: return Unsaved::Cancel;
        }
    };
    main_.onCloseRequested = [this] { return mayClose(); };
}

bool SorvelApp::mayClose()
{
    if (exitAtOnce_ || !history_.changed())
        return true;
    switch (askUnsaved()) {
    case Unsaved::Discard:
        return true;
    case Unsaved::Cancel:
        return false;
    case Unsaved::Save:
        break;
    }
    bool saved = false;
    analyser_.run([this, &saved] {
        writeCircuitFile(analyser_.circuitfile, analyser_.circuit);
        saved = true;
    });
    if (saved) {
        history_.markSaved();
        recent::add(analyser_.circuitfile);
    }
    return saved;
}

void SorvelApp::showChanged(bool changed)
{
    // Marked before the name, where a short title shows it.
    main_.setWindowTitle(changed ? "* Sorvel, 2008 " : "Sorvel, 2008 ");
    main_.setWindowModified(changed);
}

void SorvelApp::wireResponseWindow()
{
    port_.onPlotFinished = [this] {
        if (response_.isVisible())
            updateResponse();
        if (large_.isVisible())
            updateLargePlot();
    };
    response_.onStepWanted = [this] { updateResponse(); };
    response_.onOpenChanged = [this](bool open) {
        if (!quitting_)
            settings().setValue(kResponseOpenKey, open);
    };
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, &response_, [this] {
        quitting_ = true;
        response_.close();
        large_.close();
    });
}

bool SorvelApp::responseWasOpen() { return settings().value(kResponseOpenKey, false).toBool(); }

void SorvelApp::showResponse()
{
    if (!response_.isVisible())
        response_.show();  // placed beside the main window by keepBeside
    response_.raise();
    updateResponse();
}

void SorvelApp::showLargePlot()
{
    if (!large_.isVisible())
        large_.show();
    large_.raise();
    updateLargePlot();
}

void SorvelApp::updateLargePlot()
{
    const TraceView view{port_.checked(Check::PlotS11), port_.checked(Check::PlotReference)};
    try {
        large_.showTraces(collectTraces(analyser_, view), plotScale(analyser_));
    } catch (const AppError& e) {
        large_.showError(e.what());
    }
}

void SorvelApp::updateResponse()
{
    const Analyser& a = analyser_;
    if (!a.circuitPlotted) {
        response_.showNotPlotted(a.circuitfile);
        return;
    }
    try {
        const ResponseReport report = makeResponseReport(a.circuit, a.cursorfreq, a.measurement ? &*a.measurement : nullptr);
        response_.showReport(report);
        if (response_.stepShown())
            response_.showStep(makeStepView(a.circuit, report.computed));
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
