#pragma once
// Small response plots for Mirabo's new windows: a chart with value axes and named curves.

#include <vector>

#include <QString>

class QChartView;
class QWidget;

struct Curve {
    QString name;
    std::vector<double> x, y;
};

QChartView* makeChartView(QWidget* parent, const QString& xTitle, const QString& yTitle);

// Replaces the chart's curves; the axes span the data, the level axis at most `floorDb` down.
void showCurves(QChartView* view, const std::vector<Curve>& curves, double floorDb = -120);
