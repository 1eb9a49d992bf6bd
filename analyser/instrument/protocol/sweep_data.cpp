#include "analyser/instrument/protocol/sweep_data.h"

#include <charconv>
#include <cmath>

Network sweepNetwork(const SweepData& data)
{
    Network n;
    n.ports = 2;
    for (const SweepPoint& p : data) {
        n.frequencyHz.push_back(p.hz);
        n.s11.push_back(p.s11);
        n.s21.push_back(p.s21);
        n.s12.emplace_back();
        n.s22.emplace_back();
    }
    return n;
}

namespace {

// Frequencies as the shortest plain decimal that reads back the same; values to 12 digits.
void append(std::string& out, double v, int digits = 0)
{
    char buf[40];
    auto r = digits ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits)
                    : std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    out.append(buf, r.ptr);
}

}  // namespace

std::string sweepTouchstoneRI(const SweepData& data, const std::vector<std::string>& comments)
{
    std::string out;
    for (const std::string& c : comments)
        out += "! " + c + "\n";
    out += "# Hz S RI R 50\n";
    for (const SweepPoint& p : data) {
        if (!std::isfinite(p.hz) || !std::isfinite(p.s11.real()) || !std::isfinite(p.s11.imag()) ||
            !std::isfinite(p.s21.real()) || !std::isfinite(p.s21.imag()))
            throw InstrumentFault("a value that is not a finite number");
        append(out, p.hz);
        for (double v : {p.s11.real(), p.s11.imag(), p.s21.real(), p.s21.imag()}) {
            out += ' ';
            append(out, v, kTouchstoneDigits);
        }
        out += " 0 0 0 0\n";
    }
    return out;
}

void SweepAverage::add(const SweepData& sweep)
{
    if (count_ == 0) {
        sum_ = sweep;
    } else {
        if (sweep.size() != sum_.size())
            throw InstrumentFault("a sweep of " + std::to_string(sweep.size()) + " points after one of " +
                                  std::to_string(sum_.size()));
        for (std::size_t i = 0; i < sweep.size(); ++i) {
            if (sweep[i].hz != sum_[i].hz)
                throw InstrumentFault("the sweeps being averaged differ in frequency");
            sum_[i].s11 += sweep[i].s11;
            sum_[i].s21 += sweep[i].s21;
        }
    }
    ++count_;
}

SweepData SweepAverage::mean() const
{
    SweepData m = sum_;
    for (SweepPoint& p : m) {
        p.s11 /= count_;
        p.s21 /= count_;
    }
    return m;
}
