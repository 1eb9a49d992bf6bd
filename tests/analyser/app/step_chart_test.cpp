// The Response window's time plot through the real window: made only while its tab shows,
// following tune steps, in a time unit that fits, with round ticks.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineSeries>
#include <QTabWidget>
#include <QValueAxis>

#include "analyser/app/step_chart.h"
#include "analyser/core/step_view.h"
#include "ladder/readouts/readouts.h"
#include "tests/support/app_test_support.h"

namespace {

std::string expectedLine(const Circuit& m)
{
    return stepReadoutsLine(makeStepView(m, measureResponse(m, m.startfreq, m.stopfreq)));
}

TEST(StepChart, MadeWhileItShowsAndFollowsTuneSteps)
{
    RunningSorvel s;
    s.clickControl(Command::Plot);
    s.app().showResponse();
    ResponseWindow& r = s.app().responseWindow();
    StepChart* step = r.stepChart();
    // Behind the delay plot it is not worked out at all.
    EXPECT_FALSE(r.stepShown());
    EXPECT_EQ(step->curve()->count(), 0);
    EXPECT_TRUE(step->readouts()->text().isEmpty());

    r.plotTabs()->setCurrentWidget(step);
    QApplication::processEvents();
    ASSERT_TRUE(r.stepShown());
    const Circuit& m = s.app().analyser().circuit;
    EXPECT_EQ(step->readouts()->text().toStdString(), expectedLine(m));
    EXPECT_GE(step->curve()->count(), 2);
    const StepView v = makeStepView(m, measureResponse(m, m.startfreq, m.stopfreq));
    EXPECT_EQ(step->timeAxis()->titleText(), QString("Time (%1)").arg(QString::fromUtf8(v.scale.unit)));
    EXPECT_DOUBLE_EQ(step->timeAxis()->max(), v.time.back());
    EXPECT_EQ(step->timeAxis()->tickType(), QValueAxis::TicksDynamic) << "round ticks";
    EXPECT_NEAR(step->curve()->points().back().x(), v.time.back(), 1e-12 * v.time.back());

    // A tune step moves it at once.
    const QString before = step->readouts()->text();
    s.type(Field::TuneEntry, "2");
    s.type(Field::TunePercent, "5");
    s.clickControl(Command::TuneUp);
    EXPECT_NE(step->readouts()->text(), before);
    EXPECT_EQ(step->readouts()->text().toStdString(), expectedLine(m));

    // Back behind the delay plot, tune steps leave it as it was.
    r.plotTabs()->setCurrentIndex(0);
    const QString shown = step->readouts()->text();
    s.clickControl(Command::TuneUp);
    EXPECT_EQ(step->readouts()->text(), shown);
    EXPECT_NE(expectedLine(m), shown.toStdString());
}

}  // namespace
