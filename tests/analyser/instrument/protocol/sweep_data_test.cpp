#include "analyser/instrument/protocol/sweep_data.h"

#include <gtest/gtest.h>

#include "common/touchstone.h"

TEST(SweepData, AveragesComplexValuesOfEqualSweeps)
{
    SweepAverage a;
    a.add({{1e6, {1, 0}, {0, 1}}, {2e6, {0.5, 0.5}, {0, 0}}});
    a.add({{1e6, {-1, 0}, {0, 3}}, {2e6, {0.5, -0.5}, {1, 0}}});
    const SweepData m = a.mean();
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(m[0].s11, std::complex<double>(0, 0));  // the complex mean, not the mean level
    EXPECT_EQ(m[0].s21, std::complex<double>(0, 2));
    EXPECT_EQ(m[1].s11, std::complex<double>(0.5, 0));
    EXPECT_EQ(m[1].s21, std::complex<double>(0.5, 0));
    EXPECT_THROW(a.add({{1e6, {}, {}}}), InstrumentFault);
    EXPECT_THROW(a.add({{1e6, {}, {}}, {2.5e6, {}, {}}}), InstrumentFault);
}

TEST(SweepData, TouchstoneRIReadsBackToTheLastDigit)
{
    const SweepData d = {{1000000, {0.123456789012, -1e-9}, {-0.987654321098, 3.25e-7}},
                         {1000000.5, {0.5, 0.25}, {1e-12, -1e-12}}};
    const std::string text = sweepTouchstoneRI(d, {"Instrument: NanoVNA 1.2", "Written by sorvel-vna"});
    EXPECT_EQ(text.substr(0, text.find("1000000 ")),
              "! Instrument: NanoVNA 1.2\n! Written by sorvel-vna\n# Hz S RI R 50\n");
    const Network n = readTouchstone(text, 2);
    ASSERT_EQ(n.frequencyHz.size(), 2u);
    EXPECT_EQ(n.frequencyHz[1], 1000000.5);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(n.s11[i].real(), d[i].s11.real(), 1e-12 * std::abs(d[i].s11.real()));
        EXPECT_NEAR(n.s21[i].imag(), d[i].s21.imag(), 1e-12 * std::abs(d[i].s21.imag()));
        EXPECT_EQ(n.s12[i], std::complex<double>());
        EXPECT_EQ(n.s22[i], std::complex<double>());
    }
    EXPECT_THROW(sweepTouchstoneRI({{1e6, {NAN, 0}, {}}}, {}), InstrumentFault);
}
