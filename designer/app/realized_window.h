#pragma once
// The designed filter's response on the ladder engine, next to what was asked.

#include <QWidget>

#include "designer/core/realized.h"

class QChartView;
class QLabel;
class QTableWidget;

class RealizedWindow : public QWidget {
public:
    RealizedWindow();
    void showResponse(const RealizedResponse& r);

    QTableWidget* table;
    QChartView* chart;
    QLabel* note;
};
