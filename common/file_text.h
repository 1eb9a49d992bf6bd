#pragma once
// A file read whole, for the readers that parse text: circuit files, crystal lists, parts
// lists, design files.

#include <string>

// The bytes of a file; FileError with the platform's text when it cannot be opened or read.
std::string readFileText(const std::string& path);
