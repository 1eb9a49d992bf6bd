#include "designer/app/mirabo_app.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QStyleFactory>

#include "designer/app/control_table.h"
#include "designer/core/design_inputs.h"
#include "designer/core/loss_correction.h"
#include "designer/core/memory_port.h"
#include "common/numread.h"
#include "common/numtext.h"
#include "designer/core/realized.h"
#include "designer/app/schematic.h"
#include "desktop/window_placement.h"

namespace {

const QColor kOutOfDateText(150, 150, 150);

// Runs a command on a click anywhere in a panel.
class PanelClick : public QObject {
public:
    PanelClick(QObject* parent, std::function<void()> command) : QObject(parent), run(std::move(command)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            run();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> run;
};

// Connects a button's click to `command`.
void onClick(const Controls& controls, ControlId button, std::function<void()> command)
{
    auto* b = controlAs<QAbstractButton>(controls, button);
    Q_ASSERT_X(b, "onClick", "no such button in the window's table");
    QObject::connect(b, &QAbstractButton::clicked, std::move(command));
}

}  // namespace

void setUpMiraboLook()
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
}

MiraboApp::MiraboApp()
    : main(QStringLiteral("Mirabo08:  Crystal Ladder Filter Design "), 642, 541),
      help(QStringLiteral("Mirabo Help"), 693, 463),
      kandq(QStringLiteral("k and q calculations"), 589, 491),
      about(QStringLiteral("About Mirabo"), 630, 364)
{
    mainControls = buildControls(main.client(), mainWindowControls());
    helpControls = buildControls(&help, helpWindowControls());
    kandqControls = buildControls(&kandq, kandqWindowControls());
    aboutControls = buildControls(&about, aboutWindowControls());
    controlAs<QLabel>(helpControls, help::Picture::Schematic)->setPixmap(drawSchematic());
    helpControls.at(help::Memo::Text)->setProperty("readOnly", true);

    for (QWidget* w : std::initializer_list<QWidget*>{&main, &help, &kandq, &about})
        centreOnScreen(*w);
    // The measurement windows open beside the main window, never over its steps.
    desktop::keepBeside(&measure, &main, QStringLiteral("Mirabo"), QStringLiteral("measure"));
    desktop::keepBeside(&matchedSet, &main, QStringLiteral("Mirabo"), QStringLiteral("matchedSet"));
    desktop::keepBeside(&realized, &main, QStringLiteral("Mirabo"), QStringLiteral("realized"));
    desktop::keepBeside(&rounding, &main, QStringLiteral("Mirabo"), QStringLiteral("round"));
    wireMain();
    wireKandQ();
    wireHelp();
    wireAbout();
    wireMeasurements();
    wireDesignFiles();
}

void MiraboApp::wireMain()
{
    using design::Command;
    auto on = [this](Command button, void (Designer::*handler)()) {
        onClick(mainControls, button, [this, handler] { runCommand(mainPort, [&] { (designer.*handler)(); }); });
    };
    on(Command::CharacterizeCrystal, &Designer::characterizeCrystal);
    on(Command::SetBandwidthAndOrder, &Designer::setBandwidthAndOrder);
    on(Command::SetEndQ, &Designer::setEndQ);
    on(Command::MatchEnds, &Designer::matchEnds);
    on(Command::ComputeCouplingCapacitors, &Designer::computeCouplingCapacitors);
    // A tuned design is shown as it will be built at once.
    onClick(mainControls, Command::TuneMeshes, [this] {
        bool tuned = false;
        runCommand(mainPort, [&] {
            designer.tuneMeshes();
            tuned = state.tuningCap[1] > 0.01f && state.crystalCount >= 2 && state.crystalCount <= kMeshes;
        });
        if (tuned)
            showRealizedResponse();
    });
    on(Command::SaveDefaultFile, &Designer::saveDefaultFile);
    QObject::connect(main.saveAs, &QAction::triggered, [this] { runCommand(mainPort, [&] { designer.saveAs(); }); });
    onClick(mainControls, Command::OpenGenerator, [this] { showKandQ(); });
    onClick(mainControls, Command::Exit, [this] { main.close(); });
    QObject::connect(main.exit, &QAction::triggered, [this] { main.close(); });
    QObject::connect(main.about, &QAction::triggered, [this] { showAbout(); });
    QObject::connect(main.help, &QAction::triggered, [this] { showHelp(); });
    // The refresh runs each time the window is shown, never when a message box closes.
    main.onShow = [this] { runCommand(mainPort, [&] { designer.showDesign(); }); };
}

void MiraboApp::wireKandQ()
{
    using kq::Command;
    auto calculate = [this] { runCommand(kandqPort, [&] { generator.calculate(); }); };
    onClick(kandqControls, Command::Calculate, calculate);
    QWidget* panel = kandqControls.at(kq::Panel::Calculate);
    panel->installEventFilter(new PanelClick(panel, calculate));
    onClick(kandqControls, Command::ChooseChebyshev, [this] { generator.chooseChebyshev(); });
    onClick(kandqControls, Command::ChooseButterworth, [this] { generator.chooseButterworth(); });
    onClick(kandqControls, Command::ChooseMinimumLoss, [this] { generator.chooseMinimumLoss(); });
    onClick(kandqControls, Command::ChooseBessel, [this] { generator.chooseBessel(); });
    onClick(kandqControls, Command::ChooseGaussian, [this] { generator.chooseGaussian(); });
    onClick(kandqControls, Command::ReturnToDesign, [this] { showMainFromKandQ(); });
    kandq.onShow = [this] { runCommand(kandqPort, [&] { generator.showOrder(); }); };
    kandq.onClose = [this] { showMainFromKandQ(); };
}

void MiraboApp::wireHelp()
{
    onClick(helpControls, help::Command::ReturnToDesign, [this] { showMainFromHelp(); });
    help.onClose = [this] { showMainFromHelp(); };
}

void MiraboApp::wireAbout()
{
    onClick(aboutControls, about::Command::ReturnToDesign, [this] { showMainFromAbout(); });
    about.onClose = [this] { showMainFromAbout(); };
}

void MiraboApp::start()
{
    main.show();
}

void MiraboApp::showKandQ()
{
    main.hide();
    help.hide();
    kandq.show();
}

void MiraboApp::showMainFromKandQ()
{
    kandq.hide();
    help.hide();
    main.show();
}

void MiraboApp::showAbout()
{
    main.hide();
    kandq.hide();
    help.hide();
    about.show();
}

void MiraboApp::showMainFromAbout()
{
    about.hide();
    help.hide();
    kandq.hide();
    main.show();
}

void MiraboApp::showHelp()
{
    main.hide();
    kandq.hide();
    help.show();
}

void MiraboApp::showMainFromHelp()
{
    help.hide();
    kandq.hide();
    main.show();
}

void MiraboApp::wireMeasurements()
{
    QObject::connect(main.measureCrystal, &QAction::triggered, [this] { showMeasureWindow(); });
    QObject::connect(main.matchedSet, &QAction::triggered, [this] { showMatchedSet(); });
    QObject::connect(main.realizedResponse, &QAction::triggered, [this] { showRealizedResponse(); });
    QObject::connect(main.correctLoss, &QAction::triggered, [this] { correctForCrystalLoss(); });
    QObject::connect(main.roundValues, &QAction::triggered, [this] { showRoundWindow(); });
    rounding.onRound = [this] { roundToPreferredValues(); };
    rounding.onUse = [this] { useRoundedValues(); };
    measure.onUse = [this](const CrystalFields& fields) { useCrystalValues(fields); };
    matchedSet.onSetChanged = [this] { freshness.inputChanged(); };
}

void MiraboApp::showMeasureWindow()
{
    measure.show();
    measure.raise();
}

void MiraboApp::showMatchedSet()
{
    matchedSet.show();
    matchedSet.raise();
}

void MiraboApp::useCrystalValues(const CrystalFields& fields)
{
    for (const auto& [field, text] : fields)
        mainPort.setText(field, text);
    freshness.inputChanged();
}

void MiraboApp::showRealizedResponse()
{
    runCommand(mainPort, [&] {
        // The export's readiness test: a design without step 6 has nothing to solve.
        if (!(state.tuningCap[1] > 0.01f)) {
            mainPort.message(msg::kNoRealizedDesign);
            return;
        }
        const std::string asked = mainPort.text(design::Field::Bandwidth);
        realized.showResponse(realizeDesign(state, isNumber(asked) ? readNumber(asked) : state.bw));
        freshness.realizedComputed();
        realized.show();
        realized.raise();
    });
}

void MiraboApp::correctForCrystalLoss()
{
    runCommand(mainPort, [&] {
        LossCorrection c =
            correctForLoss(typedDesignFields(mainPort), EndRChoice::TypedOrMinimum, state.setFsHz, state.setNames);
        if (c.reached) {
            const std::vector<double> set = state.setFsHz;
            const std::vector<std::string> names = state.setNames;
            state = c.state;
            state.setFsHz = set;
            state.setNames = names;
            for (design::Field f : computedDesignFields())
                stepsPort.setText(f, c.window.text(f));
        }
        mainPort.message(c.message);
        if (c.reached)
            showRealizedResponse();
    });
}

namespace {

// Whether `s` holds the capacitors and end resistance of `chosen`: the design is then the one
// a rounding put in, and rounding again starts from that rounding's exact design.
bool holdsValues(const DesignState& s, const DesignState& chosen)
{
    if (s.crystalCount != chosen.crystalCount || s.ce1pf != chosen.ce1pf || s.cenpf != chosen.cenpf ||
        s.rend != chosen.rend)
        return false;
    // Only the design's own meshes: the export reads the unused tuning fields back as shown.
    for (int i = 1; i <= s.crystalCount; ++i)
        if (s.tuningCap[i] != chosen.tuningCap[i] || (i < s.crystalCount && s.couplingCap[i] != chosen.couplingCap[i]))
            return false;
    return true;
}

}  // namespace

void MiraboApp::showRoundWindow()
{
    rounding.show();
    rounding.raise();
}

void MiraboApp::roundToPreferredValues()
{
    runCommand(mainPort, [&] {
        if (!(state.tuningCap[1] > 0.01f)) {
            mainPort.message(msg::kNoRealizedDesign);
            return;
        }
        std::optional<std::vector<double>> available;
        try {
            available = rounding.available();
        } catch (const AppError& e) {
            ui::showMessage(&rounding, QString::fromStdString(e.what()));
            return;
        }
        if (!available) {
            ui::showMessage(&rounding, QStringLiteral("Choose a parts list first."));
            return;
        }
        const DesignState exact = roundChoice && holdsValues(state, roundChoice->chosen()) ? roundChoice->exact : state;
        const std::string asked = mainPort.text(design::Field::Bandwidth);
        // A refit takes a fraction of a second: short enough for the GUI thread.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            roundChoice = compareValueChoices(exact, *available, rounding.refit->isChecked(),
                                              isNumber(asked) ? readNumber(asked) : exact.bw);
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        rounding.showChoice(*roundChoice);
    });
}

void MiraboApp::useRoundedValues()
{
    if (!roundChoice)
        return;
    runCommand(mainPort, [&] {
        state = roundChoice->chosen();
        stepsPort.setText(design::Field::EndC1, fixedText(state.ce1pf, 5, 2));
        stepsPort.setText(design::Field::EndCn, fixedText(state.cenpf, 5, 2));
        for (int j = 1; j <= 9; ++j)
            stepsPort.setText(design::couplingCapField(j), fixedText(state.couplingCap[j], 5, 2));
        // The export reads the tuning capacitors from their fields: written in full, so that
        // the file holds them exactly as the series gives them.
        for (int i = 1; i <= kMeshes; ++i)
            stepsPort.setText(design::tuningCapField(i), i <= state.crystalCount
                                                             ? generalText(state.tuningCap[i], 15)
                                                             : fixedText(state.tuningCap[i], 5, 2));
    });
    showRealizedResponse();
}

void MiraboApp::wireDesignFiles()
{
    QObject::connect(main.saveDesign, &QAction::triggered, [this] {
        if (const auto path = ui::chooseDesignFile(&main, true))
            saveDesignTo(*path);
    });
    QObject::connect(main.openDesign, &QAction::triggered, [this] {
        if (const auto path = ui::chooseDesignFile(&main, false))
            openDesignFrom(*path);
    });
    // Only the user's own typing: the steps' writes and the refresh are no change of input.
    const std::vector<design::Field> computed = computedDesignFields();
    for (const auto& [field, text] : defaultDesignFields())
        if (std::find(computed.begin(), computed.end(), field) == computed.end())
            QObject::connect(controlAs<QLineEdit>(mainControls, field), &QLineEdit::textEdited,
                             [this] { freshness.inputChanged(); });
    freshness.onChange = [this] { showFreshness(); };
}

void MiraboApp::showFreshness()
{
    for (design::Field f : computedDesignFields()) {
        auto* edit = controlAs<QLineEdit>(mainControls, f);
        QPalette p = edit->palette();
        const bool stale = freshness.outOfDate(f);
        p.setColor(QPalette::Text, stale ? kOutOfDateText : QApplication::palette(edit).color(QPalette::Text));
        edit->setPalette(p);
        edit->setToolTip(stale ? QStringLiteral("Out of date: an input has changed since this was computed.")
                               : QString());
    }
    realized.setOutOfDate(freshness.realizedOutOfDate());
}

void MiraboApp::saveDesignTo(const QString& path)
{
    runCommand(mainPort, [&] {
        DesignInputs in;
        in.fields = typedDesignFields(mainPort);
        in.setFsHz = state.setFsHz;
        try {
            writeDesignInputsFile(path.toStdString(), in);
        } catch (const AppError& e) {
            throw AppError(std::string(e.what()) + "\n" + QFileInfo(path).fileName().toStdString());
        }
    });
}

void MiraboApp::openDesignFrom(const QString& path)
{
    runCommand(mainPort, [&] {
        DesignInputs in;
        // Read whole before anything changes: a file that fails leaves the design as it was.
        try {
            in = readDesignInputsFile(path.toStdString());
        } catch (const AppError& e) {
            throw AppError(std::string(e.what()) + "\n" + QFileInfo(path).fileName().toStdString());
        }
        state = DesignState{};
        state.setFsHz = in.setFsHz;
        // The refresh on showing the window writes these from the state: they must be the file's.
        MemoryDesignPort typed;
        typed.fields = in.fields;
        const auto single = [&](design::Field f, float fallback) {
            const std::string t = typed.text(f);
            return isNumber(t) ? static_cast<float>(readNumber(t)) : fallback;
        };
        state.q1 = single(design::Field::Q1, state.q1);
        state.qn = single(design::Field::Qn, state.qn);
        for (int j = 1; j <= 9; ++j)
            state.coupling[j] = single(design::couplingField(j), state.coupling[j]);
        if (isNumber(typed.text(design::Field::CrystalCount)))
            state.crystalCount = static_cast<std::int32_t>(readNumber(typed.text(design::Field::CrystalCount)));
        for (const auto& [field, text] : in.fields)
            mainPort.setText(field, text);
        const auto start = defaultDesignFields();
        for (design::Field f : computedDesignFields())
            stepsPort.setText(f, start.at(f));
        matchedSet.showStatus();
        realized.hide();
        freshness.inputChanged();
        for (design::Field f : computedDesignFields())
            freshness.written(f);  // the start texts belong to no design
    });
}

void MiraboApp::openArgument(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("s2p") || suffix == QLatin1String("s1p")) {
        showMeasureWindow();
        measure.loadFile(path);
    } else if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt")) {
        showMatchedSet();
        matchedSet.loadList(path);
    } else if (suffix == QLatin1String("mirabo")) {
        openDesignFrom(path);
    } else {
        mainPort.message("Mirabo opens Touchstone files (.s2p, .s1p), crystal lists (.csv) and designs (.mirabo), not " +
                         QFileInfo(path).fileName().toStdString() + ".");
    }
}
