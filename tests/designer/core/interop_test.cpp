// A design written by Mirabo, read back and analysed by Sorvel's reader and engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ladder/circuit_file.h"
#include "designer/core/designer.h"
#include "ladder/engine.h"
#include "tests/support/fake_form.h"

namespace fs = std::filesystem;

namespace {

// The default design with R = 100 for `n` crystals, saved under `path`.
void writeDesign(const std::string& n, const fs::path& path)
{
    DesignState s;
    FakeForm w = mainFormWithDefaults();
    Designer d(s, w);
    clickStartDesign(d, w, n);
    w.dialogAnswer = path.string();
    runCommand(w, [&] { d.saveAs(); });
    ASSERT_EQ(w.messageEvents(), std::vector<std::string>{msg::kSaved});
}

struct Interop : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("mirabo-interop-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    Circuit read(const fs::path& file)
    {
        return readCircuitFile(file.string());
    }
};

TEST_F(Interop, SorvelReadsTheDesign)
{
    for (const char* n : {"2", "5", "10"}) {
        const fs::path file = dir / (std::string("n") + n + ".cir");
        writeDesign(n, file);
        const Circuit m = read(file);
        const int crystals = std::stoi(n);
        EXPECT_EQ(m.partcount, 3 * crystals + 2);
        EXPECT_EQ(m.crystalflag, 1);
        EXPECT_EQ(m.frequnit, "Hz");
        EXPECT_DOUBLE_EQ(m.startfreq, -500);
        EXPECT_DOUBLE_EQ(m.stopfreq, 1000);
        EXPECT_DOUBLE_EQ(m.xtalfreq, 10);
        EXPECT_DOUBLE_EQ(m.loadr, 100);
        EXPECT_DOUBLE_EQ(m.sourcer, 100);
        EXPECT_EQ(m.part(2).partkind, "xtl");
        EXPECT_EQ(m.part(m.partcount).partkind, "rlb");
    }
}

TEST_F(Interop, TheDefaultDesignPassesItsBand)
{
    const fs::path file = dir / "default.cir";
    writeDesign("5", file);
    const Circuit m = read(file);
    // Sweep the file's own span; the band is where S21 is within 3 dB of its peak.
    std::vector<std::pair<int, double>> s21;
    for (int f = -500; f <= 1000; f += 5)
        s21.emplace_back(f, solveLadder(m, f).s21db);
    const auto [peakAt, peak] =
        *std::max_element(s21.begin(), s21.end(), [](auto& a, auto& b) { return a.second < b.second; });
    std::vector<int> band;
    for (const auto& [f, db] : s21)
        if (db >= peak - 3)
            band.push_back(f);
    const int low = band.front(), high = band.back();
    // About 250 Hz wide, above the crystals' series resonance, with a few dB of crystal
    // loss at Qu 200000; the stopband is far down on both sides.
    EXPECT_GT(peak, -8.0);
    EXPECT_LT(peak, 0.1);
    EXPECT_GT(peakAt, 250);
    EXPECT_LT(peakAt, 500);
    EXPECT_GT(high - low, 180);
    EXPECT_LT(high - low, 320);
    EXPECT_GT(low, 150);
    EXPECT_LT(high, 600);
    EXPECT_LT(solveLadder(m, -500).s21db, -60);
    EXPECT_LT(solveLadder(m, 0).s21db, -35);
    EXPECT_LT(solveLadder(m, 1000).s21db, -55);
}

}  // namespace
