// mirabo-crystal: a crystal's motional values, holder capacitance and Q fitted to its
// measured S21 (a .s2p of the crystal in series between two ports, or a .s1p of it from
// port 1 to ground). Prints quantity,value,unit lines; a failure prints its message alone
// on standard error and exits with 1.

#include <cstdio>
#include <string>

#include "designer/core/design_cli.h"
#include "common/program_info.h"

namespace {

const char kHelp[] =
    "Usage: mirabo-crystal FILE.s2p [--port-r OHM]\n"
    "       mirabo-crystal --help | --version\n"
    "\n"
    "Fits the crystal model (motional Lm, Cm, Rm in series, C0 across them) to a Touchstone\n"
    "measurement of one crystal and prints the values as quantity,value,unit lines: fs Hz,\n"
    "lm H, cm F, rm ohm, c0 F, qu 1, fp Hz and residual_db dB.\n"
    "\n"
    "A .s2p file is the crystal in series between port 1 and port 2; a .s1p file is the\n"
    "crystal from port 1 to ground. The sweep should cover the series and the parallel\n"
    "resonance with several points across each.\n"
    "\n"
    "  --port-r OHM      resistance of each port of the test fixture (default 50)\n"
    "  --help            print this text and exit\n"
    "  --version         print the version and exit\n"
    "\n"
    "Exit status: 0 on success; 1 on any failure, with the message alone on standard error.\n";

}  // namespace

int main(int argc, char** argv)
{
    if (const auto info = programInfoText(argc, argv, "mirabo-crystal", kHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    try {
        const std::string out = runCrystal(parseCrystalOptions(argc, argv));
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (std::fflush(stdout) != 0)
            return 1;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s\n%s\n", e.what(), kCrystalUsage);
        return 1;
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
