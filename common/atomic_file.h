#pragma once
// Replacing a file so that a failure never costs the old one: the text goes to a temporary
// file in the same directory, is flushed to disk, and only then renamed over the target.

#include <string>
#include <string_view>

// Throws FileError with the platform's text when any step fails ("Cannot write <path>: the
// folder does not exist" for a missing folder, not the platform's "not found"); the temporary file is
// removed then. A symbolic link keeps pointing at the replaced file; a replaced file keeps
// its permissions.
void writeFileAtomically(const std::string& path, std::string_view text);
