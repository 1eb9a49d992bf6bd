#include "ladder/sweep_grid.h"

#include "common/checkedmath.h"

std::array<double, kSweepPoints> sweepFrequencies(double startfreq, double stopfreq)
{
    const double step = checked::finite((stopfreq - startfreq) * 0.001);
    std::array<double, kSweepPoints> freqs;
    double f = checked::finite(startfreq - step);
    for (double& point : freqs) {
        f += step;
        point = checked::finite(f);
    }
    return freqs;
}
