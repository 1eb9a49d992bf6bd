// Mirabo, the crystal ladder filter designer: writes its designs as circuit files in the
// working directory. A file on the command line (a file manager's double-click) opens in
// the window that reads it.
#include <QApplication>
#include <cstdio>

#include "designer/app/mirabo_app.h"
#include "common/program_info.h"

namespace {

const char kHelp[] =
    "Usage: mirabo [FILE]\n"
    "       mirabo --help | --version\n"
    "\n"
    "Mirabo, the crystal ladder filter designer. From measured crystal data, a bandwidth\n"
    "and an order it computes the end, coupling and tuning capacitors of a crystal ladder\n"
    "filter and writes the design as a circuit file (startfile.cir in the working\n"
    "directory, or a chosen name) for Sorvel to analyse.\n"
    "\n"
    "FILE opens at start: a crystal measurement (Touchstone .s2p or .s1p) in the crystal\n"
    "measurement window, a crystal list (.csv, name,fs_hz lines) in the matched set window,\n"
    "a design saved with File > Save Design (.mirabo) in the main window.\n";

}  // namespace

int main(int argc, char** argv)
{
    // Answered before QApplication, which would need a display.
    if (const auto info = programInfoText(argc, argv, "mirabo", kHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    setUpMiraboLook();
    MiraboApp mirabo;
    mirabo.start();
    if (argc > 1)
        mirabo.openArgument(QString::fromLocal8Bit(argv[1]));
    return app.exec();
}
