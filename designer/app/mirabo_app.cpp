#include "mirabo_app.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QStyleFactory>

#include "control_table.h"
#include "schematic.h"

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
    on(Command::TuneMeshes, &Designer::tuneMeshes);
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
