#pragma once
// The Fit to Measurement window: the values that may move as a table of tick boxes, Fit and
// Cancel with a progress bar, the results with their uncertainties and flags, the residual
// before and after, Apply, Revert and Clear Fit. The fit runs on a thread of its own; its
// response goes on the main plot in teal until cleared.

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "analyser/core/analyser.h"
#include "analyser/core/fit_session.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

class FitWindow : public QWidget {
    Q_OBJECT
public:
    explicit FitWindow(Analyser& analyser, QWidget* parent = nullptr);
    ~FitWindow() override;

    // Redraws the main plot; shows its own errors.
    std::function<void()> replot;
    // Runs a change of the circuit as a main-window command (Apply, Revert).
    std::function<void(const std::function<void()>&)> command;
    // Shows a refusal; a warning box unless a test answers it.
    std::function<void(const std::string&)> showMessage;

    // After every main-window command: a circuit with other parts gets a new table.
    void circuitMayHaveChanged();

    void fitClicked();
    void cancelClicked();
    void applyClicked();
    void revertClicked();
    void clearFitClicked();

    bool running() const { return runner_.running(); }
    const fitting::Session& session() const { return session_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillFreeTable();
    void finished(int generation, fit::Result r);
    void refused(int generation, const std::string& message);
    void setRunning(bool on);

    Analyser& analyser_;
    QTableWidget* free_;
    QPushButton* fit_;
    QPushButton* cancel_;
    QPushButton* apply_;
    QPushButton* revert_;
    QPushButton* clear_;
    QProgressBar* progress_;
    QLabel* status_;
    QTableWidget* results_;
    QLabel* residual_;

    std::vector<fitting::FreeRow> rows_;
    Circuit tableCircuit_;  // the circuit the free table lists
    Circuit fitCircuit_;    // the circuit of the fit in progress or last finished
    int generation_ = 0;
    fitting::Session session_;
    fitting::Runner runner_;  // last: its thread stops before the widgets go
};
