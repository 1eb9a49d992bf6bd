// Sorvel, the ladder analyser: reads "startfile.cir" from the working directory at each
// activation of its main window, or the circuit file named on the command line (as a file
// manager passes it); in a folder without either it starts from the bundled example.
#include <QApplication>
#include <cstdio>

#include "common/program_info.h"
#include "analyser/app/sorvel_app.h"
#include "analyser/app/start_circuit.h"

namespace {

const char kHelp[] =
    "Usage: sorvel [FILE.cir] [MEASUREMENT.s2p]\n"
    "       sorvel --help | --version\n"
    "\n"
    "Sorvel, the ladder filter analyser. Reads a circuit file, plots S21 and S11 of the\n"
    "ladder over the file's sweep and lets you zoom, place a cursor, list, edit and tune\n"
    "the values and save the circuit. It reads FILE.cir when given, else startfile.cir in\n"
    "the working directory, else the bundled seven-pole low-pass example. A Touchstone\n"
    "file (.s1p, .s2p) given too is drawn over the computed response from the start.\n";

}  // namespace

int main(int argc, char** argv)
{
    // Answered before QApplication, which would need a display.
    if (const auto info = programInfoText(argc, argv, "sorvel", kHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    QApplication app(argc, argv);  // takes Qt's own options out of argv
    const auto args = parseStartArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!args) {
        std::fputs("usage: sorvel [FILE.cir] [MEASUREMENT.s2p]\n", stderr);
        return 1;
    }
    SorvelApp sorvel;
    StartCircuit start = chooseStartCircuit(
        args->circuit, bundledExamplePaths(QCoreApplication::applicationDirPath().toStdString()));
    start.measurement = args->measurement;
    startSorvel(sorvel, start);
    return app.exec();
}
