#include "analyser/core/analyser.h"

#include "analyser/core/circuit_loader.h"
#include "ladder/circuit_file.h"
#include "common/errors.h"
#include "common/file_text.h"

Analyser::Analyser(WindowPort& window) : circuit(Circuit::startup()), w(window)
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
    // The load begins by erasing the plot area, which uncovers the hint.
    w.setHintVisible(true);
    circuitPlotted = false;
    circuitReadWhole = false;
    loadCircuitFile(circuitfile, circuit, view, w, true);
    circuitReadWhole = true;
    view.plotenabled = false;
    if (onFileUsed)
        onFileUsed(circuitfile, FileUse::CircuitRead);
}

void Analyser::openCircuit()
{
    if (const auto name = w.openFileDialog())
        openCircuitFile(*name);
}

void Analyser::openCircuitFile(const std::string& path)
{
    // The whole name: cutting a long path would open some other file, or none. The file is
    // read whole before anything changes, so a file that fails costs nothing shown or held.
    const std::string text = readFileText(path);
    if (const CircuitRead trial = readCircuit(text, circuit); !trial.ok())
        throwReadFailure(trial, path);
    restoreOriginalSweep();
    // Read again over the circuit as the plot left it, as the file was always read.
    const CircuitRead read = readCircuit(text, circuit);
    circuitfile = path;
    w.setHintVisible(true);
    circuitPlotted = false;
    showCircuitRead(read, circuit, view, w);
    view.plotenabled = false;
    if (onFileUsed)
        onFileUsed(circuitfile, FileUse::CircuitRead);
}

void Analyser::saveCircuitAs()
{
    const auto name = w.saveFileDialog();
    if (!name)
        return;
    circuitfile = *name;
    writeCircuitFile(circuitfile, circuit);
    if (onFileUsed)
        onFileUsed(circuitfile, FileUse::CircuitSaved);
}

void Analyser::saveAsDefaultAndExit()
{
    // Set before the write, so after a failed write the next start still reads this name.
    circuitfile = "startfile.cir";
    writeCircuitFile(circuitfile, circuit);
    if (onFileUsed)
        onFileUsed(circuitfile, FileUse::CircuitSaved);
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
