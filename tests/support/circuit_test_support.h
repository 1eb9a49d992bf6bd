#pragma once
// Circuit files loaded into a fake main window, as File > Open and the activation do.

#include <optional>
#include <string>

#include "analyser/core/circuit_loader.h"
#include "common/errors.h"
#include "tests/support/circuit_files.h"
#include "tests/support/fake_window.h"

namespace circuittest {

// Loads `bytes` as a circuit file into `m` as the main window does; returns the message of
// the failure, if any.
inline std::optional<std::string> readText(Circuit& m, ViewState& view, FakeWindow& w, const TempDir& dir,
                                           const std::string& bytes)
{
    const std::string file = dir.file("in.cir");
    writeBytes(file, bytes);
    try {
        loadCircuitFile(file, m, view, w);
    } catch (const AppError& e) {
        return std::string(e.what());
    }
    return std::nullopt;
}

inline std::optional<std::string> readText(Circuit& m, FakeWindow& w, const TempDir& dir, const std::string& bytes)
{
    ViewState view;
    return readText(m, view, w, dir, bytes);
}

}  // namespace circuittest
