#include "analyser/app/large_plot_window.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>
#include <QVBoxLayout>

#include "common/numtext.h"
#include "desktop/round_ticks.h"

namespace {

QColor qcolor(Color c) { return QColor(c.r, c.g, c.b); }

// Reports the pointer as it moves over the chart.
class PointerView : public QChartView {
public:
    PointerView(QChart* chart, LargePlotWindow* window) : QChartView(chart, window), window_(window)
    {
        setMouseTracking(true);
    }

protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        window_->pointerAt(event->position().toPoint());
        QChartView::mouseMoveEvent(event);
    }

private:
    LargePlotWindow* window_;
};

}  // namespace

LargePlotWindow::LargePlotWindow()
{
    setObjectName("largePlotWindow");
    setWindowTitle("Large Plot");
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);

    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    xAxis_ = new QValueAxis;
    yAxis_ = new QValueAxis;
    yAxis_->setTitleText("Level (dB)");
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    view_ = new PointerView(chart_, this);
    view_->setObjectName("largeChart");
    // Drawn as vectors at the screen's own resolution, smooth at any scale factor.
    view_->setRenderHint(QPainter::Antialiasing);
    pointer_ = new QLabel(" ", this);
    pointer_->setObjectName("pointer");
    status_ = new QLabel(this);
    status_->setObjectName("status");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addWidget(pointer_);
    layout->addWidget(status_);
    setMinimumSize(360, 260);
    resize(820, 580);
}

void LargePlotWindow::showTraces(const std::vector<PlotTrace>& traces, const PlotScale& scale)
{
    status_->clear();
    scale_ = scale;
    chart_->removeAllSeries();
    for (const PlotTrace& t : traces) {
        QList<QPointF> lower;
        lower.reserve(qsizetype(t.x.size()));
        for (std::size_t i = 0; i < t.x.size() && i < t.y.size(); ++i)
            lower.append(QPointF(t.x[i], t.y[i]));
        QAbstractSeries* series;
        if (!t.upper.empty()) {
            auto* low = new QLineSeries;
            low->replace(lower);
            auto* high = new QLineSeries;
            for (std::size_t i = 0; i < t.x.size() && i < t.upper.size(); ++i)
                high->append(t.x[i], t.upper[i]);
            auto* area = new QAreaSeries(high, low);
            area->setColor(qcolor(t.colour));
            area->setBorderColor(qcolor(t.colour));
            series = area;
        } else {
            auto* line = new QLineSeries;
            line->replace(lower);
            line->setPen(QPen(qcolor(t.colour), 1.5));
            series = line;
        }
        series->setName(QString::fromStdString(t.name));
        chart_->addSeries(series);
        series->attachAxis(xAxis_);
        series->attachAxis(yAxis_);
    }
    desktop::setRoundTicks(*xAxis_, scale.start, scale.stop, 10);
    desktop::setRoundTicks(*yAxis_, scale.bottom, scale.top, 10);
    xAxis_->setTitleText(QString::fromStdString(scale.xTitle));
}

void LargePlotWindow::showError(const std::string& message)
{
    status_->setText(QString::fromStdString("Not updated: " + message));
}

void LargePlotWindow::pointerAt(QPoint viewPos)
{
    const QPointF scene = view_->mapToScene(viewPos);
    const QPointF inChart = chart_->mapFromScene(scene);
    if (!chart_->plotArea().contains(inChart)) {
        pointer_->setText(" ");
        return;
    }
    const QPointF v = chart_->mapToValue(inChart);
    const std::string unit = scale_.xTitle.substr(scale_.xTitle.rfind('(') + 1,
                                                  scale_.xTitle.size() - scale_.xTitle.rfind('(') - 2);
    const int decimals = desktop::stepDecimals(desktop::roundStep(scale_.stop - scale_.start, 400));
    pointer_->setText(QString::fromStdString("Pointer: " + fixedText(v.x(), 15, decimals) + " " + unit + ", " +
                                             fixedText(v.y(), 15, 2) + " dB"));
}
