#include "designer/app/realized_window.h"

#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "designer/app/chart.h"
#include "common/numtext.h"

namespace {

QString number(std::optional<double> v, int decimals)
{
    return v ? QString::fromStdString(fixedText(*v, 9, decimals)) : QStringLiteral("none");
}

}  // namespace

RealizedWindow::RealizedWindow()
{
    setWindowTitle(QStringLiteral("Realized response"));
    auto* layout = new QVBoxLayout(this);
    outOfDate = new QLabel(
        QStringLiteral("Out of date: an input has changed since this response was computed. Click step 6 or "
                       "Design > Realized response to compute it again."),
        this);
    outOfDate->setWordWrap(true);
    outOfDate->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold"));
    outOfDate->hide();
    layout->addWidget(outOfDate);
    table = new QTableWidget(0, 3, this);
    table->setHorizontalHeaderLabels({QStringLiteral(""), QStringLiteral("Asked"), QStringLiteral("Realized")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setMinimumHeight(250);
    layout->addWidget(table);
    chart = makeChartView(this, QStringLiteral("Hz from the crystal frequency F"), QStringLiteral("dB"));
    layout->addWidget(chart, 1);
    note = new QLabel(this);
    note->setWordWrap(true);
    layout->addWidget(note);
    resize(560, 640);
}

void RealizedWindow::setOutOfDate(bool stale)
{
    outOfDate->setVisible(stale);
    setWindowTitle(stale ? QStringLiteral("Realized response (out of date)") : QStringLiteral("Realized response"));
}

void RealizedWindow::showResponse(const RealizedResponse& r)
{
    const Readouts& x = r.readouts;
    struct Row {
        QString name;
        QString asked;
        QString realized;
    };
    const Row rows[] = {
        {QStringLiteral("-3 dB bandwidth, Hz"), number(r.askedBwHz, 1), number(x.bands[0].width, 1)},
        {QStringLiteral("-6 dB bandwidth, Hz"), QString(), number(x.bands[1].width, 1)},
        {QStringLiteral("Centre offset from F, Hz"), QString(), number(x.centre3, 1)},
        {QStringLiteral("Insertion loss, dB"), QString(), number(x.insertionLossDb, 2)},
        {QStringLiteral("Ripple, dB"), QString(), number(x.rippleDb, 2)},
        {QStringLiteral("Return loss, dB"), QString(), number(x.returnLossDb, 1)},
        {QStringLiteral("Design bandwidth, Hz"), QString(), number(r.designBwHz, 1)},
    };
    table->setRowCount(static_cast<int>(std::size(rows)));
    int i = 0;
    for (const Row& row : rows) {
        table->setItem(i, 0, new QTableWidgetItem(row.name));
        table->setItem(i, 1, new QTableWidgetItem(row.asked));
        table->setItem(i, 2, new QTableWidgetItem(row.realized));
        ++i;
    }
    showCurves(chart, {{QStringLiteral("S21"), r.freqHz, r.s21Db}, {QStringLiteral("S11"), r.freqHz, r.s11Db}}, -100);
    note->setText(r.designBwHz != r.askedBwHz
                      ? QStringLiteral("Designed with another bandwidth than asked, to make up for crystal loss.")
                      : QStringLiteral("Designed with the asked bandwidth; crystal loss narrows the realized band."));
}
