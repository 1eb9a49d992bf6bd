// sorvel-vna (--port DEVICE | --libre HOST[:PORT]) --start HZ --stop HZ [...]
// One sweep of a network analyser as a Touchstone file; any failure prints its message
// alone on standard error and exits with 1.

#include <QCoreApplication>
#include <cstdio>

#include "analyser/vna/vna_command.h"
#include "common/program_info.h"

int main(int argc, char** argv)
{
    if (const auto info = programInfoText(argc, argv, "sorvel-vna", kVnaHelp)) {
        std::fputs(info->c_str(), stdout);
        return 0;
    }
    QCoreApplication app(argc, argv);
    std::string out, err;
    const int status = runVnaCommand(std::vector<std::string>(argv + 1, argv + argc), out, err);
    if (status != 0) {
        std::fprintf(stderr, "%s\n", err.c_str());
        return status;
    }
    std::fputs(out.c_str(), stdout);
    return 0;
}
