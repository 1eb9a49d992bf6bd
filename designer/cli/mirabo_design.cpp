// mirabo-design: Mirabo's six steps from options, for scripts and for checking a design.
// Prints the computed values as quantity,value lines; with --out writes the circuit file
// exactly as the window's export does. Any refusal prints its message alone on standard
// error and exits with 1, and no file is written.

#include <cstdio>
#include <string>

#include "designer/core/design_cli.h"
#include "common/program_info.h"

namespace {

const char kHelp[] =
    "Usage: mirabo-design [--f MHZ] [--lm H] [--qu Q] [--c0 PF] [--bw HZ] [--n N]\n"
    "                     [--kq butterworth|chebyshev:RIPPLE_DB|minloss | --q1 Q --qn Q --k K12,K23,...]\n"
    "                     [--r OHM] [--correct-loss] [--crystals FILE.csv] [--out FILE.cir]\n"
    "       mirabo-design --help | --version\n"
    "\n"
    "Runs Mirabo's design steps 1 to 6 and prints the computed values as quantity,value\n"
    "lines, with the response the design realizes on Sorvel's engine. Options left out take\n"
    "the window's start values (10.0 MHz, 0.02 H, Q 200000, 3.0 pF, 250 Hz, N = 5 and the\n"
    "Gaussian-to-6 dB end Q and k).\n"
    "\n"
    "  --f MHZ           crystal series-resonant frequency\n"
    "  --lm H            motional inductance\n"
    "  --qu Q            unloaded Q, a plain number\n"
    "  --c0 PF           holder capacitance\n"
    "  --bw HZ           filter bandwidth\n"
    "  --n N             number of crystals, 1 to 10\n"
    "  --kq TYPE         generate q1, qn and k: butterworth, chebyshev:RIPPLE_DB or minloss\n"
    "  --q1 Q, --qn Q    normalised end Q values\n"
    "  --k K12,K23,...   the N - 1 normalised coupling coefficients\n"
    "  --r OHM           end resistance (default: the minimum, rounded up to a whole ohm)\n"
    "  --correct-loss    design with the bandwidth that realizes the asked -3 dB bandwidth\n"
    "  --crystals FILE   a name,fs_hz list: the N crystals of least spread, each at its own\n"
    "                    offset from F in the circuit file\n"
    "  --out FILE.cir    write the circuit file, as the window's export writes it\n"
    "  --help            print this text and exit\n"
    "  --version         print the version and exit\n"
    "\n"
    "Exit status: 0 on success; 1 on any refusal, warning or failure, with the message\n"
    "alone on standard error and no file written.\n";

}  // namespace

int main(int argc, char** argv)
{
    if (const auto info = programInfoText(argc, argv, "mirabo-design", kHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    try {
        const std::string out = runDesign(parseDesignOptions(argc, argv));
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (std::fflush(stdout) != 0)
            return 1;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s\n%s\n", e.what(), kDesignUsage);
        return 1;
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
