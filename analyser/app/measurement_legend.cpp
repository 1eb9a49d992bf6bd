#include "analyser/app/measurement_legend.h"

#include <QPainter>

#include "analyser/core/window_port.h"

namespace {

QColor qcolor(Color c) { return QColor(c.r, c.g, c.b); }

}  // namespace

MeasurementLegend::MeasurementLegend(QWidget* parent) : QWidget(parent)
{
    setObjectName("measurementLegend");
    setGeometry(kX, kY, kWidth, kHeight);
    // Clicks go to the surface beneath, where a click plots.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void MeasurementLegend::setTraces(bool s21, bool s11)
{
    if (s21 == s21_ && s11 == s11_)
        return;
    s21_ = s21;
    s11_ = s11;
    setVisible(s21 || s11);
    update();
}

void MeasurementLegend::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    // Each line lies over the computed trace's (x 130..170 and 260..300 of the window),
    // its name ending just before it.
    auto entry = [&](int lineX, const char* name, Color colour) {
        const int x = lineX - kX;
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(x - 66, 0, 62, kHeight), Qt::AlignRight | Qt::AlignVCenter, name);
        p.setPen(qcolor(colour));
        p.drawLine(x, kHeight / 2, x + 40, kHeight / 2);
    };
    if (s21_)
        entry(130, "Meas. S21", colors::kMeasuredS21);
    if (s11_)
        entry(260, "Meas. S11", colors::kMeasuredS11);
}
