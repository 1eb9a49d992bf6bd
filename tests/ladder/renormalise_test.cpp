#include <gtest/gtest.h>

#include "ladder/network.h"
#include "ladder/renormalise.h"
#include "tests/support/ladder_support.h"

namespace {

using laddertest::ladder;

// A low-pass L section matching 50 to 200 ohms roughly; any ladder would do.
Circuit matching(double loadr)
{
    Circuit m = ladder({{"cap", "par", 300}, {"ind", "ser", 1.2}, {"cap", "par", 150}}, loadr, 50);
    m.inductorq = 1e9;
    return m;
}

// The same ladder between other terminations is the same network at other references.
TEST(Renormalise, ReferencesChangeAsTheTerminationsWould)
{
    const Network unequal = sweepNetwork(matching(200), 1, 30);
    const Network equal = sweepNetwork(matching(50), 1, 30);
    const Network back = renormalised(unequal, 50);
    EXPECT_EQ(back.referenceR1, 50);
    EXPECT_EQ(back.referenceR2, 50);
    for (std::size_t i = 0; i < equal.frequencyHz.size(); i += 97) {
        SCOPED_TRACE(i);
        EXPECT_LT(std::abs(back.s11[i] - equal.s11[i]), 1e-9);
        EXPECT_LT(std::abs(back.s21[i] - equal.s21[i]), 1e-9);
        EXPECT_LT(std::abs(back.s12[i] - equal.s12[i]), 1e-9);
        EXPECT_LT(std::abs(back.s22[i] - equal.s22[i]), 1e-9);
    }
    // A lossless through has neither Z nor Y parameters, yet renormalises: still a through.
    Network through;
    through.referenceR1 = 50;
    through.referenceR2 = 50;
    through.frequencyHz = {1e6, 2e6};
    through.s11 = through.s22 = {0, -1};
    through.s21 = through.s12 = {1, 0};
    const Network t = renormalised(through, 100);
    EXPECT_LT(std::abs(t.s21[0] - 1.0), 1e-12);
    EXPECT_LT(std::abs(t.s11[0]), 1e-12);
    EXPECT_LT(std::abs(t.s11[1] + 1.0), 1e-12);  // a short stays a short
}

TEST(Renormalise, ExportForms)
{
    EXPECT_EQ(exportFormFor("a.S1P", ExportForm::AsIs), ExportForm::OnePort);
    EXPECT_EQ(exportFormFor("a.s2p", ExportForm::OneReference), ExportForm::OneReference);
    const Circuit m = matching(200);
    const std::string one = sweepTouchstoneAs(m, "m.cir", 1, 30, "Sorvel", ExportForm::OnePort);
    const Network n1 = readTouchstone(one, 1);
    EXPECT_EQ(n1.ports, 1);
    const Network full = sweepNetwork(m, 1, 30);
    ASSERT_EQ(n1.s11.size(), full.s11.size());
    for (std::size_t i = 0; i < full.s11.size(); i += 111)
        EXPECT_LT(std::abs(n1.s11[i] - full.s11[i]), 1e-9);
    const std::string v1 = sweepTouchstoneAs(m, "m.cir", 1, 30, "Sorvel", ExportForm::OneReference);
    EXPECT_EQ(v1.find("[Version]"), std::string::npos) << "version 1.1";
    EXPECT_NE(v1.find(" R 50"), std::string::npos);
    EXPECT_EQ(readTouchstone(v1, 2).referenceR2, 50);
    EXPECT_NE(sweepTouchstoneAs(m, "m.cir", 1, 30, "Sorvel", ExportForm::AsIs).find("[Version] 2.0"), std::string::npos);
}

}  // namespace
