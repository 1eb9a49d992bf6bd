// nanovna-sim / librevna-sim FILE.cir [options]: a simulated instrument answering from a
// circuit file, for trying Sorvel and sorvel-vna without hardware. Prints the device path
// (or host:port) and runs until interrupted.

#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "analyser/instrument/sim/simulator.h"
#include "common/errors.h"
#include "common/numread.h"
#include "common/program_info.h"
#include "ladder/circuit_file.h"

namespace {

#ifdef SIM_LIBREVNA
const char kProgram[] = "librevna-sim";
#else
const char kProgram[] = "nanovna-sim";
#endif

const char kHelp[] =
    "Usage: SIM FILE.cir [--noise SD] [--delay MS] [--piece BYTES] [--text]\n"
    "                    [--fault silence|garbage|count|frequency|error|close [--after N]]\n"
    "                    [--port PORT]\n"
    "\n"
    "A simulated network analyser answering from the circuit file through Sorvel's engine:\n"
    "nanovna-sim opens a pseudo-terminal and prints its path; librevna-sim listens on\n"
    "127.0.0.1 (--port, default 19542) and prints host:port. Runs until interrupted.\n"
    "\n"
    "  --noise SD      add normal noise of this deviation to every value\n"
    "  --delay MS      wait before each reply (LibreVNA: the sweep time)\n"
    "  --piece BYTES   send replies in pieces of this size\n"
    "  --text          NanoVNA: offer no scan_bin\n"
    "  --fault NAME    answer one sweep wrongly, after N good ones (--after, default 0)\n";

volatile std::sig_atomic_t stopping = 0;

}  // namespace

int main(int argc, char** argv)
{
    if (const auto info = programInfoText(argc, argv, kProgram, kHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    try {
        if (argc < 2)
            throw AppError(std::string("usage: ") + kProgram + " FILE.cir [options] (see --help)");
        const Circuit circuit = readCircuitFile(argv[1]);
        SimOptions o;
        int port = 19542;
        for (int i = 2; i < argc; ++i) {
            const std::string a = argv[i];
            auto value = [&]() -> std::string {
                if (i + 1 >= argc)
                    throw AppError(a + " needs a value");
                return argv[++i];
            };
            if (a == "--noise")
                o.noise = readNumber(value());
            else if (a == "--delay")
                o.delayMs = readInteger(value());
            else if (a == "--piece")
                o.pieceBytes = readInteger(value());
            else if (a == "--text")
                o.binaryScan = false;
            else if (a == "--fault")
                o.fault = simFaultFromName(value());
            else if (a == "--after")
                o.faultAfter = readInteger(value());
            else if (a == "--port")
                port = readInteger(value());
            else
                throw AppError("unknown option '" + a + "'");
        }
#ifdef SIM_LIBREVNA
        auto sim = startLibreVnaSimulator(circuit, o, port);
#else
        (void)port;
        auto sim = startNanoVnaSimulator(circuit, o);
#endif
        std::printf("%s\n", sim->address().c_str());
        std::fflush(stdout);
        std::signal(SIGINT, [](int) { stopping = 1; });
        std::signal(SIGTERM, [](int) { stopping = 1; });
        while (!stopping)
            pause();
        return 0;
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
