#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>

#include "analyser/instrument/sim/simulator.h"
#include "ladder/circuit_file.h"
#include "tests/support/app_test_support.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 5000); }

}  // namespace

TEST(InstrumentPanel, ContinuousSweepFollowsTuneAndZoomThenSurvivesAFaultAndReconnects)
{
    RunningSorvel s;
    const Circuit circuit = readCircuitFile(s.path("startfile.cir").toStdString());
    // The fault comes once, after the sweeps the steps below need.
    auto sim = startNanoVnaSimulator(circuit, {.delayMs = 3, .fault = SimFault::Garbage, .faultAfter = 15});
    InstrumentPanel& panel = s.app().instrumentPanel();
    Analyser& a = s.app().analyser();
    EXPECT_FALSE(panel.action("Single Sweep")->isEnabled());
    panel.setPoints(101);

    const InstrumentAddress address{InstrumentKind::NanoVna, QString::fromStdString(sim->address()), {}, 0};
    panel.connectTo(address);
    ASSERT_TRUE(waitFor([&] { return panel.connected() && !panel.sweeping(); }));
    EXPECT_THAT(panel.status().toStdString(), HasSubstr("NanoVNA 1.2.00-sim"));
    EXPECT_TRUE(panel.isVisible());

    panel.action("Continuous")->trigger();
    ASSERT_TRUE(waitFor([&] { return panel.sweepCount() >= 2; }));
    ASSERT_TRUE(a.measurement);
    // The plot's 0 to 30 MHz, from the lowest frequency an instrument is asked for.
    EXPECT_EQ(a.measurement->frequencyHz.size(), 101u);
    EXPECT_EQ(a.measurement->frequencyHz.front(), 1000);
    EXPECT_EQ(a.measurement->frequencyHz.back(), 30e6);
    EXPECT_THAT(panel.status().toStdString(), HasSubstr("of 101 points"));

    // A tune step while sweeping: the computed trace moves at once, sweeps go on.
    s.type(Field::TuneEntry, "1");
    s.type(Field::TunePercent, "5");
    const double before = circuit.part(1).partvalue;
    s.clickControl(Command::TuneUp);
    EXPECT_NEAR(a.circuit.part(1).partvalue, before * 1.05, 1e-9 * before);
    const int count = panel.sweepCount();
    ASSERT_TRUE(waitFor([&] { return panel.sweepCount() > count; }));

    // A zoom: the next sweep covers the new range only.
    s.type(Field::StartFreq, "5");
    s.type(Field::StopFreq, "15");
    s.clickControl(Command::Plot);
    ASSERT_TRUE(waitFor([&] { return a.measurement->frequencyHz.front() == 5e6; }));
    EXPECT_EQ(a.measurement->frequencyHz.back(), 15e6);
    EXPECT_TRUE(s.messages.empty()) << s.messages.front();

    // The fault mid-sweep: named, the port closed, the last good sweep still drawn.
    ASSERT_TRUE(waitFor([&] { return !s.messages.empty(); }));
    EXPECT_THAT(s.messages.front(), StartsWith("NanoVNA on " + sim->address() + ": unexpected reply to 'scan_bin'"));
    EXPECT_FALSE(panel.connected());
    EXPECT_FALSE(panel.action("Continuous")->isChecked());
    ASSERT_TRUE(a.measurement);
    ASSERT_TRUE(panel.lastSweep());
    EXPECT_EQ(a.measurement->frequencyHz.size(), panel.lastSweep()->size());
    EXPECT_THAT(panel.status().toStdString(), StartsWith("Stopped: NanoVNA on "));

    // Connect again without restarting; one sweep, then it is saved.
    panel.connectTo(address);
    ASSERT_TRUE(waitFor([&] { return panel.connected() && !panel.sweeping(); }));
    panel.action("Single Sweep")->trigger();
    ASSERT_TRUE(waitFor([&] { return panel.sweepCount() == 1 && !panel.sweeping(); }));
    const std::string file = s.path("live.s2p").toStdString();
    panel.chooseSaveFile = [&] { return std::optional<std::string>(file); };
    panel.action("Save Measurement As")->trigger();
    const Network saved = readTouchstoneFile(file);
    EXPECT_EQ(saved.frequencyHz.front(), 5e6);
    EXPECT_EQ(saved.s21.size(), 101u);
    EXPECT_EQ(s.messages.size(), 1u);
}

TEST(InstrumentPanel, ClosingWhileSweepingEndsTheSweep)
{
    auto s = std::make_unique<RunningSorvel>();
    const Circuit circuit = readCircuitFile(s->path("startfile.cir").toStdString());
    auto sim = startLibreVnaSimulator(circuit, {.delayMs = 50});
    InstrumentPanel& panel = s->app().instrumentPanel();
    panel.connectTo(*libreAddress(QString::fromStdString(sim->address())));
    ASSERT_TRUE(waitFor([&] { return panel.connected() && !panel.sweeping(); }));
    panel.setContinuous(true);
    EXPECT_TRUE(panel.sweeping());
    panel.disconnectInstrument();
    EXPECT_FALSE(panel.connected());
    s.reset();  // the program ends with a sweep under way: nothing waits, nothing crashes
    QTest::qWait(100);
}
