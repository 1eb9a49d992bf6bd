#pragma once
// --help and --version, answered alike by every program before anything else starts (a
// window program must answer them without a display).

#include <optional>
#include <string>
#include <string_view>

// The text to print on standard output when the only argument is --help (or -h) or
// --version; nothing for any other command line, which the program then reads itself.
// --version prints "<program> <version>".
std::optional<std::string> programInfoText(int argc, const char* const* argv,
                                           std::string_view program, std::string_view help);
