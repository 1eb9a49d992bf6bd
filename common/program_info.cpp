#include "common/program_info.h"

#include "common/version.h"

std::optional<std::string> programInfoText(int argc, const char* const* argv,
                                           std::string_view program, std::string_view help)
{
    if (argc != 2)
        return std::nullopt;
    const std::string_view arg = argv[1];
    if (arg == "--version")
        return std::string(program) + " " + LADDER_VERSION + "\n";
    if (arg == "--help" || arg == "-h")
        return std::string(help);
    return std::nullopt;
}
