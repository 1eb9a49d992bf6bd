#include "mirabo_app.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QStyleFactory>

#include "controls.h"
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

template <class T = QAbstractButton>
T* find(const QWidget& window, const char* name)
{
    return window.findChild<T*>(QString::fromLatin1(name));
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
    buildControls(main.client(), mainWindowControls());
    buildControls(&help, helpWindowControls());
    buildControls(&kandq, kandqWindowControls());
    buildControls(&about, aboutWindowControls());
    find<QLabel>(help, "Image1")->setPixmap(drawSchematic());
    find<QWidget>(help, "Memo1")->setProperty("readOnly", true);

    for (QWidget* w : std::initializer_list<QWidget*>{&main, &help, &kandq, &about})
        centreOnScreen(*w);
    wireMain();
    wireKandQ();

    QObject::connect(find(help, "Button1"), &QAbstractButton::clicked, [this] { showMainFromHelp(); });
    help.onClose = [this] { showMainFromHelp(); };
    QObject::connect(find(about, "Button1"), &QAbstractButton::clicked, [this] { showMainFromAbout(); });
    about.onClose = [this] { showMainFromAbout(); };
}

void MiraboApp::wireMain()
{
    auto on = [this](const char* button, void (Designer::*handler)()) {
        QObject::connect(find(*main.client(), button), &QAbstractButton::clicked,
                         [this, handler] { runCommand(mainPort, [&] { (designer.*handler)(); }); });
    };
    on("Button1", &Designer::Button1Click);
    on("Button2", &Designer::Button2Click);
    on("Button3", &Designer::Button3Click);
    on("Button4", &Designer::Button4Click);
    on("Button5", &Designer::Button5Click);
    on("Button14", &Designer::Button14Click);
    on("Button6", &Designer::Button6Click);
    QObject::connect(main.saveAs, &QAction::triggered,
                     [this] { runCommand(mainPort, [&] { designer.SaveAs1Click(); }); });
    QObject::connect(find(*main.client(), "Button16"), &QAbstractButton::clicked, [this] { showKandQ(); });
    QObject::connect(find(*main.client(), "Button7"), &QAbstractButton::clicked, [this] { main.close(); });
    QObject::connect(main.exit, &QAction::triggered, [this] { main.close(); });
    QObject::connect(main.about, &QAction::triggered, [this] { showAbout(); });
    QObject::connect(main.help, &QAction::triggered, [this] { showHelp(); });
    // The refresh runs each time the window is shown, never when a message box closes.
    main.onShow = [this] { runCommand(mainPort, [&] { designer.FormShow(); }); };
}

void MiraboApp::wireKandQ()
{
    auto calculate = [this] { runCommand(kandqPort, [&] { generator.calculate(); }); };
    QObject::connect(find(kandq, "Button2"), &QAbstractButton::clicked, calculate);
    QWidget* panel = find<QWidget>(kandq, "Panel1");
    panel->installEventFilter(new PanelClick(panel, calculate));
    QObject::connect(find(kandq, "RadioButton1"), &QAbstractButton::clicked, [this] { generator.RadioButton1Click(); });
    QObject::connect(find(kandq, "RadioButton2"), &QAbstractButton::clicked, [this] { generator.RadioButton2Click(); });
    QObject::connect(find(kandq, "RadioButton3"), &QAbstractButton::clicked, [this] { generator.RadioButton3Click(); });
    QObject::connect(find(kandq, "Button1"), &QAbstractButton::clicked, [this] { showMainFromKandQ(); });
    kandq.onShow = [this] { runCommand(kandqPort, [&] { generator.FormShow(); }); };
    kandq.onClose = [this] { showMainFromKandQ(); };
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
