#include "designer/app/mirabo_app.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QStyleFactory>

#include "designer/app/control_table.h"
#include "designer/core/loss_correction.h"
#include "designer/core/memory_port.h"
#include "common/numread.h"
#include "designer/core/realized.h"
#include "designer/app/schematic.h"

namespace {

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
    wireMain();
    wireKandQ();
    wireHelp();
    wireAbout();
    wireMeasurements();
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
    measure.onUse = [this](const CrystalFields& fields) { useCrystalValues(fields); };
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
                mainPort.setText(f, c.window.text(f));
        }
        mainPort.message(c.message);
        if (c.reached)
            showRealizedResponse();
    });
}
