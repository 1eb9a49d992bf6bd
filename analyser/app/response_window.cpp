#include "response_window.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

#include "window_port.h"

namespace {

QColor qcolor(Color c) { return QColor(c.r, c.g, c.b); }

QString text(std::optional<double> v) { return QString::fromStdString(readoutText(v)); }

// Rows and columns of the cursor readout.
QString cursorHtml(const ResponseReport& r)
{
    if (!r.cursorComputed)
        return "Cursor: none (place one in the main window)";
    const CursorValues& c = *r.cursorComputed;
    const CursorValues m = r.cursorMeasured.value_or(CursorValues{});
    const DelayScale ds = delayScale(c.delay.value_or(0));
    auto delay = [&](std::optional<double> s) -> std::optional<double> {
        if (!s)
            return std::nullopt;
        return *s * ds.perSecond;
    };
    auto row = [](const QString& name, const QString& a, const QString& b, const QString& unit) {
        return "<tr><td>" + name + "</td><td align=right>" + a + "</td><td align=right>" + b +
               "</td><td>" + unit + "</td></tr>";
    };
    QString html = "<table cellspacing=0 cellpadding=2>";
    html += row("<b>Cursor " + text(r.cursorFreq) + " " + QString::fromStdString(r.frequnit) + "</b>",
                "<b>computed</b>", "<b>measured</b>", "");
    html += row("S21", text(c.s21db), text(m.s21db), "dB");
    html += row("S11", text(c.s11db), text(m.s11db), "dB");
    html += row("Group delay", text(delay(c.delay)), text(delay(m.delay)), QString::fromUtf8(ds.unit));
    return html + "</table>";
}

}  // namespace

ResponseWindow::ResponseWindow()
{
    setObjectName("responseWindow");
    setWindowTitle("Response");
    setWindowFlag(Qt::Window);
    // Closing it never ends the program; the main window does that.
    setAttribute(Qt::WA_QuitOnClose, false);

    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName("readouts");
    table_->setHorizontalHeaderLabels({"Readout", "Computed", "Measured", "Difference", "Unit"});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed widths: sizing columns to their contents after every tune step costs more
    // than all the numbers in them.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (auto [col, width] : {std::pair{0, 120}, {1, 125}, {2, 125}, {3, 110}})
        table_->setColumnWidth(col, width);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(18);

    chart_ = new QChart;
    chart_->setTitle("Group delay");
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    computed_ = new QLineSeries;
    computed_->setName("Computed");
    computed_->setPen(QPen(qcolor(colors::kRed), 1));
    measured_ = new QLineSeries;
    measured_->setName("Measured");
    measured_->setPen(QPen(qcolor(colors::kMeasuredS21), 1));
    chart_->addSeries(computed_);
    chart_->addSeries(measured_);
    xAxis_ = new QValueAxis;
    yAxis_ = new QValueAxis;
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    for (QLineSeries* s : {computed_, measured_}) {
        s->attachAxis(xAxis_);
        s->attachAxis(yAxis_);
    }
    chartView_ = new QChartView(chart_, this);
    chartView_->setObjectName("delayChart");
    // Without antialiasing: a 1000-point line repaints several times faster.
    chartView_->setRenderHint(QPainter::Antialiasing, false);
    chartView_->setMinimumHeight(260);

    cursor_ = new QLabel(this);
    cursor_->setObjectName("cursorReadout");
    cursor_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);

    auto* copy = new QPushButton("&Copy", this);
    copy->setObjectName("copy");
    copy->setToolTip("Copy the readouts and the cursor values as text");
    connect(copy, &QPushButton::clicked, this, &ResponseWindow::copyToClipboard);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cursor_, 1);
    bottom->addWidget(copy, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 3);
    layout->addWidget(chartView_, 2);
    layout->addLayout(bottom);
    layout->addWidget(status_);
    resize(600, 820);
}

void ResponseWindow::showReport(const ResponseReport& r)
{
    status_->clear();
    const auto rows = readoutRows(r);
    table_->setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        const ReadoutRow& row = rows[std::size_t(i)];
        const QString cells[] = {QString::fromStdString(row.quantity), text(row.computed), text(row.measured),
                                 text(row.difference), QString::fromStdString(row.unit)};
        for (int col = 0; col < 5; ++col) {
            QTableWidgetItem* item = table_->item(i, col);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(col >= 1 && col <= 3 ? Qt::AlignRight | Qt::AlignVCenter
                                                            : Qt::AlignLeft | Qt::AlignVCenter);
                table_->setItem(i, col, item);
            }
            item->setText(cells[col]);
        }
    }

    // One unit for both traces, chosen by the larger delay shown.
    double largest = 0;
    for (double d : r.computedDelay)
        largest = std::max(largest, std::abs(d));
    for (double d : r.measuredDelay)
        largest = std::max(largest, std::abs(d));
    const DelayScale ds = delayScale(largest);
    double lo = 0, hi = 0;
    auto points = [&](const std::vector<double>& f, const std::vector<double>& d) {
        QList<QPointF> out;
        out.reserve(qsizetype(f.size()));
        for (std::size_t i = 0; i < f.size(); ++i) {
            const double y = d[i] * ds.perSecond;
            lo = std::min(lo, y);
            hi = std::max(hi, y);
            out.append(QPointF(f[i], y));
        }
        return out;
    };
    computed_->replace(points(r.freq, r.computedDelay));
    measured_->replace(points(r.measuredDelayFreq, r.measuredDelay));
    measured_->setVisible(!r.measuredDelay.empty());
    xAxis_->setRange(r.start, r.stop);
    xAxis_->setTitleText(QString::fromStdString("Frequency (" + r.frequnit + ")"));
    yAxis_->setRange(lo, hi > lo ? hi * 1.05 : lo + 1);
    yAxis_->setTitleText(QString("Delay (%1)").arg(QString::fromUtf8(ds.unit)));

    cursor_->setText(cursorHtml(r));
    text_ = QString::fromStdString(responseReportText(r));
}

void ResponseWindow::showError(const std::string& message)
{
    status_->setText(QString::fromStdString("Not updated: " + message));
}

void ResponseWindow::copyToClipboard() const { QApplication::clipboard()->setText(text_); }

void ResponseWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (onOpenChanged && !event->spontaneous())
        onOpenChanged(true);
}

void ResponseWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (onOpenChanged)
        onOpenChanged(false);
}
