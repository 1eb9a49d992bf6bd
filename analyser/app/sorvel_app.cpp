#include "sorvel_app.h"

#include <QAbstractButton>
#include <QAction>

namespace {

struct Binding {
    const char* control;
    void (Analyser::*handler)();
};

// Buttons and check boxes (clicked by the user; setting a check box in code runs nothing).
const Binding kClicks[] = {
    {"Button1", &Analyser::Button1Click},   {"Button2", &Analyser::Button2Click},
    {"Button3", &Analyser::Button3Click},   {"Button4", &Analyser::Button4Click},
    {"Button5", &Analyser::Button5Click},   {"Button8", &Analyser::Button8Click},
    {"Button9", &Analyser::Button9Click},   {"Button10", &Analyser::Button10Click},
    {"Button11", &Analyser::Button11Click}, {"Button12", &Analyser::Button12Click},
    {"Button13", &Analyser::Button13Click}, {"CheckBox2", &Analyser::CheckBox2Click},
    {"CheckBox3", &Analyser::CheckBox3Click},
};

const Binding kMenu[] = {
    {"Open1", &Analyser::Open1Click},
    {"SaveAs1", &Analyser::SaveAs1Click},
    {"Exit1", &Analyser::Exit1Click},
    {"AboutSorvel1", &Analyser::AboutSorvel1Click},
};

}  // namespace

SorvelApp::SorvelApp() : port_(main_, about_), analyser_(port_) { wire(); }

void SorvelApp::command(void (Analyser::*handler)())
{
    analyser_.run([this, handler] { (analyser_.*handler)(); });
    port_.flush();
}

void SorvelApp::wire()
{
    for (const Binding& b : kClicks) {
        auto* button = qobject_cast<QAbstractButton*>(main_.control(b.control));
        QObject::connect(button, &QAbstractButton::clicked, &main_,
                         [this, h = b.handler] { command(h); });
    }
    for (const Binding& b : kMenu)
        QObject::connect(main_.action(b.control), &QAction::triggered, &main_,
                         [this, h = b.handler] { command(h); });

    ClientArea* client = main_.client();
    client->onMove = [this](int x, int y) {
        analyser_.run([this, x, y] { analyser_.FormMouseMove(x, y); });
        port_.flush();
    };
    client->onPress = [this] { command(&Analyser::FormMouseDown); };
    client->onClick = [this] { command(&Analyser::Button3Click); };
    client->onRelease = [this] { command(&Analyser::FormMouseUp); };

    main_.onShown = [this] { command(&Analyser::Button6Click); };
    about_.onReturn = [this] { returnFromAbout(); };
}

void SorvelApp::returnFromAbout()
{
    about_.hide();
    main_.show();  // shown again: the activation handler runs
}

void SorvelApp::start() { main_.show(); }
