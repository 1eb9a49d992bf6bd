#pragma once
// sorvel-vna: one sweep of a network analyser, written as a Touchstone file. Runs its own
// event loop; a QCoreApplication must exist.

#include <string>
#include <vector>

// The arguments after the program name. Returns the exit status; on failure `error` holds
// the message and nothing was written.
int runVnaCommand(const std::vector<std::string>& args, std::string& output, std::string& error);

extern const char kVnaHelp[];
