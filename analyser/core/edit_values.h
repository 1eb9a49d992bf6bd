#pragma once
// The values a person edits or tunes, taken out of a circuit and put back: what one step of
// the undo history holds. The sweep is not among them; it belongs to the view.

#include <string>
#include <vector>

#include "ladder/circuit.h"

struct EditValues {
    std::vector<double> values;  // load R, every entry, source R, inductor Q, crystal block
    friend bool operator==(const EditValues&, const EditValues&) = default;
};

EditValues editValues(const Circuit& c);
void restoreEditValues(Circuit& c, const EditValues& v);

// The recent-files list after `path` was used: it first, no duplicates, at most `limit`.
std::vector<std::string> withRecentFile(std::vector<std::string> list, const std::string& path, std::size_t limit = 8);
