#include "desktop/round_ticks.h"

#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace desktop {

double roundStep(double span, int parts)
{
    span = std::abs(span);
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / std::max(parts, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * power * (1 + 1e-9))
            return m * power;
    return 10 * power;
}

int stepDecimals(double step)
{
    if (!(step > 0) || step >= 1)
        return 0;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 15);
}

void setRoundTicks(QValueAxis& axis, double min, double max, int parts)
{
    if (min > max)
        std::swap(min, max);
    const double step = roundStep(max - min, parts);
    axis.setRange(min, max);
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(std::ceil(min / step) * step);
    axis.setTickInterval(step);
    axis.setLabelFormat(QString("%.%1f").arg(stepDecimals(step)));
}

void setCountTicks(QValueAxis& axis, double largest, int parts)
{
    const double step = std::max(1.0, roundStep(std::max(largest, 1.0), parts));
    axis.setRange(0, std::max(std::ceil(std::max(largest, 1.0) / step) * step, step));
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0);
    axis.setTickInterval(step);
    axis.setLabelFormat("%.0f");
}

}  // namespace desktop
