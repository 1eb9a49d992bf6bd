#include "designer/app/round_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/numtext.h"
#include "designer/core/mesh_tuning.h"

namespace {

const char* const kSeries[] = {"E6", "E12", "E24", "E48", "E96"};
const QString kPartsList = QStringLiteral("Parts list...");

QString number(std::optional<double> v, int decimals)
{
    return v ? QString::fromStdString(fixedText(*v, 9, decimals)) : QStringLiteral("none");
}

QString capacitance(float pf)
{
    return pf >= static_cast<float>(kWirePf) ? QStringLiteral("wire") : QString::fromStdString(generalText(pf, 6));
}

QTableWidget* makeTable(QWidget* parent, const QStringList& headers)
{
    auto* t = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return t;
}

void setRow(QTableWidget* t, int row, const QStringList& cells)
{
    for (int col = 0; col < cells.size(); ++col)
        t->setItem(row, col, new QTableWidgetItem(cells[col]));
}

}  // namespace

RoundWindow::RoundWindow()
{
    setWindowTitle(QStringLiteral("Round to preferred values"));
    auto* layout = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Values:"), this));
    series = new QComboBox(this);
    for (const char* name : kSeries)
        series->addItem(QString::fromLatin1(name));
    series->addItem(kPartsList);
    series->setCurrentIndex(2);  // E24
    controls->addWidget(series);
    refit = new QCheckBox(QStringLiteral("Refit"), this);
    refit->setChecked(true);
    refit->setToolTip(QStringLiteral("Choose each capacitor between its two neighbouring values and re-choose "
                                     "the end resistance, to come closest to the exact design's response"));
    controls->addWidget(refit);
    round = new QPushButton(QStringLiteral("&Round"), this);
    controls->addWidget(round);
    controls->addStretch(1);
    use = new QPushButton(QStringLiteral("&Use these values"), this);
    use->setEnabled(false);
    use->setToolTip(QStringLiteral("The values chosen go into the design: File > Export and the realized "
                                   "response use them"));
    controls->addWidget(use);
    layout->addLayout(controls);
    partsFile = new QLabel(this);
    partsFile->hide();
    layout->addWidget(partsFile);

    readouts = makeTable(this, {QString(), QStringLiteral("Exact"), QStringLiteral("Rounded"),
                                QStringLiteral("Refitted")});
    readouts->setMinimumHeight(7 * (readouts->fontMetrics().height() + 6) + 4);
    layout->addWidget(readouts);
    capacitors = makeTable(this, {QStringLiteral("Capacitor, pF"), QStringLiteral("Exact"),
                                  QStringLiteral("Rounded"), QStringLiteral("Refitted")});
    layout->addWidget(capacitors, 1);

    choosePartsList = [](QWidget* parent) -> std::optional<QString> {
        const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("Parts list"), QString(),
                                                          QStringLiteral("Parts lists (*.csv)"));
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    };
    // Picking "Parts list..." asks for the file at once; a cancel keeps the list in use, if any.
    QObject::connect(series, &QComboBox::activated, this, [this](int index) {
        if (series->itemText(index) != kPartsList)
            return;
        if (const auto path = choosePartsList(this)) {
            partsPath = *path;
            partsFile->setText(QStringLiteral("Parts list: ") + partsPath);
            partsFile->show();
        } else if (partsPath.isEmpty()) {
            series->setCurrentIndex(2);
        }
    });
    QObject::connect(round, &QPushButton::clicked, this, [this] {
        if (onRound)
            onRound();
    });
    QObject::connect(use, &QPushButton::clicked, this, [this] {
        if (onUse)
            onUse();
    });
    resize(540, 560);
}

std::optional<std::vector<double>> RoundWindow::available()
{
    if (series->currentText() == kPartsList) {
        if (partsPath.isEmpty())
            return std::nullopt;
        return availableValues(partsPath.toStdString());
    }
    return availableValues(series->currentText().toStdString());
}

void RoundWindow::clearChoice()
{
    readouts->setRowCount(0);
    capacitors->setRowCount(0);
    use->setEnabled(false);
}

void RoundWindow::showChoice(const ValueChoice& c)
{
    const RealizedResponse* responses[] = {&c.exactResponse, &c.roundedResponse,
                                           c.refit ? &c.refittedResponse : nullptr};
    const DesignState* states[] = {&c.exact, &c.rounded, c.refit ? &c.refitted : nullptr};
    struct Row {
        QString name;
        std::function<QString(const RealizedResponse&, const DesignState&)> cell;
    };
    const Row rows[] = {
        {QStringLiteral("-3 dB bandwidth, Hz"), [](auto& r, auto&) { return number(r.readouts.bands[0].width, 1); }},
        {QStringLiteral("Centre offset from F, Hz"), [](auto& r, auto&) { return number(r.readouts.centre3, 1); }},
        {QStringLiteral("Ripple, dB"), [](auto& r, auto&) { return number(r.readouts.rippleDb, 2); }},
        {QStringLiteral("-6 dB bandwidth, Hz"), [](auto& r, auto&) { return number(r.readouts.bands[1].width, 1); }},
        {QStringLiteral("Shape factor 60/6"), [](auto& r, auto&) { return number(r.readouts.shape60to6, 3); }},
        {QStringLiteral("End resistance, ohm"), [](auto&, auto& s) { return number(static_cast<double>(s.rend), 2); }},
    };
    readouts->setRowCount(static_cast<int>(std::size(rows)));
    int i = 0;
    for (const Row& row : rows) {
        QStringList cells{row.name};
        for (int k = 0; k < 3; ++k)
            cells << (responses[k] ? row.cell(*responses[k], *states[k]) : QStringLiteral("-"));
        setRow(readouts, i++, cells);
    }

    // The capacitors in the export's order: ends, couplings, tuning.
    const int n = c.exact.crystalCount;
    capacitors->setRowCount(2 + (n - 1) + n);
    int row = 0;
    auto add = [&](const QString& name, float DesignState::*member) {
        setRow(capacitors, row++, {name, capacitance(c.exact.*member), capacitance(c.rounded.*member),
                                   c.refit ? capacitance(c.refitted.*member) : QStringLiteral("-")});
    };
    add(QStringLiteral("C1"), &DesignState::ce1pf);
    add(QStringLiteral("Cn"), &DesignState::cenpf);
    auto addAt = [&](const QString& name, Table DesignState::*array, int at) {
        setRow(capacitors, row++, {name, capacitance((c.exact.*array)[at]), capacitance((c.rounded.*array)[at]),
                                   c.refit ? capacitance((c.refitted.*array)[at]) : QStringLiteral("-")});
    };
    for (int j = 1; j < n; ++j)
        addAt(QStringLiteral("C%1-%2").arg(j).arg(j + 1), &DesignState::couplingCap, j);
    for (int k = 1; k <= n; ++k)
        addAt(QStringLiteral("CT%1").arg(k), &DesignState::tuningCap, k);
    use->setEnabled(true);
}
