#include "designer/core/crystal_results.h"

#include <algorithm>
#include <filesystem>

#include "common/numtext.h"
#include "designer/core/crystal_measure.h"
#include "ladder/twoport.h"

std::string fitValuesText(const CrystalFit& f, const std::string& fileName)
{
    return fileName + "\nfs = " + generalText(f.fsHz, 10) + " Hz\nLm = " + generalText(f.lmH, 6) +
           " H\nCm = " + generalText(f.cmF * 1e15, 6) + " fF\nRm = " + generalText(f.rmOhm, 5) +
           " ohm\nC0 = " + generalText(f.c0F * 1e12, 4) + " pF\nQu = " + generalText(f.qu, 6) +
           "\nfp = " + generalText(f.fpHz, 10) + " Hz";
}

std::string fitResidualText(const CrystalFit& f)
{
    return "Residual " + generalText(f.residualDb, 3) + " dB RMS; " + integerText(f.seriesPoints) +
           " points across the series resonance, " + integerText(f.parallelPoints) + " across the parallel one" +
           (std::min(f.seriesPoints, f.parallelPoints) < 6 ? " (fewer than six: the values are less certain)" : ".");
}

std::string motionalValuesText(const MotionalValues& m)
{
    return "Lm = " + generalText(m.lmH, 6) + " H\nCm = " + generalText(m.cmF * 1e15, 6) + " fF";
}

FitCurves fitCurves(const Network& network, const CrystalFit& fit, double portR)
{
    FitCurves c;
    const auto s21 = seriesS21(network, portR);
    for (std::size_t i = 0; i < network.frequencyHz.size(); ++i) {
        const double fHz = network.frequencyHz[i];
        c.mhz.push_back(fHz / 1e6);
        c.measuredDb.push_back(magnitudeDb(s21[i]));
        c.fittedDb.push_back(magnitudeDb(crystalS21(fit, fHz, portR)));
    }
    return c;
}

std::vector<MeasuredCrystal> measuredCrystalFiles(const std::vector<std::string>& paths, double portR)
{
    std::vector<MeasuredCrystal> out;
    for (const std::string& path : paths) {
        const std::filesystem::path p(path);
        try {
            out.push_back({p.stem().string(), fitMeasuredCrystalFile(path, portR).fsHz});
        } catch (const AppError& e) {
            throw AppError(p.filename().string() + ": " + e.what());
        }
    }
    return out;
}

std::array<std::string, 3> crystalRow(const MeasuredCrystal& c, double fHz)
{
    return {c.name, generalText(c.fsHz, 12), fHz > 0 ? generalText(c.fsHz - fHz, 8) : std::string()};
}

std::string setStatusText(const std::vector<double>& setFsHz, int crystalCount, int referenceMesh,
                          const std::string& referenceName)
{
    if (setFsHz.empty())
        return "No set: the export puts every crystal at F.";
    const double spread = setFsHz.back() - setFsHz.front();
    std::string line = "The export puts " + integerText(static_cast<long long>(setFsHz.size())) +
                       " crystals at their own offsets from F (spread " + generalText(spread, 6) + " Hz).";
    if (static_cast<int>(setFsHz.size()) != crystalCount)
        line += "  The design has N = " + integerText(crystalCount) + ": the export refuses until they agree.";
    else
        line += "  Step 6 tunes every mesh to its own crystal.";
    if (referenceMesh > 0 && static_cast<int>(setFsHz.size()) == crystalCount)
        line += "  Mesh " + integerText(referenceMesh) + " (" + referenceName + ") sets the common frequency.";
    return line;
}
