#pragma once
// The Response window's time plot: the step response (a low-pass) or the carrier's envelope
// (a band-pass) against time, its final value, and its four readouts beneath.

#include <QSizeF>
#include <QWidget>
#include <vector>

struct StepView;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QValueAxis;

class StepChart : public QWidget {
    Q_OBJECT
public:
    explicit StepChart(QWidget* parent = nullptr);

    void show(const StepView& view);

    QLineSeries* curve() const { return curve_; }
    QValueAxis* timeAxis() const { return xAxis_; }
    QValueAxis* valueAxis() const { return yAxis_; }
    QLabel* readouts() const { return readouts_; }

private:
    void showCurve();

    QChart* chart_;
    QChartView* view_;
    QLineSeries* curve_;
    QLineSeries* final_;
    QValueAxis* xAxis_;
    QValueAxis* yAxis_;
    QLabel* readouts_;
    std::vector<double> x_, y_;
    QSizeF thinnedFor_;
};
