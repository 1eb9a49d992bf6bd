#include "analyser/instrument/protocol/librevna_scpi.h"

#include <charconv>
#include <cmath>

#include "common/numtext.h"

namespace librevna {

namespace {

std::string quoted(std::string_view text)
{
    std::string q;
    for (char c : text.substr(0, 60))
        q += (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) ? '?' : c;
    return "'" + q + (text.size() > 60 ? "...'" : "'");
}

}  // namespace

std::optional<std::string> takeLine(std::string& buffer)
{
    const std::size_t nl = buffer.find('\n');
    if (nl == std::string::npos)
        return std::nullopt;
    std::string line = buffer.substr(0, nl);
    buffer.erase(0, nl + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

bool isError(std::string_view line)
{
    return line.size() >= 5 && (line.substr(0, 5) == "ERROR" || line.substr(0, 5) == "error");
}

std::string segmentCommands(const Segment& s)
{
    return "VNA:FREQ:START " + std::to_string(s.startHz) + "\nVNA:FREQ:STOP " + std::to_string(s.stopHz) +
           "\nVNA:ACQ:POINTS " + std::to_string(s.count) + "\nVNA:ACQ:SINGLE TRUE\nVNA:ACQ:FIN?\n";
}

void parseTrace(std::string_view line, std::string_view trace, const FrequencyPlan& plan, const Segment& s,
                SweepData& points)
{
    const std::string what = "the reply to 'VNA:TRAC:DATA? " + std::string(trace) + "'";
    if (isError(line))
        throw InstrumentFault(what + " was " + quoted(line));
    const bool s11 = trace == "S11";
    if (points.empty())
        points.resize(s.count);
    auto malformed = [&] { return InstrumentFault(what + " is not a list of [frequency,real,imaginary]: " + quoted(line)); };
    const char* p = line.data();
    const char* const end = p + line.size();
    auto skip = [&] {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
    };
    auto expect = [&](char c) {
        skip();
        if (p >= end || *p != c)
            throw malformed();
        ++p;
    };
    auto value = [&] {
        skip();
        if (p < end && *p == '+')
            ++p;
        double v = 0;
        const auto r = std::from_chars(p, end, v);
        if (r.ec != std::errc() || !std::isfinite(v))
            throw malformed();
        p = r.ptr;
        return v;
    };
    int n = 0;
    skip();
    while (p < end) {
        expect('[');
        const double f = value();
        expect(',');
        const double re = value();
        expect(',');
        const double im = value();
        expect(']');
        if (n < s.count) {
            const double asked = static_cast<double>(plan.hz[s.first + n]);
            if (std::abs(f - asked) > plan.toleranceHz)
                throw InstrumentFault(what + ": point " + std::to_string(s.first + n + 1) + " came at " +
                                      generalText(f, 12) + " Hz, not at the " + generalText(asked, 12) +
                                      " Hz asked");
            SweepPoint& pt = points[n];
            pt.hz = f;
            (s11 ? pt.s11 : pt.s21) = {re, im};
        }
        ++n;
        skip();
        if (p < end)
            expect(',');
        skip();
    }
    if (n != s.count)
        throw InstrumentFault(what + " has " + std::to_string(n) + " points, not the " + std::to_string(s.count) +
                              " asked");
}

}  // namespace librevna
