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
#include "sweep.h"

namespace {

int usage()
{
    std::fputs("usage: sorvel-sweep FILE.cir [--at FREQUENCY]\n", stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
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
