// What the crystal windows show, checked without them.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "designer/core/crystal_results.h"
#include "tests/support/circuit_files.h"

namespace {

CrystalFit someFit(int seriesPoints, int parallelPoints)
{
    CrystalFit f;
    f.fsHz = 9999512.34;
    f.lmH = 0.0185;
    f.cmF = 13.7e-15;
    f.rmOhm = 8.25;
    f.c0F = 3.2e-12;
    f.qu = 140911.7;
    f.fpHz = 10020934.5;
    f.residualDb = 0.0123;
    f.seriesPoints = seriesPoints;
    f.parallelPoints = parallelPoints;
    return f;
}

TEST(CrystalTexts, FitAndSeriesMethodValuesWithUnitsAndTheirDigits)
{
    EXPECT_EQ(fitValuesText(someFit(9, 9), "x1.s2p"),
              "x1.s2p\nfs = 9999512.34 Hz\nLm = 0.0185 H\nCm = 13.7 fF\nRm = 8.25 ohm\nC0 = 3.2 pF\n"
              "Qu = 140912\nfp = 10020934.5 Hz");
    EXPECT_EQ(fitResidualText(someFit(9, 6)),
              "Residual 0.0123 dB RMS; 9 points across the series resonance, 6 across the parallel one.");
    // Five points on either resonance make the values less certain.
    for (auto [s, p] : {std::pair{5, 9}, std::pair{9, 5}})
        EXPECT_EQ(fitResidualText(someFit(s, p)),
                  "Residual 0.0123 dB RMS; " + std::to_string(s) + " points across the series resonance, " +
                      std::to_string(p) + " across the parallel one (fewer than six: the values are less certain)");
    EXPECT_EQ(motionalValuesText({13.7e-15, 0.0185}), "Lm = 0.0185 H\nCm = 13.7 fF");
}

TEST(CrystalTexts, CurvesInDbOfAOnePortAsTheFitSeesIt)
{
    const CrystalFit f = someFit(9, 9);
    Network n;
    n.ports = 1;
    n.referenceR1 = 50;
    // An open (no crystal) and a short to ground: no path, and the whole signal lost.
    n.frequencyHz = {9.9e6, 10e6, 10.1e6};
    n.s11 = {1.0, -1.0, {0.5, 0.0}};
    const FitCurves c = fitCurves(n, f, 50);
    ASSERT_EQ(c.mhz.size(), 3u);
    EXPECT_DOUBLE_EQ(c.mhz[1], 10.0);
    EXPECT_EQ(c.measuredDb[0], -300) << "no path shows at the floor, not -inf";
    EXPECT_NEAR(c.measuredDb[1], 0, 1e-12);
    // Z = 150 ohm in series between 50 ohm ports: S21 = 100 / 250.
    EXPECT_NEAR(c.measuredDb[2], 20 * std::log10(0.4), 1e-12);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(c.fittedDb[i], 20 * std::log10(std::abs(crystalS21(f, n.frequencyHz[i], 50))), 1e-12);
}

TEST(CrystalBatch, JoinedSortedAndEveryNameOnce)
{
    const std::vector<MeasuredCrystal> listed{{"A", 3}, {"B", 1}};
    const auto all = joinCrystals(sortedByFs(listed), {{"C", 2}, {"D", 1}});
    std::string order;
    for (const MeasuredCrystal& c : all)
        order += c.name;
    EXPECT_EQ(order, "BDCA") << "equal fs keep the order they came in";
    try {
        joinCrystals(listed, {{"C", 2}, {"A", 5}});
        ADD_FAILURE() << "a name twice was taken";
    } catch (const CrystalListError& e) {
        EXPECT_STREQ(e.what(), "'A' is listed twice");
    }
    EXPECT_THROW(joinCrystals({}, {{"X", 1}, {"X", 2}}), CrystalListError);
}

TEST(CrystalBatch, FilesNamedByTheirStemAndAFailureByTheFile)
{
    const circuittest::TempDir dir;
    const std::string bad = dir.file("x2.s2p");
    std::ofstream(bad) << "# Hz S DB R 50\n1e7 -20 0 -1 0 -1 0 -20 0\n";
    try {
        measuredCrystalFiles({bad}, 50);
        ADD_FAILURE() << "a file that is no crystal was taken";
    } catch (const AppError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("x2.s2p: ", 0), 0u) << e.what();
    }
    EXPECT_TRUE(measuredCrystalFiles({}, 50).empty());
}

TEST(CrystalBatch, RowsAndSetStatus)
{
    EXPECT_EQ(crystalRow({"X1", 10000012.5}, 1e7), (std::array<std::string, 3>{"X1", "10000012.5", "12.5"}));
    EXPECT_EQ(crystalRow({"X1", 10000012.5}, 0)[2], "") << "no offset before step 1 knows F";
    EXPECT_EQ(setStatusText({}, 5), "No set: the export puts every crystal at F.");
    EXPECT_EQ(setStatusText({-20, -5, 0, 3, 12.5}, 5),
              "The export puts 5 crystals at their own offsets from F (spread 32.5 Hz)."
              "  Step 6 tunes every mesh to its own crystal.");
    EXPECT_EQ(setStatusText({-20, -5, 0, 3, 12.5}, 5, 2, "X7"),
              "The export puts 5 crystals at their own offsets from F (spread 32.5 Hz)."
              "  Step 6 tunes every mesh to its own crystal.  Mesh 2 (X7) sets the common frequency.");
    EXPECT_EQ(setStatusText({-20, 12.5}, 5), "The export puts 2 crystals at their own offsets from F (spread 32.5 Hz)."
                                             "  The design has N = 5: the export refuses until they agree.");
}

}  // namespace
