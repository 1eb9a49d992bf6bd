#pragma once
// The Response window: a top-level window beside the main one showing, after each plot,
// the readouts of the computed response and of the measurement side by side, the group
// delay over the plot's range (Qt Charts) or the step response, and the values at the cursor. Copy puts the
// readouts on the clipboard as text.

#include <QSizeF>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "analyser/core/response_report.h"

class QChart;
class QTabWidget;
class StepChart;
struct StepView;
class QChartView;
class QLabel;
class QLineSeries;
class QTableWidget;
class QValueAxis;

class ResponseWindow : public QWidget {
    Q_OBJECT
public:
    ResponseWindow();

    void showReport(const ResponseReport& report);
    // The numbers could not be had (the engine failed somewhere the plot did not go).
    void showError(const std::string& message);
    // The circuit in memory is not the one plotted: its readouts are not shown until it is.
    void showNotPlotted(const std::string& file);

    QString reportText() const;
    void copyToClipboard() const;

    QTableWidget* readouts() const { return table_; }
    QLineSeries* computedDelay() const { return computed_; }
    QLineSeries* measuredDelay() const { return measured_; }
    QValueAxis* delayAxis() const { return yAxis_; }
    QLabel* cursorReadout() const { return cursor_; }
    QLabel* status() const { return status_; }

    // The time plot, in a tab beside the delay plot; its step is worked out only while it shows.
    StepChart* stepChart() const { return step_; }
    QTabWidget* plotTabs() const { return tabs_; }
    bool stepShown() const;
    void showStep(const StepView& view);
    // Told when the time plot comes into view, so that its step can be made.
    std::function<void()> onStepWanted;

    // Told when the user opens or closes the window, so it can be reopened next time.
    std::function<void(bool open)> onOpenChanged;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The delay curves as the series hold them: only the points that show at the chart's size.
    void showCurves();

    QTableWidget* table_;
    QChart* chart_;
    QChartView* chartView_;
    QLineSeries* computed_;
    QLineSeries* measured_;
    QValueAxis* xAxis_;
    QValueAxis* yAxis_;
    QLabel* cursor_;
    QLabel* status_;
    QTabWidget* tabs_;
    StepChart* step_;
    std::optional<ResponseReport> shown_;  // its text is made only when asked for
    // The whole curves in axis units, and the plot area they were last thinned for.
    std::vector<double> computedX_, computedY_, measuredX_, measuredY_;
    QSizeF thinnedFor_;
    int tableWidth_ = 0;
};
