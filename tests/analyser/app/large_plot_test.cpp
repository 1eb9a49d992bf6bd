// View > Large Plot: the main plot's traces at its scale, following every plot and tune
// step, the pointer read out, the main plot untouched.
#include <gtest/gtest.h>

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QValueAxis>

#include "tests/support/app_test_support.h"

namespace {

QLineSeries* series(LargePlotWindow& w, const QString& name)
{
    for (QAbstractSeries* s : w.chart()->series())
        if (s->name() == name)
            return qobject_cast<QLineSeries*>(s);
    return nullptr;
}

TEST(LargePlot, FollowsTheMainPlotWithoutChangingIt)
{
    RunningSorvel s;
    s.clickControl(Command::Plot);
    const QImage before = s.screen();
    s.main().findChild<QAction*>("largePlot")->trigger();
    LargePlotWindow& w = s.app().largePlot();
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(s.screen(), before);

    QLineSeries* s21 = series(w, "S21");
    ASSERT_TRUE(s21);
    EXPECT_EQ(s21->count(), 1000);
    EXPECT_TRUE(series(w, "S11"));
    EXPECT_EQ(w.yAxis()->titleText(), "Level (dB)");
    EXPECT_EQ(w.xAxis()->titleText(), "Frequency (MHz)");
    const Circuit& m = s.app().analyser().circuit;
    EXPECT_EQ(w.xAxis()->min(), m.startfreq);
    EXPECT_EQ(w.xAxis()->max(), m.stopfreq);
    EXPECT_EQ(w.yAxis()->min(), m.bottomdb);
    EXPECT_EQ(w.yAxis()->max(), 0);

    // A tune step moves the trace; unticking S11 takes it away, as on the main plot.
    const QPointF mid = s21->at(500);
    s.type(Field::TuneEntry, "2");
    s.type(Field::TunePercent, "20");
    s.clickControl(Command::TuneUp);
    s21 = series(w, "S21");
    EXPECT_NE(s21->at(500).y(), mid.y());
    s.clickControl(Check::PlotS11);
    EXPECT_FALSE(series(w, "S11"));

    // The pointer over the middle of the plot area reads the middle of the scale.
    QApplication::processEvents();
    const QRectF area = w.chart()->plotArea();
    const QPoint centre = w.view()->mapFromScene(w.chart()->mapToScene(area.center()));
    w.pointerAt(centre);
    const QString text = w.pointer()->text();
    EXPECT_TRUE(text.startsWith("Pointer: ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" dB")) << text.toStdString();
    const double f = text.mid(9).section(' ', 0, 0).toDouble();
    EXPECT_NEAR(f, (m.startfreq + m.stopfreq) / 2, (m.stopfreq - m.startfreq) / 50);
    w.pointerAt(QPoint(1, 1));
    EXPECT_EQ(w.pointer()->text(), " ") << "outside the plot area";
    w.close();
}

}  // namespace
