// What a person reads in Sorvel's other windows: round axis ticks, whole trial counts, and
// readouts in words whose texts fit their columns.
#include <gtest/gtest.h>

#include <QAction>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <cmath>

#include "tests/support/app_test_support.h"

namespace {

// Ticks at 1, 2 or 5 times a power of ten.
bool roundInterval(const QValueAxis& axis)
{
    if (axis.tickType() != QValueAxis::TicksDynamic || !(axis.tickInterval() > 0))
        return false;
    const double power = std::pow(10.0, std::floor(std::log10(axis.tickInterval()) + 1e-9));
    const double m = axis.tickInterval() / power;
    return std::abs(m - 1) < 1e-6 || std::abs(m - 2) < 1e-6 || std::abs(m - 5) < 1e-6;
}

TEST(ReadableNumbers, ResponseWindowAxesAndColumns)
{
    RunningSorvel s;
    s.type(Field::CursorFreq, "10");
    s.clickControl(Command::Plot);
    s.main().action(Command::ShowResponse)->trigger();
    ResponseWindow& r = s.app().responseWindow();
    QApplication::processEvents();
    const auto axes = r.findChild<QChartView*>("delayChart")->chart()->axes();
    ASSERT_EQ(axes.size(), 2);
    for (auto* a : axes)
        EXPECT_TRUE(roundInterval(*qobject_cast<QValueAxis*>(a))) << qobject_cast<QValueAxis*>(a)->tickInterval();

    QTableWidget* table = r.readouts();
    const QFontMetrics fm(table->font());
    for (int row = 0; row < table->rowCount(); ++row)
        for (int col = 0; col < table->columnCount() - 1; ++col) {
            const QString text = table->item(row, col)->text();
            EXPECT_LE(fm.horizontalAdvance(text) + 8, table->columnWidth(col)) << text.toStdString();
        }
    EXPECT_FALSE(table->horizontalScrollBar()->isVisible())
        << "every column in view " << r.width() << " " << table->viewport()->width() << " "
        << table->columnWidth(0) + table->columnWidth(1) * 3 + table->columnWidth(4);
    // The last column stretches; it must show the longest unit.
    EXPECT_GE(table->horizontalHeader()->sectionSize(4), fm.horizontalAdvance("Unit"));
    const QString cursor = r.cursorReadout()->text();
    EXPECT_TRUE(cursor.contains(QRegularExpression("Group delay</td><td align=right>\\d+\\.\\d+</td>"))) << cursor.toStdString();
    r.close();
}

TEST(ReadableNumbers, ToleranceHistogramCountsWholeTrials)
{
    RunningSorvel s;
    ToleranceWindow& w = s.app().toleranceWindow();
    w.showMessage = [](const std::string&) {};
    s.main().action(Command::ShowTolerance)->trigger();
    w.findChild<QLineEdit*>("trials")->setText("37");
    w.findChild<QLineEdit*>("capTolerance")->setText("5");
    QTest::mouseClick(w.findChild<QPushButton*>("run"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.result().has_value(); }, 20000));
    QApplication::processEvents();
    auto* chart = w.findChild<QChartView*>("histogram")->chart();
    auto* counts = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    auto* width = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
    EXPECT_TRUE(roundInterval(*counts));
    EXPECT_GE(counts->tickInterval(), 1);
    EXPECT_EQ(counts->labelFormat(), "%.0f");
    EXPECT_EQ(std::fmod(counts->max(), counts->tickInterval()), 0);
    EXPECT_TRUE(roundInterval(*width));
    w.close();
}

}  // namespace
