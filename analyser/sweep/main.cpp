// sorvel-sweep FILE.cir [--at F | --start F --stop F] [--delay | --measure | --touchstone [--out FILE]]
// Reads a circuit file as the analyser does and prints S21 and S11 in dB as CSV over the
// file's sweep (or another range), or at one frequency, in the file's unit (MHz, or Hz
// offset for a crystal circuit); optionally with the group delay, or the filter's readouts.
// Any failure prints its message alone on standard error and exits with 1.

#include <cstdio>
#include <string>

#include "errors.h"
#include "sweep.h"

int main(int argc, char** argv)
{
    try {
        const auto options = parseSweepOptions(argc, argv);
        if (!options) {
            std::fprintf(stderr, "%s\n", kSweepUsage);
            return 1;
        }
        // The whole output is made first, so a failure leaves no partial table behind.
        const std::string out = runSweep(*options);
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (std::fflush(stdout) != 0)
            return 1;
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
