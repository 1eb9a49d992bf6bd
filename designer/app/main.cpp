// Mirabo, the crystal ladder filter designer: writes its designs as circuit files in the
// working directory and takes no arguments or settings beyond --help and --version.
#include <QApplication>
#include <cstdio>

#include "designer/app/mirabo_app.h"
#include "common/program_info.h"

namespace {

const char kHelp[] =
    "Usage: mirabo\n"
    "       mirabo --help | --version\n"
    "\n"
    "Mirabo, the crystal ladder filter designer. From measured crystal data, a bandwidth\n"
    "and an order it computes the end, coupling and tuning capacitors of a crystal ladder\n"
    "filter and writes the design as a circuit file (startfile.cir in the working\n"
    "directory, or a chosen name) for Sorvel to analyse.\n";

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
    return app.exec();
}
