#pragma once
// The measured traces' legend: a row in the blue strip above the computed traces' legend,
// each name beside a short line in its trace's colour, lined up with the row below.

#include <QWidget>

class MeasurementLegend : public QWidget {
    Q_OBJECT
public:
    static constexpr int kX = 60, kY = 1, kWidth = 242, kHeight = 14;

    explicit MeasurementLegend(QWidget* parent);

    // Hidden when neither is shown.
    void setTraces(bool s21, bool s11);
    bool showsS21() const { return s21_; }
    bool showsS11() const { return s11_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool s21_ = false, s11_ = false;
};
