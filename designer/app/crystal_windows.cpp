#include "designer/app/crystal_windows.h"

#include <algorithm>

#include <QChartView>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "designer/app/chart.h"
#include "designer/core/crystal_measure.h"
#include "designer/core/crystal_results.h"
#include "designer/core/mesh_tuning.h"
#include "common/errors.h"
#include "common/numread.h"
#include "designer/app/qt_form_port.h"
#include "common/touchstone.h"

namespace {

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

// Runs `work`; an AppError is shown as every command's error is.
template <class Work>
bool guarded(QWidget* window, Work&& work)
{
    try {
        work();
        return true;
    } catch (const AppError& e) {
        ui::showMessage(window, QString::fromUtf8(e.what()));
        return false;
    }
}

double number(const QLineEdit* edit)
{
    return readNumber(edit->text().toStdString());
}

const QString kTouchstoneFilter = QStringLiteral("Touchstone (*.s2p *.s1p *.S2P *.S1P);;All files (*)");

}  // namespace

MeasureWindow::MeasureWindow()
{
    setWindowTitle(QStringLiteral("Measure a crystal"));
    // One above the other, so that the window fits beside the main window.
    auto* layout = new QVBoxLayout(this);

    auto* measured = new QGroupBox(QStringLiteral("From a network analyser"), this);
    auto* left = new QVBoxLayout(measured);
    auto* form = new QFormLayout;
    portR = new QLineEdit(QString::number(kDefaultPortR), measured);
    form->addRow(QStringLiteral("Port resistance, ohm"), portR);
    left->addLayout(form);
    open = new QPushButton(QStringLiteral("Open Touchstone file..."), measured);
    left->addWidget(open);
    auto* result = new QHBoxLayout;
    values = new QLabel(QStringLiteral("No measurement read."), measured);
    values->setTextInteractionFlags(Qt::TextSelectableByMouse);
    values->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    values->setMinimumWidth(170);
    result->addWidget(values);
    chart = makeChartView(measured, QStringLiteral("Frequency, MHz"), QStringLiteral("|S21|, dB"));
    result->addWidget(chart, 1);
    left->addLayout(result, 1);
    residual = new QLabel(measured);
    residual->setWordWrap(true);
    left->addWidget(residual);
    use = new QPushButton(QStringLiteral("Use these values"), measured);
    use->setEnabled(false);
    left->addWidget(use);
    layout->addWidget(measured, 3);

    auto* series = new QGroupBox(QStringLiteral("Series-capacitor method"), this);
    auto* seriesRow = new QHBoxLayout(series);
    auto* right = new QVBoxLayout;
    auto* sform = new QFormLayout;
    seriesFs = new QLineEdit(series);
    seriesShifted = new QLineEdit(series);
    seriesCs = new QLineEdit(series);
    seriesC0 = new QLineEdit(series);
    sform->addRow(QStringLiteral("Series resonance fs, Hz"), seriesFs);
    sform->addRow(QStringLiteral("With Cs in series, Hz"), seriesShifted);
    sform->addRow(QStringLiteral("Cs, pF"), seriesCs);
    sform->addRow(QStringLiteral("C0, pF"), seriesC0);
    seriesRow->addLayout(sform, 1);
    seriesRow->addLayout(right);
    seriesCompute = new QPushButton(QStringLiteral("Compute Lm and Cm"), series);
    right->addWidget(seriesCompute);
    seriesValues = new QLabel(series);
    seriesValues->setTextInteractionFlags(Qt::TextSelectableByMouse);
    right->addWidget(seriesValues);
    seriesUse = new QPushButton(QStringLiteral("Use these values"), series);
    seriesUse->setEnabled(false);
    right->addWidget(seriesUse);
    right->addStretch(1);
    layout->addWidget(series);

    connect(open, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Crystal measurement"), QString(),
                                                          kTouchstoneFilter);
        if (!path.isEmpty())
            loadFile(path);
    });
    connect(use, &QPushButton::clicked, this, [this] {
        if (fit && onUse)
            onUse(crystalFieldTexts(*fit));
    });
    connect(seriesCompute, &QPushButton::clicked, this, [this] { computeSeriesMethod(); });
    connect(seriesUse, &QPushButton::clicked, this, [this] {
        if (!seriesFit || !onUse)
            return;
        // This method gives no Q: step 1's Q field keeps what it holds.
        CrystalFields fields = crystalFieldTexts(number(seriesFs), seriesFit->lmH, 1, number(seriesC0) * 1e-12);
        fields.erase(design::Field::CrystalQ);
        onUse(fields);
    });
}

void MeasureWindow::loadFile(const QString& path)
{
    guarded(this, [&] {
        const double r = number(portR);
        const Network network = readTouchstoneFile(path.toStdString());
        const CrystalFit f = fitMeasuredCrystal(network, r);
        fit = f;
        values->setText(text(fitValuesText(f, QFileInfo(path).fileName().toStdString())));
        residual->setText(text(fitResidualText(f)));
        const FitCurves curves = fitCurves(network, f, r);
        const Curve meas{QStringLiteral("measured"), curves.mhz, curves.measuredDb};
        const Curve model{QStringLiteral("fitted"), curves.mhz, curves.fittedDb};
        showCurves(chart, {meas, model});
        use->setEnabled(true);
    });
}

void MeasureWindow::computeSeriesMethod()
{
    guarded(this, [&] {
        const MotionalValues m = motionalFromLoadShift(number(seriesFs), number(seriesShifted),
                                                       number(seriesCs) * 1e-12, number(seriesC0) * 1e-12);
        seriesFit = m;
        seriesValues->setText(text(motionalValuesText(m)));
        seriesUse->setEnabled(true);
    });
}

MatchedSetWindow::MatchedSetWindow(DesignState& state) : s(state)
{
    setWindowTitle(QStringLiteral("Matched crystal set"));
    auto* layout = new QVBoxLayout(this);
    auto* loading = new QHBoxLayout;
    load = new QPushButton(QStringLiteral("Load list (name,fs_hz)..."), this);
    add = new QPushButton(QStringLiteral("Add measurements..."), this);
    portR = new QLineEdit(QString::number(kDefaultPortR), this);
    portR->setMaximumWidth(60);
    loading->addWidget(load);
    loading->addWidget(add);
    loading->addWidget(new QLabel(QStringLiteral("port R, ohm"), this));
    loading->addWidget(portR);
    loading->addStretch(1);
    layout->addLayout(loading);

    table = new QTableWidget(0, 3, this);
    table->setHorizontalHeaderLabels({QStringLiteral("Crystal"), QStringLiteral("fs, Hz"), QStringLiteral("fs - F, Hz")});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(table, 1);

    auto* picking = new QHBoxLayout;
    count = new QSpinBox(this);
    count->setRange(1, kMeshes);
    count->setValue(std::clamp(s.crystalCount, 1, kMeshes));
    pick = new QPushButton(QStringLiteral("Tick the N closest"), this);
    useSet = new QPushButton(QStringLiteral("Use the ticked set"), this);
    clear = new QPushButton(QStringLiteral("No set"), this);
    picking->addWidget(new QLabel(QStringLiteral("N"), this));
    picking->addWidget(count);
    picking->addWidget(pick);
    picking->addStretch(1);
    picking->addWidget(useSet);
    picking->addWidget(clear);
    layout->addLayout(picking);
    status = new QLabel(this);
    status->setWordWrap(true);
    layout->addWidget(status);
    resize(520, 420);

    connect(load, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Crystal list"), QString(),
                                                          QStringLiteral("Crystal list (*.csv *.txt);;All files (*)"));
        if (!path.isEmpty())
            loadList(path);
    });
    connect(add, &QPushButton::clicked, this, [this] {
        const QStringList paths = QFileDialog::getOpenFileNames(this, QStringLiteral("Crystal measurements"), QString(),
                                                                kTouchstoneFilter);
        if (!paths.isEmpty())
            addMeasurements(paths);
    });
    connect(pick, &QPushButton::clicked, this, [this] { pickClosest(); });
    connect(useSet, &QPushButton::clicked, this, [this] { useTicked(); });
    connect(clear, &QPushButton::clicked, this, [this] { clearSet(); });
    showStatus();
}

void MatchedSetWindow::loadList(const QString& path)
{
    guarded(this, [&] {
        crystals = sortedByFs(readCrystalListFile(path.toStdString()));
        showCrystals({});
    });
}

void MatchedSetWindow::addMeasurements(const QStringList& paths)
{
    guarded(this, [&] {
        const double r = readNumber(portR->text().toStdString());
        // The whole batch is fitted before any of it is listed.
        std::vector<std::string> files;
        for (const QString& path : paths)
            files.push_back(path.toStdString());
        crystals = joinCrystals(crystals, measuredCrystalFiles(files, r));
        showCrystals({});
    });
}

void MatchedSetWindow::pickClosest()
{
    guarded(this, [&] {
        std::vector<std::string> names;
        for (const SetMember& m : pickMatchedSet(crystals, count->value(), s.fhz).members)
            names.push_back(m.name);
        showCrystals(names);
    });
}

void MatchedSetWindow::useTicked()
{
    std::vector<MeasuredCrystal> ticked;
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 0)->checkState() == Qt::Checked)
            ticked.push_back(crystals[static_cast<std::size_t>(row)]);
    s.setFsHz.clear();
    s.setNames.clear();
    for (const SetMember& m : makeSet(ticked, s.fhz).members) {
        s.setFsHz.push_back(m.fsHz);
        s.setNames.push_back(m.name);
    }
    showStatus();
    if (onSetChanged)
        onSetChanged();
}

void MatchedSetWindow::clearSet()
{
    s.setFsHz.clear();
    s.setNames.clear();
    showStatus();
    if (onSetChanged)
        onSetChanged();
}

void MatchedSetWindow::showCrystals(const std::vector<std::string>& ticked)
{
    table->setRowCount(static_cast<int>(crystals.size()));
    for (std::size_t i = 0; i < crystals.size(); ++i) {
        const auto cells = crystalRow(crystals[i], s.fhz);
        auto* name = new QTableWidgetItem(text(cells[0]));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const bool on = std::find(ticked.begin(), ticked.end(), crystals[i].name) != ticked.end();
        name->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        const int row = static_cast<int>(i);
        table->setItem(row, 0, name);
        table->setItem(row, 1, new QTableWidgetItem(text(cells[1])));
        table->setItem(row, 2, new QTableWidgetItem(text(cells[2])));
    }
}

void MatchedSetWindow::showStatus()
{
    const std::string reference = s.referenceMesh > 0 && static_cast<int>(s.setFsHz.size()) == s.crystalCount
                                      ? setCrystalName(s, s.referenceMesh)
                                      : std::string();
    status->setText(text(setStatusText(s.setFsHz, s.crystalCount, s.referenceMesh, reference)));
}
