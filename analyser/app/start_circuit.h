#pragma once
// Which circuit file Sorvel reads at its first activation. A folder with a "startfile.cir"
// keeps the usual behaviour; a fresh folder starts from the bundled seven-pole low-pass
// instead of an error, so a new user sees a filter at once.

#include <optional>
#include <string>
#include <vector>

class SorvelApp;

struct StartCircuit {
    std::string file = "startfile.cir";
    bool bundledExample = false;
    bool named = false;  // given on the command line: plotted at once, as the example is
    std::optional<std::string> measurement;  // a Touchstone file shown from the start
};

// The command line's files: at most one circuit and one measurement (.s1p, .s2p), in
// either order; nothing for anything else.
struct StartArguments {
    std::optional<std::string> circuit, measurement;
};
std::optional<StartArguments> parseStartArguments(const std::vector<std::string>& args);

// named: a file given on the command line (a file manager's double-click), read as given.
// examples: where the bundled example may lie, the first existing one is taken; when none
// exists the start file is read and reported missing as before.
StartCircuit chooseStartCircuit(const std::optional<std::string>& named,
                                const std::vector<std::string>& examples);

// The installed example beside a program in exeDir (<prefix>/bin), then the source tree's.
std::vector<std::string> bundledExamplePaths(const std::string& exeDir);

// Shows the main window reading start.file; from a named file or the bundled example the first activation
// ends with a plot, since a fresh user has nothing to click Plot for yet, and with a
// measurement it ends by reading it, which plots both. The Response window opens too
// when it was open at the last end.
void startSorvel(SorvelApp& app, const StartCircuit& start);
