#include "analyser/app/instrument_panel.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QMenuBar>
#include <QSerialPortInfo>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "analyser/app/windows.h"
#include "analyser/core/analyser.h"
#include "common/atomic_file.h"
#include "common/version.h"
#include "desktop/window_placement.h"
#include "ladder/network.h"

namespace {

bool isNanoVna(const QSerialPortInfo& p)
{
    return p.hasVendorIdentifier() && p.vendorIdentifier() == 0x0483 && p.hasProductIdentifier() &&
           p.productIdentifier() == 0x5740;
}

}  // namespace

InstrumentPanel::InstrumentPanel(MainWindow& main, Analyser& analyser, std::function<void()> redraw,
                                 std::function<void(const std::string&)> showMessage)
    : QWidget(nullptr, Qt::Window),
      analyser_(analyser),
      redraw_(std::move(redraw)),
      showMessage_(std::move(showMessage)),
      status_(new QLabel("No instrument connected", this))
{
    setWindowTitle("Instrument");
    status_->setMinimumWidth(360);
    status_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    desktop::keepBeside(this, &main, "Sorvel", "instrument");
    addMenu(main);
    // Closing Sorvel while sweeping ends the sweep and closes the port.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { disconnectInstrument(); });
    updateActions();
}

InstrumentPanel::~InstrumentPanel() { disconnectInstrument(); }

void InstrumentPanel::addMenu(MainWindow& main)
{
    QMenu* menu = main.menuBar()->addMenu("&Instrument");
    auto add = [&](const QString& text, auto slot) {
        QAction* a = menu->addAction(text);
        QObject::connect(a, &QAction::triggered, this, slot);
        QString key = text;
        actions_[key.remove('&').remove("...")] = a;
        return a;
    };
    add("&Connect...", [this] { showConnectDialog(); });
    menu->addSeparator();
    add("&Single Sweep", [this] { singleSweep(); });
    QAction* continuous = add("C&ontinuous", [this](bool on) { setContinuous(on); });
    continuous->setCheckable(true);
    add("&Averaging...", [this] {
        bool ok = false;
        const int n = QInputDialog::getInt(this, "Averaging", "Sweeps averaged (1 to 16):", average_,
                                           plan::kMinAverage, plan::kMaxAverage, 1, &ok);
        if (ok)
            setAveraging(n);
    });
    add("&Points...", [this] {
        bool ok = false;
        const int n = QInputDialog::getInt(this, "Points", "Points a sweep (11 to 10001):", points_,
                                           plan::kMinPoints, plan::kMaxPoints, 10, &ok);
        if (ok)
            setPoints(n);
    });
    menu->addSeparator();
    add("&Disconnect", [this] { disconnectInstrument(); });
    add("Save &Measurement As...", [this] {
        std::optional<std::string> path;
        if (chooseSaveFile) {
            path = chooseSaveFile();
        } else {
            const QString name = QFileDialog::getSaveFileName(this, "Save Measurement As", {},
                                                              "Touchstone (*.s2p)");
            if (!name.isEmpty())
                path = name.toStdString();
        }
        if (!path)
            return;
        try {
            saveMeasurement(*path);
        } catch (const AppError& e) {
            showMessage_(e.what());
        }
    });
}

QAction* InstrumentPanel::action(const QString& name) const
{
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void InstrumentPanel::showConnectDialog()
{
    QDialog dialog(this);
    dialog.setWindowTitle("Connect to an instrument");
    auto* form = new QFormLayout(&dialog);
    auto* kind = new QComboBox(&dialog);
    kind->addItems({"NanoVNA (serial port)", "LibreVNA (its program's SCPI server)"});
    auto* where = new QComboBox(&dialog);
    where->setEditable(true);
    auto ports = QSerialPortInfo::availablePorts();
    std::stable_sort(ports.begin(), ports.end(),
                     [](const QSerialPortInfo& a, const QSerialPortInfo& b) { return isNanoVna(a) && !isNanoVna(b); });
    for (const QSerialPortInfo& p : ports) {
        QString text = p.systemLocation();
        if (p.hasVendorIdentifier())
            text += QString("  [%1:%2]").arg(p.vendorIdentifier(), 4, 16, QChar('0')).arg(p.productIdentifier(), 4, 16, QChar('0'));
        if (!p.description().isEmpty())
            text += "  " + p.description();
        where->addItem(text, p.systemLocation());
    }
    auto* segment = new QSpinBox(&dialog);
    segment->setRange(plan::kMinSegment, plan::kMaxSegment);
    segment->setValue(segment_);
    auto* timeout = new QSpinBox(&dialog);
    timeout->setRange(1, 600);
    timeout->setValue(5);
    timeout->setSuffix(" s");
    form->addRow("Instrument:", kind);
    form->addRow("Port, or host[:port]:", where);
    form->addRow("Points a segment:", segment);
    form->addRow("Reply time-out:", timeout);
    QObject::connect(kind, &QComboBox::currentIndexChanged, &dialog, [where](int i) {
        if (i == 1)
            where->setEditText("localhost:19542");
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // The instrument of the last connection, offered again.
    QSettings settings("ladderbench", "Sorvel");
    kind->setCurrentIndex(settings.value("instrument/kind", 0).toInt() == 1 ? 1 : 0);
    if (const QString last = settings.value("instrument/address").toString(); !last.isEmpty())
        where->setEditText(last);
    where->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A listed port gives its path; a typed one (a pseudo-terminal) is the path itself.
    QString text = where->currentText().trimmed();
    const int listed = where->findText(text);
    if (listed >= 0)
        text = where->itemData(listed).toString();
    if (text.isEmpty()) {
        showMessage_("Give the instrument's port, or its host for a LibreVNA");
        return;
    }
    InstrumentAddress address;
    if (kind->currentIndex() == 1) {
        const auto a = libreAddress(text);
        if (!a) {
            showMessage_("'" + text.toStdString() + "' is not HOST or HOST:PORT");
            return;
        }
        address = *a;
    } else {
        address.port = text.section(' ', 0, 0);
    }
    settings.setValue("instrument/kind", kind->currentIndex());
    settings.setValue("instrument/address", text);
    connectTo(address, segment->value(), timeout->value() * 1000);
}

void InstrumentPanel::connectTo(const InstrumentAddress& address, int segment, int timeoutMs,
                                const ProtocolOptions& options)
{
    disconnectInstrument();
    segment_ = segment;
    sweeps_ = 0;
    link_ = std::make_unique<InstrumentLink>(address, options);
    link_->setTimeoutMs(timeoutMs);
    link_->onOpened = [this](const QString& identity) {
        identity_ = identity.toStdString();
        setStatus("Connected: " + identity);
        if (continuous_)
            startSweep();
    };
    link_->onSweep = [this](const SweepData& d) { finished(d); };
    link_->onFailed = [this](const QString& m) { failed(m); };
    setStatus("Connecting to " + link_->name() + "...");
    show();
    link_->open();
    updateActions();
}

void InstrumentPanel::disconnectInstrument()
{
    if (!link_)
        return;
    link_->close();
    link_.reset();
    setStatus("No instrument connected");
    updateActions();
}

void InstrumentPanel::singleSweep() { startSweep(); }

void InstrumentPanel::setContinuous(bool on)
{
    continuous_ = on;
    if (QAction* a = action("Continuous"))
        a->setChecked(on);
    if (on)
        startSweep();
}

void InstrumentPanel::startSweep()
{
    if (!link_ || link_->busy() || !link_->isOpen())
        return;
    // The plot's range as it is now, absolute for a crystal circuit; no instrument goes below 1 kHz.
    const Circuit& c = analyser_.circuit;
    const double start = std::max(absoluteHz(c, c.startfreq), plan::kLowestHz);
    const double stop = absoluteHz(c, c.stopfreq);
    try {
        const FrequencyPlan plan = planSweep(start, stop, points_, segment_);
        sweepClock_.start();
        link_->sweep(plan, average_);
        updateActions();
    } catch (const AppError& e) {
        setContinuous(false);
        showMessage_(link_->name().toStdString() + ": " + e.what());
    }
}

void InstrumentPanel::finished(const SweepData& data)
{
    lastSeconds_ = sweepClock_.nsecsElapsed() / 1e9;
    ++sweeps_;
    last_ = data;
    analyser_.measurement = sweepNetwork(data);
    analyser_.measurementFile = link_->name().toStdString();
    redraw_();
    setStatus(QString("Connected: %1\nSweep %2 of %3 points, %4 s")
                  .arg(QString::fromStdString(identity_))
                  .arg(sweeps_)
                  .arg(data.size())
                  .arg(lastSeconds_, 0, 'f', 3));
    updateActions();
    if (continuous_)
        QTimer::singleShot(0, this, [this] {
            if (continuous_)
                startSweep();
        });
}

void InstrumentPanel::failed(const QString& message)
{
    // The last good measurement stays; Connect works again. The link is inside its own
    // report here: it goes once that has returned.
    link_.release()->deleteLater();
    setContinuous(false);
    setStatus("Stopped: " + message);
    updateActions();
    showMessage_(message.toStdString());
}

void InstrumentPanel::saveMeasurement(const std::string& path)
{
    if (!last_)
        throw AppError("No sweep has finished yet");
    writeFileAtomically(path, sweepTouchstoneRI(*last_, {"Instrument: " + identity_,
                                                         "Written by Sorvel " + std::string(LADDER_VERSION)}));
}

void InstrumentPanel::setStatus(const QString& text) { status_->setText(text); }

void InstrumentPanel::updateActions()
{
    const bool open = link_ && link_->isOpen();
    for (const char* name : {"Single Sweep", "Continuous", "Disconnect"})
        if (QAction* a = action(name))
            a->setEnabled(open || (QString(name) == "Continuous" && continuous_));
    if (QAction* a = action("Save Measurement As"))
        a->setEnabled(last_.has_value());
}
