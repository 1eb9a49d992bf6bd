#pragma once
// Circuit files for the tests: a scratch directory, raw bytes in and out, and the
// default circuit as the writer makes it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "ladder/circuit_file.h"
#include "common/errors.h"

namespace circuittest {

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "circuitXXXXXX").string();
        path_ = mkdtemp(tmpl.data());
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A new file each time: truncating a file and writing it again makes ext4 flush it to
// disk on close, which turns thousands of small test files into seconds of waiting.
inline void writeBytes(const std::string& name, const std::string& bytes)
{
    std::filesystem::remove(name);
    std::ofstream(name, std::ios::binary) << bytes;
}

inline std::string readBytes(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Lines joined with CR LF, the last one included.
inline std::string crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

// The start-up circuit on the start-up sweep with a table step of 3, as saved.
inline const std::vector<std::string>& defaultCircuitLines()
{
    static const std::vector<std::string> lines{
        "10", "250.00", "50.00", "50.00", "0", "0.00000", "30.00000", "3.00000", "2.00000", "100.00000",
        "10.00000",
        "cap", "par", "248.00000", "cap", "ser", "50.00000", "ind", "par", "1500.00000",
        "cap", "par", "292.00000", "cap", "ser", "4.30000", "dul", "par", "3.00000",
        "duc", "par", "4.00000", "cap", "ser", "50.00000", "cap", "par", "248.00000",
        "rlb", "ser", "0.00000",
    };
    return lines;
}

}  // namespace circuittest
