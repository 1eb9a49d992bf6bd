#include "analyser/sweep/sweep_command.h"

#include <array>
#include <vector>

#include "ladder/sweep_grid.h"
#include "common/atomic_file.h"
#include "common/checkedmath.h"
#include "ladder/circuit_file.h"
#include "ladder/engine.h"
#include "common/numread.h"
#include "common/numtext.h"
#include "ladder/readouts/readouts.h"
#include "ladder/step/step_response.h"
#include "ladder/network.h"
#include "ladder/tolerance.h"
#include "ladder/twoport.h"

namespace {

constexpr const char* kHeader = "frequency,s21_db,s11_db\n";
constexpr const char* kDelayHeader = "frequency,s21_db,s11_db,group_delay_s\n";

void appendPoint(std::string& out, double f, const Solution& s)
{
    appendG17(out, f);
    out += ',';
    appendG17(out, s.s21db);
    out += ',';
    appendG17(out, s.s11db);
    out += '\n';
}

void appendPoint(std::string& out, double f, const Solution& s, double delay)
{
    appendG17(out, f);
    out += ',';
    appendG17(out, s.s21db);
    out += ',';
    appendG17(out, s.s11db);
    out += ',';
    appendG17(out, delay);
    out += '\n';
}

// The plot's frequencies; a span too wide for a double has no sweep.
std::array<double, kSweepPoints> checkedSweep(double start, double stop)
{
    checked::finite(stop - start);
    const auto freqs = sweepFrequencies(start, stop);
    for (double f : freqs)
        checked::finite(f);
    return freqs;
}

std::string monteCarloCsv(const Circuit& m, double start, double stop, const SweepOptions& o, std::string* notes)
{
    tolerance::Settings s;
    s.trials = *o.monteCarlo;
    s.spread = o.xtalSpread ? tolerance::CrystalSpread::Uniform : tolerance::CrystalSpread::Normal;
    s.crystalHz = o.xtalSpread ? *o.xtalSpread : o.xtalSigma.value_or(0);
    s.capPercent = o.capTol.value_or(0);
    s.indPercent = o.indTol.value_or(0);
    s.seed = o.seed.value_or(s.seed);
    const tolerance::Result r = tolerance::run(m, start, stop, s);
    if (r.failed == s.trials)
        throw AppError(tolerance::failureNote(r));
    if (notes)
        *notes = tolerance::failureNote(r);
    return o.envelope ? tolerance::envelopeCsv(r) : tolerance::statisticsCsv(r);
}

// --fit FILE, --free SET, --fit-q, each once; false for any other argument.
bool parseFitOption(const std::string& arg, int argc, const char* const* argv, int& i,
                    std::optional<FitOptions>& fit, bool& freeGiven)
{
    const bool hasValue = i + 1 < argc;
    if (arg != "--fit" && arg != "--free" && arg != "--fit-q")
        return false;
    if (!fit)
        fit.emplace();
    if (arg == "--fit" && hasValue && fit->measurement.empty()) {
        fit->measurement = argv[++i];
        return !fit->measurement.empty();
    }
    if (arg == "--free" && hasValue && !freeGiven) {
        freeGiven = true;
        fit->free = argv[++i];
        return true;
    }
    if (arg == "--fit-q" && !fit->fitQ) {
        fit->fitQ = true;
        return true;
    }
    return false;
}

}  // namespace

std::string sweepCsv(const Circuit& m)
{
    return sweepCsv(m, m.startfreq, m.stopfreq, false);
}

std::string sweepCsv(const Circuit& m, double start, double stop, bool delay)
{
    const auto freqs = checkedSweep(start, stop);
    std::string out = delay ? kDelayHeader : kHeader;
    out.reserve(kSweepPoints * (delay ? 100 : 75));
    if (!delay) {
        solveSweep(m, freqs.data(), kSweepPoints,
                   [&](int i, const Solution& s) { appendPoint(out, freqs[i], s); });
        return out;
    }
    solveResponseSweep(m, freqs.data(), kSweepPoints, [&](int i, const Response& r) {
        appendPoint(out, freqs[i], r.levels, r.twoPort.delay);
    });
    return out;
}

std::string pointCsv(const Circuit& m, double analysisfreq, bool delay)
{
    std::string out = delay ? kDelayHeader : kHeader;
    const Solution s = solveLadder(m, analysisfreq);
    if (delay)
        appendPoint(out, analysisfreq, s, solveTwoPort(m, analysisfreq).delay);
    else
        appendPoint(out, analysisfreq, s);
    return out;
}

std::optional<SweepOptions> parseSweepOptions(int argc, const char* const* argv)
{
    if (argc < 2)
        return std::nullopt;
    SweepOptions o;
    o.file = argv[1];
    std::optional<FitOptions> fit;
    bool freeGiven = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        auto number = [&](std::optional<double>& into) {
            if (!hasValue || into)
                return false;
            into = readNumber(argv[++i]);
            return true;
        };
        bool ok = true;
        if (arg == "--at")
            ok = number(o.at);
        else if (arg == "--start")
            ok = number(o.start);
        else if (arg == "--stop")
            ok = number(o.stop);
        else if (arg == "--delay" && !o.delay)
            o.delay = true;
        else if (arg == "--measure" && !o.measure)
            o.measure = true;
        else if (arg == "--touchstone" && !o.touchstone)
            o.touchstone = true;
        else if (arg == "--out" && hasValue && !o.out)
            o.out = argv[++i];
        else if (arg == "--monte-carlo" && hasValue && !o.monteCarlo)
            o.monteCarlo = readInteger(argv[++i]);
        else if (arg == "--xtal-sigma")
            ok = number(o.xtalSigma);
        else if (arg == "--xtal-spread")
            ok = number(o.xtalSpread);
        else if (arg == "--cap-tol")
            ok = number(o.capTol);
        else if (arg == "--ind-tol")
            ok = number(o.indTol);
        else if (arg == "--seed" && hasValue && !o.seed)
            o.seed = tolerance::readSeed(argv[++i]);
        else if (arg == "--envelope" && !o.envelope)
            o.envelope = true;
        else if (arg == "--step" && !o.step)
            o.step = true;
        else if (parseFitOption(arg, argc, argv, i, fit, freeGiven))
            ;
        else
            ok = false;
        if (!ok)
            return std::nullopt;
    }
    o.fit = fit;
    // --measure with --step chooses the step's readouts, not another output.
    const int outputs = o.delay + (o.measure && !o.step) + o.touchstone + o.step + o.fit.has_value();
    if (o.step && (o.at || o.start))
        return std::nullopt;
    if (outputs > 1 || o.start.has_value() != o.stop.has_value() || (o.at && o.start) ||
        (o.out && !o.touchstone && !o.fit) || (o.at && (o.measure || o.touchstone || o.fit)) ||
        (o.fit && o.fit->measurement.empty()))
        return std::nullopt;
    const bool tolerance = o.xtalSigma || o.xtalSpread || o.capTol || o.indTol || o.seed || o.envelope;
    if ((tolerance && !o.monteCarlo) || (o.monteCarlo && (o.at || outputs > 0)) || (o.xtalSigma && o.xtalSpread))
        return std::nullopt;
    return o;
}

std::string runSweep(const SweepOptions& o, std::string* notes)
{
    const Circuit model = readCircuitFile(o.file);
    const double start = o.start.value_or(model.startfreq);
    const double stop = o.stop.value_or(model.stopfreq);
    if (o.step) {
        const StepResponse s = stepResponse(model);
        return o.measure ? stepReadoutsCsv(stepReadouts(s)) : stepCsv(s);
    }
    if (o.at)
        return pointCsv(model, *o.at, o.delay);
    if (o.monteCarlo)
        return monteCarloCsv(model, start, stop, o, notes);
    if (o.fit)
        return fitCsv(model, start, stop, *o.fit, o.out, notes);
    if (o.measure)
        return readoutsCsv(measureResponse(model, start, stop), model.frequnit);
    if (o.touchstone) {
        std::string text = sweepTouchstone(model, o.file, start, stop, "sorvel-sweep");
        if (!o.out)
            return text;
        writeFileAtomically(*o.out, text);
        return {};
    }
    return sweepCsv(model, start, stop, o.delay);
}
