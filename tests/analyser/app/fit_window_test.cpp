// The Fit to Measurement window on a running Sorvel: a fit on its own thread that can be
// cancelled midway, its results and trace, Apply and Revert on the circuit.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "tests/support/app_test_support.h"
#include "tests/support/fit_support.h"

namespace {

const QColor kTeal(0, 150, 150);

// The seven-pole low-pass in force, and a measurement of it built with its third entry 8 %
// large, `points` points over its sweep.
struct FitFixture {
    RunningSorvel s;
    FitWindow& w = s.app().fitWindow();
    Analyser& a = s.app().analyser();
    std::vector<std::string> refusals;
    Circuit nominal;

    explicit FitFixture(int points = 401)
    {
        w.showMessage = [this](const std::string& text) { refusals.push_back(text); };
        a.circuit = readCircuitFile(std::string(TEST_DATA_DIR) + "/../../../../packaging/examples/lowpass-7-pole.cir");
        nominal = a.circuit;
        s.type(Field::StartFreq, "0");
        s.type(Field::StopFreq, "30");
        s.type(Field::FreqPerDiv, "3");
        Circuit truth = a.circuit;
        truth.part(3).partvalue *= 1.08;
        const std::string file = s.path("built.s2p").toStdString();
        saveTouchstone(file, fittest::measurementOf(truth, points));
        a.run([&] { a.loadMeasurement(file); });
        s.main().action(Command::ShowFit)->trigger();
    }
    template <class T>
    T* child(const char* name) { return w.findChild<T*>(name); }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QString status() { return child<QLabel>("status")->text(); }
    QTableWidget* results() { return child<QTableWidget>("results"); }
};

TEST(FitWindow, FitApplyAndRevert)
{
    FitFixture t;
    EXPECT_TRUE(t.w.isVisible());
    auto* free = t.child<QTableWidget>("freeEntries");
    // The seven parts (the bridge left out), then the inductor Q, unticked.
    ASSERT_EQ(free->rowCount(), 8);
    EXPECT_EQ(free->item(0, 0)->text(), "1  cap  par  376");
    EXPECT_EQ(free->item(0, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(free->item(1, 0)->checkState(), Qt::Unchecked);  // a series inductor
    EXPECT_EQ(free->item(7, 0)->text(), "99  inductor Q  200");

    t.click("fit");
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.w.session().result().has_value(); }, 20000));
    EXPECT_EQ(t.status(), "Done.");
    ASSERT_EQ(t.results()->rowCount(), 4);
    EXPECT_EQ(t.results()->item(1, 0)->text(), "3");
    EXPECT_TRUE(t.child<QLabel>("residual")->text().startsWith("Residual: "));
    EXPECT_GT(countInPlot(t.s.screen(), kTeal), 100) << "the fitted response on the main plot";
    EXPECT_TRUE(t.refusals.empty());

    t.click("apply");
    EXPECT_NEAR(t.a.circuit.part(3).partvalue / (t.nominal.part(3).partvalue * 1.08), 1, 1e-3);
    EXPECT_TRUE(t.child<QPushButton>("revert")->isEnabled());
    EXPECT_FALSE(t.s.memoLines().empty()) << "listed as the value editor lists";

    // The ticks stay as they were set, though the table shows the new values.
    EXPECT_EQ(free->item(1, 0)->checkState(), Qt::Unchecked);
    free->item(1, 0)->setCheckState(Qt::Checked);
    t.click("revert");
    EXPECT_EQ(free->item(1, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(t.a.circuit.part(3).partvalue, t.nominal.part(3).partvalue);
    EXPECT_FALSE(t.child<QPushButton>("revert")->isEnabled());

    t.click("clearFit");
    EXPECT_EQ(countInPlot(t.s.screen(), kTeal), 0);
    EXPECT_TRUE(t.s.messages.empty());
}

TEST(FitWindow, CancelMidway)
{
    // Every value and the inductor Q against 20001 points: long enough to stop midway.
    FitFixture t(20001);
    auto* free = t.child<QTableWidget>("freeEntries");
    for (int i = 0; i < free->rowCount(); ++i)
        free->item(i, 0)->setCheckState(Qt::Checked);
    t.click("fit");
    EXPECT_TRUE(t.w.running());
    EXPECT_TRUE(t.child<QPushButton>("cancel")->isEnabled());
    EXPECT_FALSE(t.child<QPushButton>("fit")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.child<QProgressBar>("progress")->value() > 0; }, 10000));
    t.click("cancel");
    EXPECT_FALSE(t.w.running());
    EXPECT_EQ(t.status(), "Cancelled.");
    EXPECT_TRUE(t.child<QPushButton>("fit")->isEnabled());
    QTest::qWait(300);
    EXPECT_FALSE(t.w.session().result());
    EXPECT_EQ(t.results()->rowCount(), 0);
    EXPECT_FALSE(t.a.fitted);
    EXPECT_EQ(t.a.circuit.part(3).partvalue, t.nominal.part(3).partvalue);
}

TEST(FitWindow, WithoutAMeasurementItAsksForOne)
{
    FitFixture t;
    t.a.run([&] { t.a.clearMeasurement(); });
    t.click("fit");
    ASSERT_EQ(t.refusals.size(), 1u);
    EXPECT_EQ(t.refusals[0], "Open a measurement first (File > Open Measurement..., or Instrument > Single Sweep).");
}

}  // namespace
