#include <gtest/gtest.h>

#include "analyser/core/readout_display.h"

namespace {

TEST(ReadoutDisplay, NamesInWords)
{
    EXPECT_EQ(readoutLabel("bw_3"), "-3 dB bandwidth");
    EXPECT_EQ(readoutLabel("low_60"), "-60 dB lower edge");
    EXPECT_EQ(readoutLabel("high_20"), "-20 dB upper edge");
    EXPECT_EQ(readoutLabel("insertion_loss_db"), "Insertion loss");
    EXPECT_EQ(readoutLabel("delay_centre_s"), "Group delay at centre");
    EXPECT_EQ(readoutLabel("something_new"), "something_new");
}

TEST(ReadoutDisplay, UnitsAndDigitsBySize)
{
    const struct {
        std::string unit;
        double largest, value;
        std::string text, shownUnit;
    } cases[] = {
        // An LC filter in MHz: to 1 Hz in the unit its size calls for.
        {"MHz", 10.7, 10.7000004, "10.700000", "MHz"},
        {"MHz", 0.0123, 0.0123456, "12.346", "kHz"},
        {"MHz", 0.0000123, 0.0000123, "12", "Hz"},
        // A crystal filter's offsets in Hz: to 0.1 Hz.
        {"Hz", 250.04, 250.04, "250.0", "Hz"},
        {"Hz", -1234.56, -1234.56, "-1.2346", "kHz"},
        {"Hz", 2.4e6, 2.4e6, "2.4000000", "MHz"},
        // Delays to 4 significant digits.
        {"s", 3.45678e-3, 3.45678e-3, "3.457", "ms"},
        {"s", 1.234567e-5, 1.234567e-5, "12.35", "\u00b5s"},
        {"s", 1.234567e-5, 2e-7, "0.20", "\u00b5s"},  // a smaller value in the same row's unit
        {"s", 4.5e-8, 4.5e-8, "45.00", "ns"},
        {"dB", 0, -0.001, "0.00", "dB"},
        {"1", 0, 2.3456, "2.35", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unit + " " + std::to_string(c.value));
        const DisplayUnit u = displayUnit(c.unit, c.largest);
        EXPECT_EQ(displayText(c.value, u), c.text);
        EXPECT_EQ(u.unit, c.shownUnit);
    }
    EXPECT_EQ(displayText(std::nullopt, displayUnit("dB", 0)), "none");
}

TEST(ReadoutDisplay, OneUnitPerRowAndTheClipboardKeepsFullPrecision)
{
    ResponseReport r;
    r.frequnit = "Hz";
    r.computed.peakFreq = 12.345678;
    r.computed.bands[0].width = 249.98765;
    Readouts measured = r.computed;
    measured.bands[0].width = 1250.5;
    r.measured = measured;
    const auto rows = displayRows(r);
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0].label, "Peak frequency");
    EXPECT_EQ(rows[0].computed, "12.3");
    EXPECT_EQ(rows[4].label, "-3 dB bandwidth");
    // The measured 1.25 kHz sets the row's unit.
    EXPECT_EQ(rows[4].unit, "kHz");
    EXPECT_EQ(rows[4].computed, "0.2500");
    EXPECT_EQ(rows[4].measured, "1.2505");
    EXPECT_EQ(rows[4].difference, "1.0005");
    const std::string copied = responseReportText(r);
    EXPECT_NE(copied.find("peak_freq\t12.345678\t"), std::string::npos) << copied;
    EXPECT_NE(copied.find("bw_3\t249.98765\t1250.5\t"), std::string::npos) << copied;
}

}  // namespace
