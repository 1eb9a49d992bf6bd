// The Fit to Measurement window's behaviour without Qt: the free-value table, the fit on its
// thread, Apply and Revert through the value editor's path, and the fitted trace.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "analyser/core/fit_session.h"
#include "common/errors.h"
#include "tests/support/fake_window.h"
#include "tests/support/fit_support.h"

namespace {

// The seven-pole low-pass as the analyser holds it, its plot fields matching the sweep.
struct Fitted {
    FakeWindow w;
    Analyser a{w};
    Circuit truth;
    Fitted()
    {
        a.circuit = readCircuitFile(std::string(EXAMPLES_DIR) + "/lowpass-7-pole.cir");
        truth = a.circuit;
        truth.part(3).partvalue *= 1.08;
        a.measurement = fittest::measurementOf(truth);
        w.texts[Field::StartFreq] = "0";
        w.texts[Field::StopFreq] = "30";
        w.texts[Field::FreqPerDiv] = "3";
    }
    // Runs the fit on its thread as the window does and waits for its end.
    std::optional<fit::Result> fitNow(const fit::FreeSet& free)
    {
        std::promise<std::optional<fit::Result>> result;
        fitting::Runner runner;
        fitting::Runner::Callbacks c;
        c.done = [&](fit::Result r) { result.set_value(std::move(r)); };
        c.refused = [&](std::string) { result.set_value(std::nullopt); };
        runner.start(a.circuit, *a.measurement, free, c);
        return result.get_future().get();
    }
};

TEST(FitSession, TheTableListsWhatCanMoveWithTheDefaultsTicked)
{
    Circuit m = readCircuitFile(std::string(EXAMPLES_DIR) + "/crystal-5-pole.cir");
    const auto rows = fitting::freeRows(m);
    // 16 parts and the bridge, then the crystal Q; no inductors.
    ASSERT_EQ(rows.size(), 17u);
    EXPECT_EQ(rows[0].caption, "1  cap  par  142.34");
    EXPECT_TRUE(rows[0].ticked);
    EXPECT_TRUE(rows[1].ticked);   // a crystal
    EXPECT_FALSE(rows[2].ticked);  // its series capacitor
    EXPECT_EQ(rows.back().caption, "103  crystal Q  200000");
    EXPECT_FALSE(rows.back().ticked);
    auto ticked = rows;
    ticked.back().ticked = true;
    const fit::FreeSet s = fitting::freeSetOf(ticked);
    EXPECT_EQ(s.entries, fit::defaultFreeSet(m).entries);
    EXPECT_TRUE(s.crystalQ);
    EXPECT_FALSE(s.inductorQ);
}

TEST(FitSession, ApplyWritesAsTheValueEditorAndRevertRestores)
{
    Fitted t;
    fitting::Session session;
    EXPECT_THROW(session.apply(t.a), AppError);
    const Circuit nominal = t.a.circuit;
    auto r = t.fitNow(fit::defaultFreeSet(nominal));
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->poor);
    const auto rows = fitting::resultRows(*r);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].entry, "3");
    EXPECT_EQ(rows[1].unit, "pF");
    EXPECT_THAT(fitting::residualText(*r), ::testing::StartsWith("Residual: "));

    session.finished(nominal, *r);
    t.a.fitted = r->fitted;
    t.w.forget();
    session.apply(t.a);
    EXPECT_NEAR(t.a.circuit.part(3).partvalue / t.truth.part(3).partvalue, 1, 1e-3);
    EXPECT_EQ(t.a.circuit.part(3).partvalue, r->fitted.part(3).partvalue);
    EXPECT_EQ(t.w.plots(), 1);
    EXPECT_EQ(t.w.memos[Memo::Listing].size(), 12u) << "listed as after a new value";
    EXPECT_FALSE(t.w.in(colors::kFitted).empty());
    EXPECT_TRUE(session.canRevert());

    session.revert(t.a);
    EXPECT_TRUE(sameResponse(t.a.circuit, nominal));
    EXPECT_FALSE(session.canRevert());
    EXPECT_THROW(session.revert(t.a), AppError);

    // A circuit changed since the fit takes none of it.
    t.a.circuit.part(5).partvalue += 1;
    EXPECT_THROW(session.apply(t.a), AppError);
}

TEST(FitSession, TheFittedTraceFollowsThePlotUntilCleared)
{
    Fitted t;
    t.a.fitted = t.truth;
    t.a.plot();
    const auto s21 = t.w.in(colors::kFitted);
    ASSERT_EQ(s21.size(), 2u * (kSweepPoints - 1));  // S21 and S11
    EXPECT_EQ(t.w.pen, colors::kBlue) << "the zoom box keeps the plot's pen";
    t.w.checks[Check::PlotS11] = false;
    t.w.forget();
    t.a.plot();
    EXPECT_EQ(t.w.in(colors::kFitted).size(), kSweepPoints - 1u);
    t.a.fitted.reset();
    t.w.forget();
    t.a.plot();
    EXPECT_TRUE(t.w.in(colors::kFitted).empty());
}

TEST(FitSession, ACancelledFitReportsNothing)
{
    Fitted t;
    std::atomic<int> reports = 0;
    fitting::Runner runner;
    fitting::Runner::Callbacks c;
    c.done = [&](fit::Result) { ++reports; };
    c.refused = [&](std::string) { ++reports; };
    c.progress = [&](int, int) { std::this_thread::sleep_for(std::chrono::milliseconds(20)); };
    runner.start(t.a.circuit, *t.a.measurement, fit::readFreeSet(t.a.circuit, "all"), c);
    EXPECT_TRUE(runner.running());
    runner.cancel();
    EXPECT_FALSE(runner.running());
    runner.start(t.a.circuit, *t.a.measurement, {}, c);  // waits for the cancelled one, then refuses
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(reports, 1);
}

}  // namespace
