#include "ladder/readouts/measured_response.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ladder/network.h"
#include "ladder/twoport.h"

namespace {

bool allZero(const std::vector<std::complex<double>>& v)
{
    return std::all_of(v.begin(), v.end(), [](std::complex<double> s) { return s == 0.0; });
}

}  // namespace

MeasuredResponse measuredResponse(const Network& n, const Circuit& m)
{
    MeasuredResponse r;
    const std::size_t count = n.frequencyHz.size();
    r.hasS21 = n.ports == 2 && n.s21.size() == count && !allZero(n.s21);
    r.hasS11 = n.s11.size() == count && !allZero(n.s11);
    r.freq.reserve(count);
    for (double hz : n.frequencyHz)
        r.freq.push_back(circuitFrequency(m, hz));
    if (r.hasS21)
        for (auto s : n.s21)
            r.s21db_.push_back(magnitudeDb(s));
    if (r.hasS11)
        for (auto s : n.s11)
            r.s11db_.push_back(magnitudeDb(s));
    if (!r.hasS21)
        return r;
    r.hasPhase = std::any_of(n.s21.begin(), n.s21.end(), [](auto s) { return s.imag() != 0; });
    if (!r.hasPhase)
        return r;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const double turn = std::arg(n.s21[i + 1] * std::conj(n.s21[i]));
        const double dw = 2 * std::numbers::pi * (n.frequencyHz[i + 1] - n.frequencyHz[i]);
        r.delayFreq.push_back(r.freq[i] + (r.freq[i + 1] - r.freq[i]) / 2);
        r.delay_.push_back(-turn / dw);
    }
    return r;
}

bool isMeasurementFile(std::string_view path)
{
    const int ports = portsFromFileName(path);
    return ports == 1 || ports == 2;
}

