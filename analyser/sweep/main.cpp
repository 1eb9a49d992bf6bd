// sorvel-sweep FILE.cir [--at FREQUENCY]
// Reads a circuit file as the analyser does and prints S21 and S11 in dB as CSV over the
// file's sweep, or at one frequency, in the file's unit (MHz, or Hz offset for a crystal
// circuit). Any failure prints its message alone on standard error and exits with 1.

#include <cstdio>
#include <string>

#include "circuitfile.h"
#include "errors.h"
#include "numread.h"
#include "null_window.h"
#include "program_info.h"
#include "sweep.h"

namespace {

const char kHelp[] =
    "Usage: sorvel-sweep FILE.cir [--at FREQUENCY]\n"
    "       sorvel-sweep --help | --version\n"
    "\n"
    "Reads the circuit file FILE.cir as Sorvel does and prints its response as CSV: the\n"
    "header frequency,s21_db,s11_db, then one line for each of the plot's 1000 frequencies.\n"
    "Frequencies are in the file's unit: MHz, or Hz of offset from the crystal frequency\n"
    "for a crystal filter.\n"
    "\n"
    "  --at FREQUENCY  print the line for this one frequency only\n"
    "  --help          print this text and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "Exit status: 0 on success; 1 on any failure, with the message alone on standard error.\n";

int usage()
{
    std::fputs("usage: sorvel-sweep FILE.cir [--at FREQUENCY]\n", stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (const auto info = programInfoText(argc, argv, "sorvel-sweep", kHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    const bool single = argc == 4 && std::string(argv[2]) == "--at";
    if (argc != 2 && !single)
        return usage();
    try {
        Model model = Model::startup();
        model.circuitfile = argv[1];
        NullWindow window;
        readLadder(model, window);
        // The whole output is made first, so a failure leaves no partial table behind.
        const std::string out =
            single ? pointCsv(model, readNumber(argv[3])) : sweepCsv(model);
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (std::fflush(stdout) != 0)
            return 1;
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
