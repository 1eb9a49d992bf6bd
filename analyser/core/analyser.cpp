#include "analyser.h"

#include "circuitfile.h"
#include "errors.h"

Analyser::Analyser(WindowPort& window) : model(Model::startup()), w(window)
{
    // Until a reference is saved it is a single point at (1, 1), outside the plot.
    refx.fill(1);
    refy.fill(1);
}

void Analyser::run(const std::function<void()>& command)
{
    try {
        command();
    } catch (const AppError& e) {
        // Whatever the command stored or drew before the failure stays.
        w.message(e.what());
    }
}

void Analyser::activate()
{
    w.beep();
    restoreOriginalSweep();
    // readLadder begins by erasing the plot area, which uncovers the hint.
    w.setHintVisible(true);
    readLadder(model, w);
    plotenabled = false;
}

void Analyser::openCircuit()
{
    const auto name = w.openFileDialog();
    if (!name)
        return;
    restoreOriginalSweep();
    // The whole name: cutting a long path would open some other file, or none.
    model.circuitfile = *name;
    w.setHintVisible(true);
    readLadder(model, w);
    plotenabled = false;
}

void Analyser::saveCircuitAs()
{
    const auto name = w.saveFileDialog();
    if (!name)
        return;
    model.circuitfile = *name;
    writeLadder(model);
}

void Analyser::saveAsDefaultAndExit()
{
    // Set before the write, so after a failed write the next start still reads this name.
    model.circuitfile = "startfile.cir";
    writeLadder(model);
    w.closeMainWindow();
}

void Analyser::quit()
{
    w.closeMainWindow();
}

void Analyser::showAbout()
{
    // The Qt layer hides this window; coming back shows it again, which runs activate().
    w.showAbout();
}
