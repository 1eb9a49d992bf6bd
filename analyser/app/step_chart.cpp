#include "analyser/app/step_chart.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "analyser/core/polyline.h"
#include "analyser/core/step_view.h"
#include "analyser/core/window_port.h"
#include "desktop/round_ticks.h"

namespace {

// As the delay curve: a point left out lies within this many pixels of the line drawn.
constexpr double kThinningPixels = 0.25;

}  // namespace

StepChart::StepChart(QWidget* parent) : QWidget(parent)
{
    chart_ = new QChart;
    chart_->setTitle("Step response");
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 4, 4));
    curve_ = new QLineSeries;
    curve_->setPen(QPen(QColor(colors::kRed.r, colors::kRed.g, colors::kRed.b), 1));
    final_ = new QLineSeries;
    final_->setPen(QPen(Qt::gray, 1, Qt::DashLine));
    chart_->addSeries(final_);
    chart_->addSeries(curve_);
    xAxis_ = new QValueAxis;
    yAxis_ = new QValueAxis;
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    for (QLineSeries* s : {curve_, final_}) {
        s->attachAxis(xAxis_);
        s->attachAxis(yAxis_);
    }
    connect(chart_, &QChart::plotAreaChanged, this, [this](const QRectF& area) {
        if (area.width() > 1.5 * thinnedFor_.width() || area.height() > 1.5 * thinnedFor_.height())
            showCurve();
    });
    view_ = new QChartView(chart_, this);
    view_->setObjectName("stepChart");
    view_->setRenderHint(QPainter::Antialiasing, false);
    view_->setMinimumHeight(260);
    readouts_ = new QLabel(this);
    readouts_->setObjectName("stepReadouts");
    readouts_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readouts_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(readouts_);
}

void StepChart::show(const StepView& v)
{
    readouts_->setText(QString::fromStdString(stepReadoutsLine(v)));
    if (!v.error.empty()) {
        x_.clear();
        y_.clear();
        curve_->clear();
        final_->clear();
        return;
    }
    chart_->setTitle(QString::fromStdString(stepTitle(v)));
    x_ = v.time;
    y_ = v.value;
    const double end = x_.empty() ? 1 : x_.back();
    double lo = 0, hi = v.finalValue;
    for (double y : y_) {
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
    const double pad = 0.05 * (hi - lo > 0 ? hi - lo : 1);
    curve_->clear();  // drawn once for the new range, not twice
    desktop::setRoundTicks(*xAxis_, 0, end);
    desktop::setRoundTicks(*yAxis_, lo < 0 ? lo - pad : 0, hi + pad);
    xAxis_->setTitleText(QString("Time (%1)").arg(QString::fromUtf8(v.scale.unit)));
    yAxis_->setTitleText(v.kind == StepKind::LowPass ? "Step (S21)" : "Envelope (|S21|)");
    final_->replace(QList<QPointF>{{0, v.finalValue}, {end, v.finalValue}});
    showCurve();
}

void StepChart::showCurve()
{
    const QSizeF area = chart_->plotArea().size();
    QList<QPointF> out;
    if (area.isEmpty()) {
        out.reserve(qsizetype(x_.size()));
        for (std::size_t i = 0; i < x_.size(); ++i)
            out.append(QPointF(x_[i], y_[i]));
    } else {
        const double xScale = area.width() / (xAxis_->max() - xAxis_->min());
        const double yScale = area.height() / (yAxis_->max() - yAxis_->min());
        for (int i : simplifyPolyline(x_.data(), y_.data(), int(x_.size()), xScale, yScale, kThinningPixels))
            out.append(QPointF(x_[std::size_t(i)], y_[std::size_t(i)]));
    }
    thinnedFor_ = area;
    curve_->replace(out);
}
