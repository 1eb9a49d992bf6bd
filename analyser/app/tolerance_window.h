#pragma once
// The Tolerance window: the spreads and limits, Run and Cancel, a progress bar, the
// statistics table, the yield and a histogram of the -3 dB bandwidth. The run goes on a
// thread of its own (using every core), so neither window ever waits for it; its envelope
// goes to the main plot.

#include <QSize>
#include <QWidget>
#include <functional>
#include <optional>

#include "analyser/core/analyser.h"
#include "analyser/core/tolerance_session.h"

class QAreaSeries;
class QChart;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QValueAxis;

class ToleranceWindow : public QWidget {
    Q_OBJECT
public:
    // Fits a 1366 x 768 screen with its frame; what does not fit scrolls.
    static constexpr QSize kDefaultSize{840, 680};

    explicit ToleranceWindow(Analyser& analyser, QWidget* parent = nullptr);
    ~ToleranceWindow() override;

    // Redraws the main plot (with or without the envelope); shows its own errors.
    std::function<void()> replot;
    // Shows a refusal; a warning box unless a test answers it.
    std::function<void(const std::string&)> showMessage;

    // Called after every command of the main window. A run on a circuit that is no longer
    // the one in force starts again on the new one.
    void circuitMayHaveChanged();

    void runClicked();
    void cancelClicked();
    void clearEnvelopeClicked();

    bool running() const { return runner_.running(); }
    const std::optional<tolerance::Result>& result() const { return result_; }
    int restarts() const { return restarts_; }

private:
    void startRun();
    void finished(int generation, tolerance::Result r);
    void refused(int generation, const std::string& message);
    void showResult();
    void showYield();
    void showHistogram();
    void setRunning(bool on);
    tolerance::Inputs inputs() const;

    Analyser& analyser_;
    QLineEdit* trials_;
    QComboBox* spreadKind_;
    QLineEdit* crystalHz_;
    QLineEdit* capPercent_;
    QLineEdit* indPercent_;
    QLineEdit* seed_;
    QLineEdit* bandwidthLimit_;
    QLineEdit* rippleLimit_;
    QLineEdit* lossLimit_;
    QPushButton* run_;
    QPushButton* cancel_;
    QPushButton* clearEnvelope_;
    QProgressBar* progress_;
    QLabel* status_;
    QTableWidget* table_;
    QLabel* yield_;
    QChart* chart_;
    QLineSeries* histogramLine_;
    QAreaSeries* histogramArea_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;

    // The circuit and settings of the run in progress or last finished.
    Circuit runCircuit_;
    tolerance::Settings runSettings_;
    std::optional<tolerance::Result> result_;
    int generation_ = 0;  // callbacks of any other run are stale
    int restarts_ = 0;
    tolerance::Runner runner_;  // last: its thread stops before the widgets go
};
