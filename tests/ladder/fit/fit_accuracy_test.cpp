// The fit against synthetic measurements: designs of 4 to 8 crystals and the seven-pole
// low-pass, built with their parts moved, measured with trace noise, must come back as built.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <string>

#include "ladder/circuit_file.h"
#include "ladder/fit/circuit_fit.h"
#include "ladder/readouts/readouts.h"
#include "tests/support/fit_support.h"

namespace {

Circuit design(const std::string& name) { return readCircuitFile(std::string(TEST_DATA_DIR) + "/fit/" + name); }

Circuit lowPass() { return readCircuitFile(std::string(TEST_DATA_DIR) + "/../../../packaging/examples/lowpass-7-pole.cir"); }

struct Accuracy {
    double worstOffsetShare = 0;  // of the -3 dB bandwidth
    double worstCapShare = 0;
    double rmsAfterDb = 0;
};

// Builds `design` with its parts moved, measures it and fits the default free set from the
// design's values.
Accuracy fitBuilt(const Circuit& design, double offsetHz, double capShare, std::uint64_t seed)
{
    const Circuit truth = fittest::built(design, offsetHz, capShare, seed);
    const Network measured = fittest::measurementOf(truth, 401, {}, seed + 1000);
    const fit::Target target = fit::targetFrom(measured, design, design.startfreq, design.stopfreq);
    const fit::Result r = fit::fitCircuit(design, target, fit::defaultFreeSet(design));
    EXPECT_FALSE(r.poor) << r.message;
    const auto bw = measureResponse(truth, truth.startfreq, truth.stopfreq).bands[0].width;
    Accuracy a;
    a.rmsAfterDb = r.rmsAfterDb;
    for (const fit::ParameterResult& p : r.parameters) {
        const double want = truth.part(p.entry).partvalue;
        if (p.kind == fit::ParameterKind::Offset)
            a.worstOffsetShare = std::max(a.worstOffsetShare, std::fabs(p.fitted - want) / bw.value());
        else
            a.worstCapShare = std::max(a.worstCapShare, std::fabs(p.fitted / want - 1));
    }
    return a;
}

void expectRecovered(const Accuracy& a, const std::string& what)
{
    EXPECT_LE(a.worstOffsetShare, 0.01) << what;
    EXPECT_LE(a.worstCapShare, 0.01) << what;
    EXPECT_LE(a.rmsAfterDb, 2 * fittest::Noise{}.db) << what;
    std::printf("%s: offsets within %.3f %% of the bandwidth, capacitors within %.3f %%, residual %.4f dB\n",
                what.c_str(), 100 * a.worstOffsetShare, 100 * a.worstCapShare, a.rmsAfterDb);
}

TEST(FitAccuracy, EightCrystalsMovedByAThirdOfTheBandwidth)
{
    const Circuit d = design("crystal-8-pole.cir");
    expectRecovered(fitBuilt(d, 2400 / 3.0, 0.10, 1), "8 crystals, seed 1");
}

TEST(FitAccuracy, SevenPoleLowPassWithItsCapacitorsMoved)
{
    const Circuit d = lowPass();
    expectRecovered(fitBuilt(d, 0, 0.10, 1), "low-pass, seed 1");
}

TEST(FitAccuracy, AnInstrumentsNoiseFloorDoesNotOutvoteThePassBand)
{
    // The stop band drowned in -80 dB of additive noise, as a network analyser's floor reads.
    const Circuit d = design("crystal-6-pole.cir");
    const Circuit truth = fittest::built(d, 800, 0.10, 9);
    Network n = fittest::measurementOf(truth, 401, {}, 19);
    std::mt19937_64 rng(5);
    std::normal_distribution<double> floor(0, 1e-4 / std::sqrt(2.0));
    for (auto* v : {&n.s21, &n.s12})
        for (auto& s : *v)
            s += std::complex<double>(floor(rng), floor(rng));
    const fit::Result r =
        fit::fitCircuit(d, fit::targetFrom(n, d, d.startfreq, d.stopfreq), fit::defaultFreeSet(d));
    EXPECT_FALSE(r.poor);
    const double bw = measureResponse(truth, truth.startfreq, truth.stopfreq).bands[0].width.value();
    for (const fit::ParameterResult& p : r.parameters) {
        const double want = truth.part(p.entry).partvalue;
        if (p.kind == fit::ParameterKind::Offset)
            EXPECT_LE(std::fabs(p.fitted - want), 0.01 * bw) << p.name;
        else
            EXPECT_LE(std::fabs(p.fitted / want - 1), 0.01) << p.name;
    }
}

TEST(FitAccuracySlow, EveryDesignAndManyBuilds)
{
    for (int crystals = 4; crystals <= 8; ++crystals) {
        const Circuit d = design("crystal-" + std::to_string(crystals) + "-pole.cir");
        for (std::uint64_t seed = 1; seed <= 6; ++seed)
            expectRecovered(fitBuilt(d, 2400 / 3.0, 0.10, seed),
                            std::to_string(crystals) + " crystals, seed " + std::to_string(seed));
    }
    for (std::uint64_t seed = 1; seed <= 6; ++seed)
        expectRecovered(fitBuilt(lowPass(), 0, 0.10, seed), "low-pass, seed " + std::to_string(seed));
}

}  // namespace
