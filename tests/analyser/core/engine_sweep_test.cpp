// The sweep solves several frequencies side by side; it must give exactly what one
// ladder() call per frequency gives, and fail at the same point.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine.h"
#include "errors.h"
#include "model.h"

namespace {

Model crystalLadder()
{
    Model m = Model::startup();
    m.resetBeforeRead();
    m.crystalflag = 1;
    m.xtalfreq = 10;
    m.xtallm = 0.02;
    m.xtalcp = 3;
    m.xtalqx = 200000;
    const struct {
        const char* kind;
        const char* conn;
        double value;
    } parts[] = {
        {"cap", "par", 142}, {"xtl", "ser", 0},   {"cap", "ser", 900}, {"cap", "par", 338},
        {"xtl", "ser", 0},   {"ind", "par", 5000}, {"duc", "par", 1},  {"res", "par", 1e6},
        {"xtl", "par", 50},  {"dur", "ser", 8},   {"cap", "par", 511}, {"rlb", "ser", 0},
    };
    m.partcount = 0;
    for (const auto& p : parts) {
        ++m.partcount;
        m.setKind(m.partcount, p.kind);
        m.part(m.partcount).partconn = p.conn;
        m.part(m.partcount).partvalue = p.value;
    }
    return m;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(LadderSweep, GivesExactlyWhatOneSolutionPerFrequencyGives)
{
    for (const Model& m : {Model::startup(), crystalLadder()}) {
        std::vector<double> freqs;
        const double step = m.crystalflag == 1 ? 1.7 : 0.031;
        for (int i = 0; i < 1003; ++i)  // not a multiple of the lanes: the tail is solved alone
            freqs.push_back((i - 300) * step);
        int calls = 0;
        ladderSweep(m, freqs.data(), static_cast<int>(freqs.size()), [&](int i, const Solution& s) {
            ASSERT_EQ(i, calls++);
            const Solution one = ladder(m, freqs[i]);
            EXPECT_TRUE(sameBits(s.s21db, one.s21db)) << freqs[i];
            EXPECT_TRUE(sameBits(s.s11db, one.s11db)) << freqs[i];
        });
        EXPECT_EQ(calls, 1003);
    }
}

TEST(LadderSweep, FailsAtTheSameFrequencyAsSolvingOneByOne)
{
    // Nominal crystal frequency 1 Hz: the offset -1 Hz is 0 Hz, where a crystal's motional
    // reactance divides by zero.
    Model m = crystalLadder();
    m.xtalfreq = 1e-6;
    const double freqs[] = {-6, -5, -4, -3, -2, -1, 0, 1};
    std::vector<int> seen;
    try {
        ladderSweep(m, freqs, 8, [&](int i, const Solution&) { seen.push_back(i); });
        ADD_FAILURE() << "no error";
    } catch (const FloatError& e) {
        EXPECT_STREQ(e.what(), "Floating point division by zero");
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
}

}  // namespace
