#include "analyser/app/tolerance_window.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QScrollArea>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "common/errors.h"
#include "desktop/round_ticks.h"

namespace {

QLineEdit* field(const char* name, const char* text, QWidget* parent)
{
    auto* e = new QLineEdit(QString::fromUtf8(text), parent);
    e->setObjectName(name);
    e->setMaximumWidth(120);
    return e;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

constexpr int kHistogramBins = 30;

// Counts of trials are whole numbers, at round steps.
void setTrialAxis(QValueAxis* axis, int top) { desktop::setCountTicks(*axis, top); }

}  // namespace

ToleranceWindow::ToleranceWindow(Analyser& analyser, QWidget* parent) : QWidget(parent), analyser_(analyser)
{
    setObjectName("ToleranceWindow");
    setWindowTitle("Tolerance");
    // Closing it leaves the program running: the main window is the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    const tolerance::Inputs defaults;

    auto* spread = new QGroupBox("Part spread", this);
    auto* spreadForm = new QFormLayout(spread);
    trials_ = field("trials", defaults.trials.c_str(), spread);
    spreadKind_ = new QComboBox(spread);
    spreadKind_->setObjectName("spreadKind");
    spreadKind_->addItems({"Normal, standard deviation", "Uniform, within \u00b1"});
    crystalHz_ = field("crystalSpread", defaults.crystalHz.c_str(), spread);
    capPercent_ = field("capTolerance", defaults.capPercent.c_str(), spread);
    indPercent_ = field("indTolerance", defaults.indPercent.c_str(), spread);
    seed_ = field("seed", defaults.seed.c_str(), spread);
    spreadForm->addRow("Trials (1 to 100000):", trials_);
    spreadForm->addRow("Crystal offset:", spreadKind_);
    spreadForm->addRow("Crystal spread (Hz):", crystalHz_);
    spreadForm->addRow("Capacitors \u00b1 (%):", capPercent_);
    spreadForm->addRow("Inductors \u00b1 (%):", indPercent_);
    spreadForm->addRow("Seed:", seed_);

    auto* limits = new QGroupBox("Yield limits (empty: none)", this);
    auto* limitsForm = new QFormLayout(limits);
    bandwidthLimit_ = field("bandwidthLimit", defaults.bandwidthPercent.c_str(), limits);
    rippleLimit_ = field("rippleLimit", defaults.maxRippleDb.c_str(), limits);
    lossLimit_ = field("lossLimit", defaults.maxLossDb.c_str(), limits);
    limitsForm->addRow("-3 dB bandwidth within \u00b1 (% of nominal):", bandwidthLimit_);
    limitsForm->addRow("Ripple at most (dB):", rippleLimit_);
    limitsForm->addRow("Insertion loss at most (dB):", lossLimit_);

    auto* inputs = new QHBoxLayout;
    inputs->addWidget(spread);
    inputs->addWidget(limits);

    run_ = button("run", "&Run", this);
    cancel_ = button("cancel", "&Cancel", this);
    clearEnvelope_ = button("clearEnvelope", "C&lear Envelope", this);
    cancel_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    buttons->addWidget(clearEnvelope_);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");
    progress_->setValue(0);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);

    table_ = new QTableWidget(tolerance::kQuantityCount, 11, this);
    table_->setObjectName("statistics");
    table_->setHorizontalHeaderLabels(
        {"Readout", "Unit", "Nominal", "Trials", "Mean", "SD", "Min", "5 %", "Median", "95 %", "Max"});
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setMinimumHeight(table_->verticalHeader()->defaultSectionSize() * (tolerance::kQuantityCount + 1) + 8);

    yield_ = new QLabel("Yield: -", this);
    yield_->setObjectName("yield");

    chart_ = new QChart;
    chart_->setTitle("Bandwidth at -3 dB over the trials");
    chart_->legend()->hide();
    histogramLine_ = new QLineSeries(this);
    histogramArea_ = new QAreaSeries(histogramLine_);
    histogramArea_->setColor(QColor(255, 170, 170));
    histogramArea_->setBorderColor(QColor(200, 0, 0));
    chart_->addSeries(histogramArea_);
    axisX_ = new QValueAxis;
    axisY_ = new QValueAxis;
    axisY_->setLabelFormat("%d");
    setTrialAxis(axisY_, 1);
    desktop::setRoundTicks(*axisX_, 0, 1);
    axisY_->setTitleText("Trials");
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    histogramArea_->attachAxis(axisX_);
    histogramArea_->attachAxis(axisY_);
    auto* chartView = new QChartView(chart_, this);  // owns the chart
    chartView->setObjectName("histogram");
    chartView->setRenderHint(QPainter::Antialiasing);
    chartView->setMinimumHeight(240);

    // In a scroll area: the whole window is taller than a 768-pixel screen has room for.
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->addLayout(inputs);
    layout->addLayout(buttons);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addWidget(table_);
    layout->addWidget(yield_);
    layout->addWidget(chartView, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("scroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    resize(kDefaultSize);

    connect(run_, &QPushButton::clicked, this, &ToleranceWindow::runClicked);
    connect(cancel_, &QPushButton::clicked, this, &ToleranceWindow::cancelClicked);
    connect(clearEnvelope_, &QPushButton::clicked, this, &ToleranceWindow::clearEnvelopeClicked);
    for (QLineEdit* limit : {bandwidthLimit_, rippleLimit_, lossLimit_})
        connect(limit, &QLineEdit::editingFinished, this, &ToleranceWindow::showYield);
    showMessage = [this](const std::string& text) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(text));
    };
}

ToleranceWindow::~ToleranceWindow() { runner_.cancel(); }

tolerance::Inputs ToleranceWindow::inputs() const
{
    tolerance::Inputs in;
    in.trials = trials_->text().toStdString();
    in.uniform = spreadKind_->currentIndex() == 1;
    in.crystalHz = crystalHz_->text().toStdString();
    in.capPercent = capPercent_->text().toStdString();
    in.indPercent = indPercent_->text().toStdString();
    in.seed = seed_->text().toStdString();
    in.bandwidthPercent = bandwidthLimit_->text().toStdString();
    in.maxRippleDb = rippleLimit_->text().toStdString();
    in.maxLossDb = lossLimit_->text().toStdString();
    return in;
}

void ToleranceWindow::runClicked()
{
    try {
        runSettings_ = tolerance::readSettings(inputs());
        tolerance::readLimits(inputs());
        // Checked here as well, so that bad input is refused before anything starts.
        tolerance::checkSettings(runSettings_, analyser_.circuit);
    } catch (const AppError& e) {
        showMessage(e.what());
        return;
    }
    status_->clear();
    startRun();
}

void ToleranceWindow::startRun()
{
    runCircuit_ = analyser_.circuit;
    const int generation = ++generation_;
    tolerance::Runner::Callbacks callbacks;
    // The callbacks come on the run's thread: each only posts to this window's thread.
    callbacks.progress = [this, generation](int done, int total) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, done, total] {
                if (generation != generation_)
                    return;
                progress_->setMaximum(total);
                progress_->setValue(done);
            },
            Qt::QueuedConnection);
    };
    callbacks.done = [this, generation](tolerance::Result r) {
        auto shared = std::make_shared<tolerance::Result>(std::move(r));
        QMetaObject::invokeMethod(
            this, [this, generation, shared] { finished(generation, std::move(*shared)); }, Qt::QueuedConnection);
    };
    callbacks.refused = [this, generation](std::string message) {
        QMetaObject::invokeMethod(
            this, [this, generation, message] { refused(generation, message); }, Qt::QueuedConnection);
    };
    progress_->setMaximum(runSettings_.trials);
    progress_->setValue(0);
    setRunning(true);
    runner_.start(runCircuit_, runCircuit_.startfreq, runCircuit_.stopfreq, runSettings_, std::move(callbacks));
}

void ToleranceWindow::cancelClicked()
{
    runner_.cancel();
    ++generation_;
    setRunning(false);
    progress_->setValue(0);
    status_->setText("Cancelled.");
}

void ToleranceWindow::clearEnvelopeClicked()
{
    analyser_.envelope.clear();
    if (replot)
        replot();
}

void ToleranceWindow::circuitMayHaveChanged()
{
    if (sameResponse(analyser_.circuit, runCircuit_))
        return;
    if (runner_.running()) {
        ++restarts_;
        startRun();
        status_->setText("The circuit changed: the run started again on the new circuit.");
    } else if (result_) {
        status_->setText("The circuit has changed since this run.");
    }
}

void ToleranceWindow::finished(int generation, tolerance::Result r)
{
    if (generation != generation_)
        return;
    setRunning(false);
    progress_->setValue(progress_->maximum());
    result_ = std::move(r);
    const std::string note = tolerance::failureNote(*result_);
    status_->setText(QString::fromStdString(note.empty() ? "Done." : note + "."));
    showResult();
    analyser_.envelope = result_->envelope;
    if (replot)
        replot();
}

void ToleranceWindow::refused(int generation, const std::string& message)
{
    if (generation != generation_)
        return;
    setRunning(false);
    progress_->setValue(0);
    status_->setText(QString::fromStdString(message));
    showMessage(message);
}

void ToleranceWindow::showResult()
{
    const auto rows = tolerance::statisticsRows(*result_, runCircuit_.frequnit);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const tolerance::StatsRow& row = rows[i];
        const std::string* cells[] = {&row.caption, &row.unit, &row.nominal, &row.trials,
                                      &row.mean,    &row.sd,   &row.min,     &row.p5,
                                      &row.median,  &row.p95,  &row.max};
        for (int c = 0; c < 11; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(*cells[c]));
            if (c >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(i, c, item);
        }
    }
    showYield();
    showHistogram();
}

void ToleranceWindow::showYield()
{
    if (!result_)
        return;
    try {
        yield_->setText(QString::fromStdString(tolerance::yieldText(*result_, tolerance::readLimits(inputs()))));
    } catch (const AppError& e) {
        yield_->setText(QString("Yield: ") + e.what());
    }
}

void ToleranceWindow::showHistogram()
{
    const auto h = tolerance::histogram(tolerance::valuesOf(*result_, tolerance::Bw3), kHistogramBins);
    QList<QPointF> outline;
    int highest = 0;
    for (int i = 0; i < static_cast<int>(h.counts.size()); ++i) {
        const double x = h.from + i * h.width;
        outline << QPointF(x, i == 0 ? 0 : h.counts[i - 1]) << QPointF(x, h.counts[i]);
        highest = std::max(highest, h.counts[i]);
    }
    if (!h.counts.empty()) {
        const double end = h.from + h.counts.size() * h.width;
        outline << QPointF(end, h.counts.back()) << QPointF(end, 0);
        desktop::setRoundTicks(*axisX_, h.from, end);
    }
    histogramLine_->replace(outline);
    setTrialAxis(axisY_, std::max(1, highest + highest / 10));
    axisX_->setTitleText(QString("Bandwidth (%1)").arg(QString::fromStdString(runCircuit_.frequnit)));
}

void ToleranceWindow::setRunning(bool on)
{
    cancel_->setEnabled(on);
    if (on)
        status_->setText("Running...");
}
