#include "designer/app/chart.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include "desktop/round_ticks.h"

QChartView* makeChartView(QWidget* parent, const QString& xTitle, const QString& yTitle)
{
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* x = new QValueAxis;
    auto* y = new QValueAxis;
    x->setTitleText(xTitle);
    y->setTitleText(yTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(360, 240);
    return view;
}

void showCurves(QChartView* view, const std::vector<Curve>& curves, double floorDb)
{
    QChart* chart = view->chart();
    chart->removeAllSeries();
    const auto xAxes = chart->axes(Qt::Horizontal);
    const auto yAxes = chart->axes(Qt::Vertical);
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    for (const Curve& c : curves) {
        auto* series = new QLineSeries;
        series->setName(c.name);
        for (std::size_t i = 0; i < c.x.size() && i < c.y.size(); ++i) {
            const double y = std::max(c.y[i], floorDb);
            series->append(c.x[i], y);
            x0 = std::min(x0, c.x[i]);
            x1 = std::max(x1, c.x[i]);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
        chart->addSeries(series);
        series->attachAxis(xAxes.front());
        series->attachAxis(yAxes.front());
    }
    if (x0 < x1)
        desktop::setRoundTicks(*static_cast<QValueAxis*>(xAxes.front()), x0, x1);
    if (y0 <= y1) {
        // Whole 10 dB steps keep the grid readable.
        desktop::setRoundTicks(*static_cast<QValueAxis*>(yAxes.front()), std::floor(y0 / 10) * 10,
                               std::ceil((y1 + 0.01) / 10) * 10);
    }
}
