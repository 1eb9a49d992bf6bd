#pragma once
// View > Large Plot: the main plot's traces at its scale in a resizable chart with labelled
// axes, and the pointer's frequency and level beneath. It only reads; the main plot is
// never touched.

#include <QWidget>
#include <vector>

#include "analyser/core/plot_traces.h"

class QChart;
class QChartView;
class QLabel;
class QValueAxis;

class LargePlotWindow : public QWidget {
    Q_OBJECT
public:
    LargePlotWindow();

    // Shows the traces and scale; an empty list leaves an empty chart.
    void showTraces(const std::vector<PlotTrace>& traces, const PlotScale& scale);
    void showError(const std::string& message);

    QChart* chart() const { return chart_; }
    QChartView* view() const { return view_; }
    QLabel* pointer() const { return pointer_; }
    QValueAxis* xAxis() const { return xAxis_; }
    QValueAxis* yAxis() const { return yAxis_; }

    // The pointer over the chart at a position in the view's pixels.
    void pointerAt(QPoint viewPos);

private:
    QChart* chart_;
    QChartView* view_;
    QValueAxis* xAxis_;
    QValueAxis* yAxis_;
    QLabel* pointer_;
    QLabel* status_;
    PlotScale scale_;
};
