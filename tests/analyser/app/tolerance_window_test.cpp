// The Tolerance window on a running Sorvel: runs on its own thread while the windows go
// on, cancels, starts again on a changed circuit, and puts its envelope on the main plot.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "tests/support/app_test_support.h"

namespace {

const QColor kEnvelopeBand(255, 222, 222);

struct ToleranceFixture {
    RunningSorvel s;
    ToleranceWindow& w = s.app().toleranceWindow();
    std::vector<std::string> refusals;

    ToleranceFixture()
    {
        w.showMessage = [this](const std::string& text) { refusals.push_back(text); };
        s.main().action(Command::ShowTolerance)->trigger();
    }
    template <class T>
    T* child(const char* name) { return w.findChild<T*>(name); }
    void set(const char* name, const QString& text) { child<QLineEdit>(name)->setText(text); }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    int progress() { return child<QProgressBar>("progress")->value(); }
    QString status() { return child<QLabel>("status")->text(); }
    QString cell(int row, int column)
    {
        auto* item = child<QTableWidget>("statistics")->item(row, column);
        return item ? item->text() : QString();
    }
};

TEST(ToleranceWindow, RunCancelMidwayAndRunAgain)
{
    ToleranceFixture t;
    EXPECT_TRUE(t.w.isVisible());
    t.set("trials", "100000");
    t.set("capTolerance", "5");
    t.set("indTolerance", "5");
    t.click("run");
    EXPECT_TRUE(t.w.running());
    EXPECT_TRUE(t.child<QPushButton>("cancel")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.progress() > 0; }, 5000));
    // The main window answers while the run goes on.
    t.s.clickControl(Command::Plot);
    EXPECT_TRUE(t.w.running());
    EXPECT_LT(t.progress(), 100000);

    t.click("cancel");
    EXPECT_FALSE(t.w.running());
    EXPECT_FALSE(t.child<QPushButton>("cancel")->isEnabled());
    EXPECT_EQ(t.status(), "Cancelled.");
    EXPECT_EQ(t.progress(), 0);
    QTest::qWait(50);
    EXPECT_FALSE(t.w.result());
    EXPECT_TRUE(t.s.app().analyser().envelope.empty());

    t.set("trials", "300");
    t.click("run");
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.w.result().has_value(); }, 20000));
    EXPECT_FALSE(t.w.running());
    EXPECT_EQ(t.progress(), 300);
    EXPECT_EQ(t.status(), "Done.");
    EXPECT_EQ(t.cell(1, 0), "Insertion loss");
    EXPECT_EQ(t.cell(1, 1), "dB");
    EXPECT_FALSE(t.cell(1, 2).isEmpty());  // the nominal circuit's
    EXPECT_EQ(t.cell(1, 3), "300");
    EXPECT_FALSE(t.cell(1, 4).isEmpty());
    // The start file is a low-pass: no lower band edge, so no bandwidth to hold a limit to.
    EXPECT_EQ(t.cell(2, 0), "Bandwidth at -3 dB");
    EXPECT_EQ(t.cell(2, 1), "MHz");
    EXPECT_EQ((std::vector<QString>{t.cell(2, 2), t.cell(2, 3), t.cell(2, 4)}), (std::vector<QString>{"-", "0", "-"}));
    auto* yield = t.child<QLabel>("yield");
    EXPECT_EQ(yield->text(), "Yield: The nominal circuit has no -3 dB bandwidth to compare with.");
    t.set("bandwidthLimit", "");
    emit t.child<QLineEdit>("bandwidthLimit")->editingFinished();
    EXPECT_TRUE(yield->text().startsWith("Yield: ")) << yield->text().toStdString();
    EXPECT_TRUE(yield->text().endsWith("of 300 trials)")) << yield->text().toStdString();
    EXPECT_TRUE(t.refusals.empty());

    // The envelope lies on the main plot until cleared.
    EXPECT_EQ(t.s.app().analyser().envelope.size(), 1000u);
    EXPECT_GT(countInPlot(t.s.screen(), kEnvelopeBand), 100);
    t.click("clearEnvelope");
    EXPECT_TRUE(t.s.app().analyser().envelope.empty());
    EXPECT_EQ(countInPlot(t.s.screen(), kEnvelopeBand), 0);
    EXPECT_TRUE(t.s.messages.empty());
}

TEST(ToleranceWindow, AChangedCircuitStartsTheRunAfresh)
{
    ToleranceFixture t;
    t.set("trials", "100000");
    t.set("capTolerance", "2");
    t.click("run");
    ASSERT_TRUE(t.w.running());
    t.s.clickControl(Command::Plot);  // plots the same circuit: nothing changes
    EXPECT_EQ(t.w.restarts(), 0);

    t.s.type(Field::EntryNumber, "2");
    t.s.type(Field::NewValue, "300");
    t.s.clickControl(Command::LoadNewValue);
    EXPECT_EQ(t.w.restarts(), 1);
    EXPECT_TRUE(t.w.running());
    EXPECT_EQ(t.status(), "The circuit changed: the run started again on the new circuit.");
    t.click("cancel");

    // Once a run has finished, a change is only noted.
    t.set("trials", "20");
    t.click("run");
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.w.result().has_value(); }, 20000));
    t.s.type(Field::NewValue, "310");
    t.s.clickControl(Command::LoadNewValue);
    EXPECT_EQ(t.w.restarts(), 1);
    EXPECT_EQ(t.status(), "The circuit has changed since this run.");
}

TEST(ToleranceWindow, BadInputIsRefusedAndNothingRuns)
{
    ToleranceFixture t;
    const struct {
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {
        {"trials", "0", "The number of trials must be from 1 to 100000."},
        {"trials", "100001", "The number of trials must be from 1 to 100000."},
        {"crystalSpread", "-3", "The crystal spread must be from 0 to 100000 Hz."},
        {"crystalSpread", "20", "The circuit has no crystals to spread."},  // the start file is LC
        {"capTolerance", "2,5", "'2,5' is not a valid floating point value"},
        {"seed", "-1", "'-1' is not a valid seed: give a whole number from 0 to 18446744073709551615"},
        {"lossLimit", "x", "'x' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        ToleranceFixture f;
        f.set(c.field, c.text);
        f.click("run");
        EXPECT_FALSE(f.w.running()) << c.field;
        EXPECT_EQ(f.refusals, std::vector<std::string>{c.message});
    }
}

}  // namespace
