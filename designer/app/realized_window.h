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
    // Marks the response shown as computed for inputs that have changed since.
    void setOutOfDate(bool outOfDate);

    QTableWidget* table;
    QChartView* chart;
    QLabel* note;
    QLabel* outOfDate;  // shown above the table while the response is out of date
};
