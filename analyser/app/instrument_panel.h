#pragma once
// The Instrument menu and its small status window: Sorvel driving a network analyser, each
// finished sweep becoming the measurement drawn over the circuit's response. The
// instrument's input and output run on Qt's asynchronous signals, never blocking a handler.

#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "analyser/instrument/link/instrument_link.h"

class Analyser;
class MainWindow;
class QAction;

class InstrumentPanel : public QWidget {
    Q_OBJECT
public:
    // redraw: plots again with the analyser's new measurement; showMessage: a fault.
    InstrumentPanel(MainWindow& main, Analyser& analyser, std::function<void()> redraw,
                    std::function<void(const std::string&)> showMessage);
    ~InstrumentPanel() override;

    // What Connect... does once its dialog is answered.
    void connectTo(const InstrumentAddress& address, int segment = plan::kDefaultSegment, int timeoutMs = 5000,
                   const ProtocolOptions& options = {});
    void disconnectInstrument();
    void singleSweep();
    void setContinuous(bool on);
    void setAveraging(int sweeps) { average_ = sweeps; }
    void setPoints(int points) { points_ = points; }
    // Writes the last finished sweep as a Touchstone file, atomically.
    void saveMeasurement(const std::string& path);

    bool connected() const { return link_ && link_->isOpen(); }
    bool sweeping() const { return link_ && link_->busy(); }
    int sweepCount() const { return sweeps_; }
    QString status() const { return status_->text(); }
    const std::optional<SweepData>& lastSweep() const { return last_; }

    QAction* action(const QString& name) const;  // by its menu text without "&" and "..."
    // The file Save Measurement As... writes; a dialog unless a test answers.
    std::function<std::optional<std::string>()> chooseSaveFile;

private:
    void addMenu(MainWindow& main);
    void showConnectDialog();
    void startSweep();
    void finished(const SweepData& data);
    void failed(const QString& message);
    void setStatus(const QString& text);
    void updateActions();

    Analyser& analyser_;
    std::function<void()> redraw_;
    std::function<void(const std::string&)> showMessage_;
    std::unique_ptr<InstrumentLink> link_;
    QLabel* status_;
    std::map<QString, QAction*> actions_;
    int segment_ = plan::kDefaultSegment, points_ = plan::kDefaultPoints, average_ = 1;
    bool continuous_ = false;
    int sweeps_ = 0;
    QElapsedTimer sweepClock_;
    double lastSeconds_ = 0;
    std::optional<SweepData> last_;
    std::string identity_;
};
