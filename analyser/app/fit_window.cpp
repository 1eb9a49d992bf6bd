#include "analyser/app/fit_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>
#include <memory>

#include "common/errors.h"

namespace {

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QTableWidget* table(const char* name, const QStringList& headers, QWidget* parent)
{
    auto* t = new QTableWidget(0, headers.size(), parent);
    t->setObjectName(name);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->setVisible(false);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

// The parts of a circuit the free table lists: kinds and values.
bool sameParts(const Circuit& a, const Circuit& b)
{
    if (a.partcount != b.partcount || a.xtalqx != b.xtalqx || a.inductorq != b.inductorq ||
        a.crystalflag != b.crystalflag)
        return false;
    for (int n = 1; n <= kMaxParts; ++n)
        if (a.part(n).partkind != b.part(n).partkind || a.part(n).partconn != b.part(n).partconn ||
            a.part(n).partvalue != b.part(n).partvalue)
            return false;
    return true;
}

}  // namespace

FitWindow::FitWindow(Analyser& analyser, QWidget* parent) : QWidget(parent), analyser_(analyser)
{
    setObjectName("FitWindow");
    setWindowTitle("Fit to Measurement");
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* freeCaption = new QLabel("Values the fit may move (crystal offsets and shunt capacitors by default):", this);
    free_ = table("freeEntries", {"Entry"}, this);
    free_->setMinimumHeight(200);

    fit_ = button("fit", "&Fit", this);
    cancel_ = button("cancel", "&Cancel", this);
    apply_ = button("apply", "&Apply", this);
    revert_ = button("revert", "&Revert", this);
    clear_ = button("clearFit", "C&lear Fit", this);
    cancel_->setEnabled(false);
    apply_->setEnabled(false);
    revert_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {fit_, cancel_})
        buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : {apply_, revert_, clear_})
        buttons->addWidget(b);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");
    progress_->setValue(0);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);
    results_ = table("results", {"Entry", "Kind", "Nominal", "Fitted", "Change", "Sigma", "Unit", "Flag"}, this);
    results_->setMinimumHeight(200);
    residual_ = new QLabel("Residual: -", this);
    residual_->setObjectName("residual");
    residual_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(freeCaption);
    layout->addWidget(free_, 1);
    layout->addLayout(buttons);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addWidget(results_, 1);
    layout->addWidget(residual_);
    resize(620, 720);

    connect(fit_, &QPushButton::clicked, this, &FitWindow::fitClicked);
    connect(cancel_, &QPushButton::clicked, this, &FitWindow::cancelClicked);
    connect(apply_, &QPushButton::clicked, this, &FitWindow::applyClicked);
    connect(revert_, &QPushButton::clicked, this, &FitWindow::revertClicked);
    connect(clear_, &QPushButton::clicked, this, &FitWindow::clearFitClicked);
    showMessage = [this](const std::string& text) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(text));
    };
}

FitWindow::~FitWindow() { runner_.cancel(); }

void FitWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (rows_.empty() || !sameParts(tableCircuit_, analyser_.circuit))
        fillFreeTable();
}

void FitWindow::fillFreeTable()
{
    // Ticks the user set stay with their entries when the values change (after Apply).
    std::map<int, bool> ticks;
    for (int i = 0; i < static_cast<int>(rows_.size()) && i < free_->rowCount(); ++i)
        ticks[rows_[i].entry] = free_->item(i, 0)->checkState() == Qt::Checked;
    const bool sameKinds = fitting::freeRows(analyser_.circuit).size() == rows_.size();
    tableCircuit_ = analyser_.circuit;
    rows_ = fitting::freeRows(tableCircuit_);
    if (sameKinds)
        for (fitting::FreeRow& row : rows_)
            if (auto it = ticks.find(row.entry); it != ticks.end())
                row.ticked = it->second;
    free_->setRowCount(static_cast<int>(rows_.size()));
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
        auto* item = new QTableWidgetItem(QString::fromStdString(rows_[i].caption));
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(rows_[i].ticked ? Qt::Checked : Qt::Unchecked);
        free_->setItem(i, 0, item);
    }
}

void FitWindow::circuitMayHaveChanged()
{
    if (isVisible() && !sameParts(tableCircuit_, analyser_.circuit) && !running())
        fillFreeTable();
}

void FitWindow::fitClicked()
{
    if (!analyser_.measurement) {
        showMessage("Open a measurement first (File > Open Measurement..., or Instrument > Single Sweep).");
        return;
    }
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i)
        rows_[i].ticked = free_->item(i, 0)->checkState() == Qt::Checked;
    fitCircuit_ = analyser_.circuit;
    const int generation = ++generation_;
    fitting::Runner::Callbacks callbacks;
    // The callbacks come on the fit's thread: each only posts to this window's thread.
    callbacks.progress = [this, generation](int iteration, int most) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, iteration, most] {
                if (generation != generation_)
                    return;
                progress_->setMaximum(most);
                progress_->setValue(iteration);
            },
            Qt::QueuedConnection);
    };
    callbacks.done = [this, generation](fit::Result r) {
        auto shared = std::make_shared<fit::Result>(std::move(r));
        QMetaObject::invokeMethod(
            this, [this, generation, shared] { finished(generation, std::move(*shared)); }, Qt::QueuedConnection);
    };
    callbacks.refused = [this, generation](std::string message) {
        QMetaObject::invokeMethod(
            this, [this, generation, message] { refused(generation, message); }, Qt::QueuedConnection);
    };
    progress_->setValue(0);
    setRunning(true);
    runner_.start(fitCircuit_, *analyser_.measurement, fitting::freeSetOf(rows_), std::move(callbacks));
}

void FitWindow::cancelClicked()
{
    runner_.cancel();
    ++generation_;
    setRunning(false);
    progress_->setValue(0);
    status_->setText("Cancelled.");
}

void FitWindow::finished(int generation, fit::Result r)
{
    if (generation != generation_)
        return;
    setRunning(false);
    progress_->setValue(progress_->maximum());
    status_->setText(r.poor ? "Done: the fit is poor." : "Done.");
    const auto rows = fitting::resultRows(r);
    results_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const fitting::ResultRow& row = rows[i];
        const std::string* cells[] = {&row.entry, &row.kind, &row.nominal, &row.fitted,
                                      &row.change, &row.sigma, &row.unit, &row.flag};
        for (int c = 0; c < 8; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(*cells[c]));
            if (c >= 2 && c <= 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            results_->setItem(i, c, item);
        }
    }
    residual_->setText(QString::fromStdString(fitting::residualText(r)));
    analyser_.fitted = r.fitted;
    session_.finished(fitCircuit_, std::move(r));
    apply_->setEnabled(!session_.result()->poor);
    if (replot)
        replot();
}

void FitWindow::refused(int generation, const std::string& message)
{
    if (generation != generation_)
        return;
    setRunning(false);
    progress_->setValue(0);
    status_->setText(QString::fromStdString(message));
    showMessage(message);
}

void FitWindow::applyClicked()
{
    try {
        command([this] { session_.apply(analyser_); });
    } catch (const AppError& e) {
        showMessage(e.what());
    }
    revert_->setEnabled(session_.canRevert());
}

void FitWindow::revertClicked()
{
    try {
        command([this] { session_.revert(analyser_); });
    } catch (const AppError& e) {
        showMessage(e.what());
    }
    revert_->setEnabled(session_.canRevert());
}

void FitWindow::clearFitClicked()
{
    analyser_.fitted.reset();
    if (replot)
        replot();
}

void FitWindow::setRunning(bool on)
{
    cancel_->setEnabled(on);
    fit_->setEnabled(!on);
    if (on)
        status_->setText("Fitting...");
}
