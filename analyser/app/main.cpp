// Sorvel, the ladder analyser: reads "startfile.cir" from the working directory at each
// activation of its main window, or the circuit file named on the command line (as a file
// manager passes it); in a folder without either it starts from the bundled example.
#include <QApplication>
#include <cstdio>

#include "program_info.h"
#include "sorvel_app.h"
#include "start_circuit.h"

namespace {

const char kHelp[] =
    "Usage: sorvel [FILE.cir]\n"
    "       sorvel --help | --version\n"
    "\n"
    "Sorvel, the ladder filter analyser. Reads a circuit file, plots S21 and S11 of the\n"
    "ladder over the file's sweep and lets you zoom, place a cursor, list, edit and tune\n"
    "the values and save the circuit. It reads FILE.cir when given, else startfile.cir in\n"
    "the working directory, else the bundled seven-pole low-pass example.\n";

}  // namespace

int main(int argc, char** argv)
{
    // Answered before QApplication, which would need a display.
    if (const auto info = programInfoText(argc, argv, "sorvel", kHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    QApplication app(argc, argv);  // takes Qt's own options out of argv
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fputs("usage: sorvel [FILE.cir]\n", stderr);
        return 1;
    }
    std::optional<std::string> named;
    if (argc == 2)
        named = argv[1];
    SorvelApp sorvel;
    startSorvel(sorvel, chooseStartCircuit(named, bundledExamplePaths(
                                                      QCoreApplication::applicationDirPath().toStdString())));
    return app.exec();
}
