#include "analyser/app/start_circuit.h"

#include <filesystem>
#include <system_error>

#include "ladder/readouts/measured_response.h"
#include "analyser/app/sorvel_app.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kExampleName = "lowpass-7-pole.cir";

bool isFile(const fs::path& p)
{
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

}  // namespace

StartCircuit chooseStartCircuit(const std::optional<std::string>& named,
                                const std::vector<std::string>& examples)
{
    if (named)
        return {*named, false, true, {}};
    StartCircuit start;
    if (isFile(start.file))
        return start;
    for (const std::string& example : examples) {
        if (isFile(example)) {
            // Absolute, so the file field names the example plainly wherever the program runs.
            std::error_code ec;
            const fs::path full = fs::weakly_canonical(fs::absolute(example), ec);
            return {ec ? example : full.string(), true, false, {}};
        }
    }
    return start;
}

std::optional<StartArguments> parseStartArguments(const std::vector<std::string>& args)
{
    StartArguments a;
    for (const std::string& arg : args) {
        if (arg.empty() || arg.front() == '-')
            return std::nullopt;
        auto& slot = isMeasurementFile(arg) ? a.measurement : a.circuit;
        if (slot)
            return std::nullopt;
        slot = arg;
    }
    return a;
}

std::vector<std::string> bundledExamplePaths(const std::string& exeDir)
{
    std::vector<std::string> paths{
        (fs::path(exeDir) / ".." / "share" / "sorvel" / "examples" / kExampleName).string()};
#ifdef SORVEL_SOURCE_EXAMPLES
    // Run from the build tree, before anything is installed.
    paths.push_back((fs::path(SORVEL_SOURCE_EXAMPLES) / kExampleName).string());
#endif
    return paths;
}

void startSorvel(SorvelApp& app, const StartCircuit& start)
{
    app.analyser().circuitfile = start.file;
    if (start.bundledExample || start.named || start.measurement) {
        MainWindow& main = app.mainWindow();
        main.onShown = [&app, activate = main.onShown, first = true, start]() mutable {
            activate();
            if (first && start.measurement) {
                Analyser& a = app.analyser();
                a.run([&] { a.loadMeasurement(*start.measurement); });
                app.port().flush();
            } else if (first && app.analyser().circuitReadWhole) {
                app.command(&Analyser::plot);
            }
            first = false;
        };
    }
    app.start();
    if (SorvelApp::responseWasOpen())
        app.showResponse();
}
