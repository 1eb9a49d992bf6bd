// The five-crystal example shipped with the programs is the designer's default design, byte
// for byte as its export writes it, so the example never drifts from what Mirabo makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "common/touchstone.h"
#include "designer/core/designer.h"
#include "ladder/circuit_file.h"
#include "ladder/engine.h"
#include "ladder/readouts/readouts.h"
#include "ladder/twoport.h"
#include "tests/support/fake_form.h"
#include "tests/support/file_support.h"

namespace fs = std::filesystem;

namespace {

TEST(BundledExample, FiveCrystalExampleIsTheDefaultExport)
{
    const fs::path dir = fs::temp_directory_path() / ("mirabo-example-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    DesignState s;
    FakeForm w = mainFormWithDefaults();
    Designer d{s, w};
    clickStartDesign(d, w);
    w.dialogAnswer = (dir / "design.cir").string();
    runCommand(w, [&] { d.saveAs(); });
    const std::string written = slurp(dir / "design.cir");
    fs::remove_all(dir);
    ASSERT_FALSE(written.empty()) << "the export wrote nothing";
    EXPECT_EQ(slurp(fs::path(EXAMPLES_DIR) / "crystal-5-pole.cir"), written);
}

// Lowest and highest frequency (Hz offsets from F) where S21 is within `dB` of its peak.
std::pair<double, double> band(const Network& n, double dB)
{
    double peak = -1e9;
    for (const auto& s : n.s21)
        peak = std::max(peak, magnitudeDb(s));
    double lo = 1e18, hi = -1e18;
    for (std::size_t i = 0; i < n.s21.size(); ++i)
        if (magnitudeDb(n.s21[i]) >= peak - dB) {
            lo = std::min(lo, n.frequencyHz[i] - 10e6);
            hi = std::max(hi, n.frequencyHz[i] - 10e6);
        }
    return {lo, hi};
}

// The measured example is that design as built: over the design's sweep, its band where the
// design's is, but not the design's own response.
TEST(BundledExample, MeasuredExampleIsTheFiveCrystalDesignAsBuilt)
{
    const Network n = readTouchstoneFile((fs::path(EXAMPLES_DIR) / "measured-crystal-5-pole.s2p").string());
    const Circuit design = readCircuitFile((fs::path(EXAMPLES_DIR) / "crystal-5-pole.cir").string());
    ASSERT_EQ(n.ports, 2);
    EXPECT_EQ(n.frequencyHz.size(), 200u);
    EXPECT_NEAR(n.frequencyHz.front() - 10e6, design.startfreq, 1e-3);
    EXPECT_LE(n.frequencyHz.back() - 10e6, design.stopfreq);

    const Readouts r = measureResponse(design, design.startfreq, design.stopfreq);
    ASSERT_TRUE(r.bands[1].low && r.bands[1].high);
    const auto [lo, hi] = band(n, 6);
    EXPECT_NEAR(lo, *r.bands[1].low, 25);
    EXPECT_NEAR(hi, *r.bands[1].high, 25);
    EXPECT_NEAR(hi - lo, *r.bands[1].width, 0.15 * *r.bands[1].width);

    // Off the design: somewhere in the pass band by more than the trace noise could make.
    double largest = 0;
    for (std::size_t i = 0; i < n.frequencyHz.size(); ++i) {
        const double f = n.frequencyHz[i] - 10e6;
        if (f > lo && f < hi)
            largest = std::max(largest, std::abs(magnitudeDb(n.s21[i]) - solveLadder(design, f).s21db));
    }
    EXPECT_GT(largest, 0.3);
}

}  // namespace
