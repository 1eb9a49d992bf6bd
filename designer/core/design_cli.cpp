#include "designer/core/design_cli.h"

#include <cmath>
#include <cstring>

#include "designer/core/crystal_measure.h"
#include "designer/core/designer.h"
#include "designer/core/kandq.h"
#include "designer/core/loss_correction.h"
#include "designer/core/matched_set.h"
#include "designer/core/memory_port.h"
#include "designer/core/mesh_tuning.h"
#include "designer/core/preferred_values.h"
#include "designer/core/refit.h"
#include "common/numread.h"
#include "common/numtext.h"
#include "designer/core/realized.h"
#include "designer/core/single.h"
#include "designer/core/value_choice.h"

using design::Field;

namespace {

std::vector<std::string> splitCommas(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = text.find(',', begin);
        out.push_back(text.substr(begin, comma - begin));
        if (comma == std::string::npos)
            return out;
        begin = comma + 1;
    }
}

// Steps 2A's generator as the window runs it, then the refresh that brings its N, q1, qn and
// k into the main window's fields on return.
void generateKandQ(const std::string& kind, MemoryDesignPort& window)
{
    DesignState scratch;
    MemoryKandQPort generatorWindow;
    KandQ generator(scratch, generatorWindow);
    generatorWindow.fields[kq::Field::CrystalCount] = window.text(Field::CrystalCount);
    generatorWindow.fields[kq::Field::Ripple] = "0";
    if (kind == "butterworth") {
        generator.chooseButterworth();
    } else if (kind == "minloss") {
        generator.chooseMinimumLoss();
    } else if (kind == "bessel") {
        generator.chooseBessel();
    } else if (kind == "gaussian") {
        generator.chooseGaussian();
    } else if (kind.rfind("chebyshev:", 0) == 0) {
        generator.chooseChebyshev();
        generatorWindow.fields[kq::Field::Ripple] = kind.substr(10);
    } else {
        throw UsageError("--kq takes butterworth, chebyshev:RIPPLE_DB, minloss, bessel or gaussian, not '" + kind + "'");
    }
    generator.calculate();
    if (!generatorWindow.messages.empty())
        throw AppError(generatorWindow.messages.front());
    Designer(scratch, window).showDesign();
}

std::string value(float v)
{
    return generalText(static_cast<double>(v), 15);
}

}  // namespace

DesignOptions parseDesignOptions(int argc, const char* const* argv)
{
    DesignOptions o;
    std::optional<std::string> k;
    const std::pair<const char*, std::optional<std::string>*> texts[] = {
        {"--f", &o.fMhz}, {"--lm", &o.lm}, {"--qu", &o.qu},     {"--c0", &o.c0pf},
        {"--bw", &o.bw},  {"--n", &o.n},   {"--q1", &o.q1},     {"--qn", &o.qn},
        {"--k", &k},      {"--r", &o.r},   {"--kq", &o.kq},     {"--crystals", &o.crystals},
        {"--out", &o.out}, {"--round", &o.round},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--correct-loss") {
            o.correctLoss = true;
            continue;
        }
        if (arg == "--refit") {
            o.refit = true;
            continue;
        }
        bool known = false;
        for (const auto& [name, target] : texts) {
            if (arg != name)
                continue;
            if (i + 1 >= argc)
                throw UsageError(arg + " needs a value");
            if (target->has_value())
                throw UsageError(arg + " is given twice");
            *target = argv[++i];
            known = true;
        }
        if (!known)
            throw UsageError("unknown option '" + arg + "'");
    }
    if (k)
        o.k = splitCommas(*k);
    if (o.kq && (o.q1 || o.qn || k))
        throw UsageError("--kq generates q1, qn and k: give either --kq or --q1, --qn and --k");
    if (o.refit && !o.round)
        throw UsageError("--refit needs --round");
    if (o.k.size() > 9)
        throw UsageError("--k takes at most 9 values, k12 to k9-10");
    return o;
}

std::string runDesign(const DesignOptions& o)
{
    MemoryDesignPort window;
    window.fields = defaultDesignFields();
    const std::pair<const std::optional<std::string>*, Field> typed[] = {
        {&o.fMhz, Field::CrystalMhz}, {&o.lm, Field::MotionalL}, {&o.qu, Field::CrystalQ},
        {&o.c0pf, Field::HolderC0},   {&o.bw, Field::Bandwidth}, {&o.n, Field::CrystalCount},
        {&o.q1, Field::Q1},           {&o.qn, Field::Qn},        {&o.r, Field::EndR},
    };
    for (const auto& [text, field] : typed)
        if (*text)
            window.fields[field] = **text;
    if (!o.k.empty()) {
        const std::int32_t n = readInteger(window.text(Field::CrystalCount));
        if (static_cast<long long>(o.k.size()) != static_cast<long long>(n) - 1)
            throw UsageError("--k needs N - 1 values, k12 to k" + integerText(n - 1) + "-" + integerText(n));
        for (std::size_t j = 0; j < o.k.size(); ++j)
            window.fields[design::couplingField(static_cast<int>(j) + 1)] = o.k[j];
    }
    if (o.kq)
        generateKandQ(*o.kq, window);

    const float askedBw = readSingle(window.text(Field::Bandwidth));
    DesignState s;
    // The set is picked before the steps, so that step 6 tunes each mesh to its own crystal.
    if (o.crystals) {
        const float fhz = store(readSingle(window.text(Field::CrystalMhz)) * 1000000.0L);
        const std::int32_t n = readInteger(window.text(Field::CrystalCount));
        for (const SetMember& m : pickMatchedSet(readCrystalListFile(*o.crystals), n, fhz).members) {
            s.setFsHz.push_back(m.fsHz);
            s.setNames.push_back(m.name);
        }
    }
    std::string out;
    if (o.correctLoss) {
        LossCorrection c = correctForLoss(window.fields, o.r ? EndRChoice::TypedOrMinimum : EndRChoice::Minimum,
                                          s.setFsHz, s.setNames);
        if (!c.reached || c.endRRaised)
            throw AppError(c.message);
        s = c.state;
        window = c.window;
        out += "design_bw_hz," + value(s.bw) + "\n";
        out += "iterations," + integerText(c.iterations) + "\n";
    } else {
        const StepsRun run = runDesignSteps(s, window, o.r ? EndRChoice::Typed : EndRChoice::Minimum);
        if (!run.done)
            throw AppError(run.message);
    }

    // The export reads the tuning capacitors back from their fields, as the window's does.
    for (int i = 1; i <= kMeshes; ++i)
        s.tuningCap[i] = readSingle(window.text(design::tuningCapField(i)));
    if (o.round) {
        s = chooseValues(s, availableValues(*o.round), o.refit, askedBw);
        for (int i = 1; i <= s.crystalCount; ++i)
            window.setText(design::tuningCapField(i), generalText(s.tuningCap[i], 15));
    }
    std::string lines = "min_end_r_ohm," + value(s.rmin) + "\n" + "end_r_ohm," + value(s.rend) + "\n" +
                        "c1_pf," + value(s.ce1pf) + "\n" + "cn_pf," + value(s.cenpf) + "\n";
    for (int j = 1; j < s.crystalCount; ++j)
        lines += "c" + integerText(j) + "_" + integerText(j + 1) + "_pf," + value(s.couplingCap[j]) + "\n";
    for (int i = 1; i <= s.crystalCount; ++i)
        lines += "ct" + integerText(i) + "_pf," + value(s.tuningCap[i]) + "\n";
    if (!o.correctLoss)
        lines += "design_bw_hz," + value(s.bw) + "\n";
    lines += out;
    for (std::size_t i = 0; i < s.setFsHz.size(); ++i)
        lines += "xtal" + integerText(static_cast<long long>(i) + 1) + "_fs_hz," + generalText(s.setFsHz[i], 15) + "\n";
    lines += realizedCsv(realizeDesign(s, askedBw));
    if (o.kq) {
        lines += "q1," + generalText(s.q1, 9) + "\n" + "qn," + generalText(s.qn, 9) + "\n";
        for (int j = 1; j < s.crystalCount; ++j)
            lines += "k" + integerText(j) + "_" + integerText(j + 1) + "," + generalText(s.coupling[j], 9) + "\n";
    }
    if (o.crystals)
        lines += "reference_crystal," + setCrystalName(s, s.referenceMesh) + "\n";
    if (o.refit)
        lines += "rounded_end_r_ohm," + value(s.rend) + "\n";

    // Written last: any refusal or failure above leaves no file.
    if (o.out) {
        Designer exporter(s, window);
        exporter.designfile = *o.out;
        window.messages.clear();
        exporter.saveCircuit();
        if (window.messages != std::vector<std::string>{msg::kSaved})
            throw AppError(window.messages.front());
    }
    return lines;
}

CrystalOptions parseCrystalOptions(int argc, const char* const* argv)
{
    CrystalOptions o;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port-r") {
            if (i + 1 >= argc)
                throw UsageError("--port-r needs a value");
            o.portR = argv[++i];
        } else if (arg.rfind("--", 0) == 0 || haveFile) {
            throw UsageError("unknown argument '" + arg + "'");
        } else {
            o.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile)
        throw UsageError("no measurement file given");
    return o;
}

std::string runCrystal(const CrystalOptions& o)
{
    const double portR = o.portR ? readNumber(*o.portR) : kDefaultPortR;
    return crystalFitCsv(fitMeasuredCrystalFile(o.file, portR));
}
