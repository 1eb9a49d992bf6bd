#pragma once
// Helpers for the circuit file and engine tests: a WindowPort that logs what the reader
// does to the window, temporary files, and the default circuit file as the writer makes it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "circuitfile.h"
#include "errors.h"
#include "window_port.h"

namespace circuittest {

class LoggingCanvas : public Canvas {
public:
    explicit LoggingCanvas(std::vector<std::string>& log) : log_(log) {}
    void setPen(Color) override { log_.push_back("pen"); }
    void setFill(Color) override { log_.push_back("fill"); }
    void rectangle(int x1, int y1, int x2, int y2) override
    {
        log_.push_back("rect " + std::to_string(x1) + "," + std::to_string(y1) + " " +
                       std::to_string(x2) + "," + std::to_string(y2));
    }
    void moveTo(int, int) override { log_.push_back("move"); }
    void lineTo(int, int) override { log_.push_back("line"); }

private:
    std::vector<std::string>& log_;
};

class LoggingWindow : public WindowPort {
public:
    std::string text(const std::string& control) const override
    {
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if (it->rfind("text " + control + "=", 0) == 0)
                return it->substr(control.size() + 6);
        return {};
    }
    void setText(const std::string& control, const std::string& t) override
    {
        log.push_back("text " + control + "=" + t);
    }
    bool checked(const std::string&) const override { return false; }
    void setChecked(const std::string&, bool) override {}
    void memoClear(const std::string& memo) override
    {
        log.push_back("memo clear " + memo);
        if (onMemoClear)
            onMemoClear();
    }
    void memoAdd(const std::string& memo, const std::string&) override
    {
        log.push_back("memo add " + memo);
    }
    void message(const std::string& t) override { log.push_back("message " + t); }
    void beep() override {}
    std::optional<std::string> openFileDialog() override { return std::nullopt; }
    std::optional<std::string> saveFileDialog() override { return std::nullopt; }
    void closeMainWindow() override {}
    void showAbout() override {}
    Canvas& canvas() override { return paper; }

    // The scale fields the reader wrote, in order.
    std::vector<std::string> fieldsWritten() const
    {
        std::vector<std::string> out;
        for (const auto& e : log)
            if (e.rfind("text ", 0) == 0)
                out.push_back(e.substr(5, e.find('=') - 5));
        return out;
    }

    std::vector<std::string> log;
    LoggingCanvas paper{log};
    std::function<void()> onMemoClear;
};

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
    std::ofstream out(name, std::ios::binary);
    out << bytes;
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
        "10",        "250.00",    "50.00",      "50.00",     "0",         "0.00000",
        "30.00000",  "3.00000",   "2.00000",    "100.00000", "10.00000",  "cap",
        "par",       "248.00000", "cap",        "ser",       "50.00000",  "ind",
        "par",       "1500.00000", "cap",       "par",       "292.00000", "cap",
        "ser",       "4.30000",   "dul",        "par",       "3.00000",   "duc",
        "par",       "4.00000",   "cap",        "ser",       "50.00000",  "cap",
        "par",       "248.00000", "rlb",        "ser",       "0.00000",
    };
    return lines;
}

// Reads `bytes` as a circuit file into `m`; returns the message of the failure, if any.
inline std::optional<std::string> readText(Model& m, LoggingWindow& w, const TempDir& dir,
                                           const std::string& bytes)
{
    m.circuitfile = dir.file("in.cir");
    writeBytes(m.circuitfile, bytes);
    try {
        readladder(m, w);
    } catch (const AppError& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

}  // namespace circuittest
