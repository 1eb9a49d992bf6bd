// Measured traces on the plot, the sweep as a Touchstone file, and readouts of samples.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "tests/support/circuit_files.h"
#include "tests/support/fake_window.h"
#include "tests/support/ladder_support.h"
#include "ladder/readouts/measured_response.h"
#include "ladder/readouts/readouts.h"
#include "analyser/core/response_report.h"
#include "analyser/sweep/sweep_command.h"
#include "ladder/network.h"
#include "ladder/twoport.h"

namespace {

using laddertest::ladder;
using C = std::complex<double>;

// A measurement in MHz with S21 and S11 given in dB (angle 0) at each frequency.
Network measured(std::vector<double> mhz, std::vector<double> s21db, std::vector<double> s11db)
{
    Network n;
    for (std::size_t i = 0; i < mhz.size(); ++i) {
        n.frequencyHz.push_back(mhz[i] * 1e6);
        n.s21.push_back(std::pow(10, s21db[i] / 20));
        n.s12.push_back(n.s21.back());
        n.s11.push_back(std::pow(10, s11db[i] / 20));
        n.s22.push_back(0);
    }
    return n;
}

// Third-order 10 MHz low-pass between 50 ohm ends (Butterworth prototype 1, 2, 1).
Circuit lowPass()
{
    const double wc = 2 * std::numbers::pi * 10e6;
    Circuit m = ladder({{"cap", "par", 1e12 / (wc * 50)}, {"ind", "ser", 2e9 * 50 / wc}, {"cap", "par", 1e12 / (wc * 50)}});
    m.inductorq = 1e9;
    return m;
}

TEST(TouchstoneExport, ReadsBackToTheWrittenPrecision)
{
    struct Case {
        const char* what;
        Circuit circuit;
        double start, stop;
        const char* header;  // what tells the version apart
    } cases[] = {
        {"equal ends: version 1.1 in MHz", lowPass(), 0, 30, "# MHz S DB R 50\n"},
        {"unequal ends: version 2.0 with both references", ladder({{"res", "ser", 30}}, 75, 50), 1, 5,
         "[Reference] 50 75\n"},
        {"crystal offsets at absolute frequencies", laddertest::fullCrystalLadder(), 0, 0, "# MHz S DB R "},
    };
    cases[2].start = cases[2].circuit.startfreq;
    cases[2].stop = cases[2].circuit.stopfreq;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Circuit m = c.circuit;
        const std::string text = sweepTouchstone(m, "filter.cir", c.start, c.stop, "test");
        EXPECT_EQ(text.rfind("! Circuit file: filter.cir\n! Written by test ", 0), 0u);
        EXPECT_NE(text.find(c.header), std::string::npos);
        const Network n = readTouchstone(text);
        ASSERT_EQ(n.frequencyHz.size(), 1000u);
        EXPECT_EQ(n.referenceR1, m.sourcer);
        EXPECT_EQ(n.referenceR2, m.loadr);
        const auto freqs = sweepFrequencies(c.start, c.stop);
        for (int i = 0; i < 1000; i += 37) {
            SCOPED_TRACE(i);
            EXPECT_NEAR(n.frequencyHz[i], absoluteHz(m, freqs[i]), 1e-12 * n.frequencyHz.back());
            const TwoPort t = solveTwoPort(m, freqs[i]);
            // dB and degrees with 12 digits: the values come back to about 1e-10 relative.
            for (auto [got, want] : {std::pair{n.s11[i], t.s11}, {n.s21[i], t.s21}, {n.s12[i], t.s21}, {n.s22[i], t.s22}})
                EXPECT_LE(std::abs(got - want), 1e-9 * std::abs(want) + 1e-15);
        }
    }
}

TEST(TouchstoneExport, SweepCommandPrintsOrWritesTheFile)
{
    circuittest::TempDir dir;
    const std::string file = dir.file("default.cir"), out = dir.file("out.s2p");
    circuittest::writeBytes(file, circuittest::crlf(circuittest::defaultCircuitLines()));
    auto run = [&](std::vector<const char*> args) {
        args.insert(args.begin(), {"sorvel-sweep", file.c_str()});
        const auto o = parseSweepOptions(int(args.size()), args.data());
        EXPECT_TRUE(o);
        return runSweep(*o);
    };
    const std::string printed = run({"--touchstone", "--start", "2", "--stop", "4"});
    const Network n = readTouchstone(printed);
    ASSERT_EQ(n.frequencyHz.size(), 1000u);
    EXPECT_EQ(n.frequencyHz.front(), 2e6);
    EXPECT_NE(printed.find("! Written by sorvel-sweep"), std::string::npos);

    EXPECT_EQ(run({"--touchstone", "--start", "2", "--stop", "4", "--out", out.c_str()}), "");
    EXPECT_EQ(readTouchstoneFile(out).s21, n.s21);
}

TEST(MeasuredTraces, DrawnOverTheRangeTheyCoverClippedAtTheBottom)
{
    Plotted t;  // 0 to 30 MHz, 0 to -100 dB: 400 / 30 pixels per MHz, 3 pixels per dB
    t.a.measurement = measured({-3, 3, 6, 15, 45}, {-10, -10, -20, -200, -30}, {-6, -6, -6, -6, -6});
    t.plot();
    const auto s21 = t.w.in(colors::kMeasuredS21);
    // Cut at 0 MHz (y of -10 dB), then each sample inside, then cut at 30 MHz, halfway
    // from -200 to -30 dB: both below the bottom, drawn on it.
    ASSERT_EQ(s21.size(), 4u);
    EXPECT_EQ((std::pair{s21[0].x1, s21[0].y1}), (std::pair{50, 70}));
    EXPECT_EQ((std::pair{s21[0].x2, s21[0].y2}), (std::pair{90, 70}));
    EXPECT_EQ((std::pair{s21[1].x2, s21[1].y2}), (std::pair{130, 100}));
    EXPECT_EQ((std::pair{s21[2].x2, s21[2].y2}), (std::pair{250, 340}));
    EXPECT_EQ((std::pair{s21[3].x2, s21[3].y2}), (std::pair{450, 340}));
    EXPECT_EQ(t.w.in(colors::kMeasuredS11).size(), 4u);
    EXPECT_EQ(t.w.legend, (std::pair{true, true}));
    EXPECT_EQ(t.w.pen, colors::kBlue) << "the zoom box keeps the plot's pen";

    // S11 follows "Plot S11 "; a zoom to 10..12 MHz shows the one segment crossing it.
    t.w.checks[Check::PlotS11] = false;
    t.w.texts[Field::StartFreq] = "10";
    t.w.texts[Field::StopFreq] = "12";
    t.w.texts[Field::FreqPerDiv] = "1";
    t.w.forget();
    t.plot();
    EXPECT_TRUE(t.w.in(colors::kMeasuredS11).empty());
    ASSERT_EQ(t.w.in(colors::kMeasuredS21).size(), 1u);
    EXPECT_EQ(t.w.in(colors::kMeasuredS21)[0].x1, 50);
    EXPECT_EQ(t.w.in(colors::kMeasuredS21)[0].x2, 450);
    EXPECT_EQ(t.w.pen, colors::kBlack);
    EXPECT_EQ(t.w.legend, (std::pair{true, false}));

    // A range the measurement does not reach draws none of it.
    t.w.texts[Field::StartFreq] = "50";
    t.w.texts[Field::StopFreq] = "60";
    t.w.forget();
    t.plot();
    EXPECT_TRUE(t.w.in(colors::kMeasuredS21).empty());
}

TEST(MeasuredTraces, CrystalCircuitsDrawThemAtTheirOffsetFromTheCrystal)
{
    Plotted t;
    t.a.circuit.crystalflag = 1;
    t.a.circuit.xtalfreq = 10;
    // 10 MHz + 0 Hz .. + 30 Hz on a plot from 0 to 30 Hz.
    Network n = measured({10, 10.000015, 10.00003}, {-10, -20, -10}, {0, 0, 0});
    n.s11.assign(3, 0);  // an instrument that measured S21 only
    t.a.measurement = n;
    t.plot();
    const auto s21 = t.w.in(colors::kMeasuredS21);
    ASSERT_EQ(s21.size(), 2u);
    EXPECT_EQ(s21[0].x1, 50);
    EXPECT_EQ(s21[0].x2, 250);
    EXPECT_EQ(s21[0].y2, 100);
    EXPECT_EQ(t.w.legend, (std::pair{true, false}));
}

TEST(MeasuredTraces, OpenClearAndARefusedFile)
{
    circuittest::TempDir dir;
    Plotted t;
    const std::string good = dir.file("good.s2p"), bad = dir.file("bad.s2p");
    circuittest::writeBytes(good, "# MHz S DB R 50\n1 -1 0 -2 0 -2 0 -1 0\n20 -1 0 -3 0 -3 0 -1 0\n");
    circuittest::writeBytes(bad, "# MHz S DB R 50\n1 -1 0 -2 0 -2 0\n");
    t.w.fileChoice = good;
    t.run(&Analyser::openMeasurement);
    ASSERT_TRUE(t.a.measurement);
    EXPECT_EQ(t.w.plots(), 1);
    EXPECT_FALSE(t.w.in(colors::kMeasuredS21).empty());

    t.w.forget();
    t.a.run([&] { t.a.loadMeasurement(bad); });
    EXPECT_EQ(t.w.messages, (std::vector<std::string>{"line 2: expected 9 numbers, found 7"}));
    EXPECT_EQ(t.a.measurementFile, good) << "the shown traces stay";
    EXPECT_EQ(t.w.plots(), 0);

    t.run(&Analyser::clearMeasurement);
    EXPECT_FALSE(t.a.measurement);
    EXPECT_EQ(t.w.plots(), 1);
    EXPECT_TRUE(t.w.in(colors::kMeasuredS21).empty());
    EXPECT_EQ(t.w.legend, (std::pair{false, false}));

    // Export writes the plot's range; a cancelled dialog writes nothing.
    t.w.fileChoice = dir.file("out.s2p");
    t.run(&Analyser::exportTouchstone);
    EXPECT_NEAR(readTouchstoneFile(*t.w.fileChoice).frequencyHz.back(), 29.97e6, 1e-3);
}

TEST(SampledReadouts, InterpolateBetweenSamplesAndHoldTheEnds)
{
    const std::vector<double> xs{1, 2, 4}, ys{10, 20, 0};
    for (auto [x, want] : {std::pair{0.0, 10.0}, {1.0, 10.0}, {1.5, 15.0}, {3.0, 10.0}, {4.0, 0.0}, {9.0, 0.0}})
        EXPECT_DOUBLE_EQ(interpolate(xs, ys, x), want) << x;
    EXPECT_EQ(interpolate({}, {}, 1), 0);
}

TEST(SampledReadouts, AFineSweepOfTheEngineReadsAsTheEngineDoes)
{
    // The same readout logic on 4001 samples of the low-pass, taken through a Touchstone
    // network: every edge, the loss and the delay agree with the engine's closely.
    const Circuit m = lowPass();
    Network n;
    for (int i = 0; i <= 4000; ++i) {
        const double f = 0.01 + i * 0.0075;
        const TwoPort t = solveTwoPort(m, f);
        n.frequencyHz.push_back(f * 1e6);
        n.s11.push_back(t.s11);
        n.s21.push_back(t.s21);
        n.s12.push_back(t.s21);
        n.s22.push_back(t.s22);
    }
    const MeasuredResponse samples = measuredResponse(n, m);
    ASSERT_TRUE(samples.hasS21 && samples.hasS11 && samples.hasPhase)
        << samples.hasS21 << samples.hasS11 << samples.hasPhase;
    const Readouts engine = measureResponse(m, 0.01, 30), sampled = measureCurve(samples, 0.01, 30);
    EXPECT_NEAR(sampled.insertionLossDb, engine.insertionLossDb, 1e-6);
    for (std::size_t k = 0; k < Readouts::kLevels.size(); ++k) {
        // 20 dB down at 21.5 MHz; 40 and 60 dB lie beyond the range for both.
        ASSERT_EQ(sampled.bands[k].high.has_value(), engine.bands[k].high.has_value());
        EXPECT_EQ(sampled.bands[k].high.has_value(), Readouts::kLevels[k] <= 20);
        if (engine.bands[k].high) {
            EXPECT_NEAR(*sampled.bands[k].high, *engine.bands[k].high, 1e-3) << Readouts::kLevels[k];
        }
    }
    EXPECT_NEAR(sampled.returnLossDb, engine.returnLossDb, 1e-3);
    EXPECT_NEAR(sampled.delayMin, engine.delayMin, 1e-3 * engine.delayMin);
    EXPECT_NEAR(sampled.delayMax, engine.delayMax, 1e-3 * engine.delayMax);
}

TEST(SampledReadouts, DelayFromThePhaseAcrossTurns)
{
    // A pure 1 us delay: S21 = exp(-j w tau) turns a full circle every MHz; sampled every
    // 0.1 MHz, each neighbour pair gives 1 us whatever the wrapping.
    Network n;
    for (int i = 0; i <= 50; ++i) {
        const double hz = 1e6 + i * 1e5;
        n.frequencyHz.push_back(hz);
        n.s21.push_back(std::polar(0.5, -2 * std::numbers::pi * hz * 1e-6));
        n.s12.push_back(n.s21.back());
        n.s11.push_back(0);
        n.s22.push_back(0);
    }
    const MeasuredResponse r = measuredResponse(n, Circuit::startup());
    EXPECT_FALSE(r.hasS11);
    ASSERT_EQ(r.delay_.size(), 50u);
    for (double d : r.delay_)
        EXPECT_NEAR(d, 1e-6, 1e-15);
    EXPECT_DOUBLE_EQ(r.delayFreq.front(), 1.05);
    // Magnitude-only data has no phase, so no delay.
    for (auto& s : n.s21)
        s = std::abs(s);
    EXPECT_FALSE(measuredResponse(n, Circuit::startup()).hasPhase);
}

TEST(ResponseReport, MeasuredBesideComputedWithDifferences)
{
    Circuit m = lowPass();
    m.startfreq = 0;
    m.stopfreq = 30;
    // The measurement is the circuit 1 dB lower, without phase, over 5..40 MHz.
    std::vector<double> f, s21, s11;
    for (int i = 0; i <= 700; ++i) {
        f.push_back(5 + i * 0.05);
        s21.push_back(solveLadder(m, f.back()).s21db - 1);
        s11.push_back(-20);
    }
    const Network n = measured(f, s21, s11);
    const ResponseReport r = makeResponseReport(m, 12, &n);
    ASSERT_TRUE(r.measured);
    EXPECT_EQ(r.freq.size(), 1000u);
    EXPECT_EQ(r.computedDelay[500], solveTwoPort(m, r.freq[500]).delay);
    EXPECT_TRUE(r.measuredDelay.empty());
    const auto rows = readoutRows(r);
    ASSERT_EQ(rows.size(), 24u);
    EXPECT_EQ(rows[1].quantity, "insertion_loss_db");
    // The measurement starts at 5 MHz, where the low-pass is 10 log(1 + 1/64) dB down.
    EXPECT_NEAR(*rows[1].difference, 1 + 10 * std::log10(1 + 1.0 / 64), 1e-6);
    EXPECT_EQ(rows[20].quantity, "return_loss_db");
    EXPECT_NEAR(*rows[20].measured, 20, 1e-9);
    EXPECT_FALSE(rows[22].measured) << "no phase, no measured delay";
    EXPECT_FALSE(rows[22].difference);

    ASSERT_TRUE(r.cursorComputed && r.cursorMeasured);
    EXPECT_NEAR(*r.cursorMeasured->s21db, *r.cursorComputed->s21db - 1, 1e-3);
    EXPECT_FALSE(r.cursorMeasured->delay);

    const std::string text = responseReportText(r);
    EXPECT_EQ(text.rfind("quantity\tcomputed\tmeasured\tdifference\tunit\npeak_freq\t", 0), 0u);
    EXPECT_NE(text.find("\ndelay_min_s\t"), std::string::npos);
    EXPECT_NE(text.find("\ncursor_freq\t12\tnone\tnone\tMHz\n"), std::string::npos);

    // Outside the measurement's frequencies the cursor has no measured values.
    EXPECT_FALSE(makeResponseReport(m, 2, &n).cursorMeasured);
    EXPECT_FALSE(makeResponseReport(m, 0, &n).cursorComputed);
}

TEST(ResponseReport, DelayAxisUnits)
{
    for (auto [seconds, unit, factor] : {std::tuple{3e-9, "ns", 1e9}, {-5e-7, "ns", 1e9}, {1e-6, "\u00b5s", 1e6},
                                          {4e-3, "ms", 1e3}, {0.0, "ns", 1e9}}) {
        const DelayScale s = delayScale(seconds);
        EXPECT_STREQ(s.unit, unit) << seconds;
        EXPECT_EQ(s.perSecond, factor) << seconds;
    }
}

}  // namespace
