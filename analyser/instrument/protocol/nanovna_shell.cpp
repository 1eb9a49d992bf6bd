#include "analyser/instrument/protocol/nanovna_shell.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "common/numtext.h"

namespace nanovna {

namespace {

// A reply quoted in a message: printable, and short.
std::string quoted(std::string_view text)
{
    std::string q;
    for (char c : text.substr(0, 60)) {
        if (c == '\r' || c == '\n')
            q += ' ';
        else if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
            q += '?';
        else
            q += c;
    }
    while (!q.empty() && q.back() == ' ')
        q.pop_back();
    return "'" + q + (text.size() > 60 ? "...'" : "'");
}

std::optional<double> number(std::string_view t)
{
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool printable(std::string_view t)
{
    for (char c : t)
        if (!(c == '\r' || c == '\n' || c == '\t' || (c >= 32 && c < 127)))
            return false;
    return true;
}

void checkFrequency(double got, const FrequencyPlan& plan, int index)
{
    const double asked = static_cast<double>(plan.hz[index]);
    if (std::abs(got - asked) > plan.toleranceHz)
        throw InstrumentFault("point " + std::to_string(index + 1) + " came at " + generalText(got, 12) +
                              " Hz, not at the " + generalText(asked, 12) + " Hz asked");
}

}  // namespace

std::optional<std::size_t> echoEnd(std::string_view buffer, std::string_view command, bool lenient)
{
    std::size_t at = 0;
    if (lenient) {
        // The last complete echo line: leftovers of an earlier exchange come before it.
        for (std::size_t from = 0;;) {
            const std::size_t p = buffer.find(command, from);
            if (p == std::string_view::npos)
                return std::nullopt;
            std::size_t e = p + command.size();
            while (e < buffer.size() && buffer[e] == '\r')
                ++e;
            if (e < buffer.size() && buffer[e] == '\n')
                return e + 1;
            if (e >= buffer.size())
                return std::nullopt;
            from = p + 1;
        }
    }
    const std::size_t n = std::min(buffer.size(), command.size());
    if (buffer.substr(0, n) != command.substr(0, n))
        throw InstrumentFault("the echo of '" + std::string(command) + "' was " + quoted(buffer));
    at = command.size();
    while (at < buffer.size() && buffer[at] == '\r')
        ++at;
    if (at >= buffer.size())
        return std::nullopt;
    if (buffer[at] != '\n')
        throw InstrumentFault("the echo of '" + std::string(command) + "' was " + quoted(buffer));
    return at + 1;
}

std::optional<std::string> takeTextReply(std::string& buffer, std::string_view command, bool lenient)
{
    const auto start = echoEnd(buffer, command, lenient);
    if (!start)
        return std::nullopt;
    for (std::size_t from = *start;;) {
        const std::size_t p = buffer.find(kPrompt, from);
        if (p == std::string::npos)
            return std::nullopt;
        if (p == *start || buffer[p - 1] == '\n') {
            std::string body = buffer.substr(*start, p - *start);
            const std::size_t end = p + kPrompt.size();
            if (end < buffer.size())
                throw InstrumentFault("bytes after the prompt: " + quoted(std::string_view(buffer).substr(end)));
            buffer.clear();
            return body;
        }
        from = p + 1;
    }
}

std::vector<std::string> replyLines(std::string_view body)
{
    std::vector<std::string> lines;
    while (!body.empty()) {
        const std::size_t nl = body.find('\n');
        std::string_view line = body.substr(0, nl);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            lines.emplace_back(line);
        if (nl == std::string_view::npos)
            break;
        body.remove_prefix(nl + 1);
    }
    return lines;
}

bool helpLists(std::string_view helpReply, std::string_view command)
{
    std::size_t i = 0;
    while (i < helpReply.size()) {
        while (i < helpReply.size() && std::strchr(" \t\r\n,", helpReply[i]))
            ++i;
        std::size_t j = i;
        while (j < helpReply.size() && !std::strchr(" \t\r\n,", helpReply[j]))
            ++j;
        if (helpReply.substr(i, j - i) == command)
            return true;
        i = j;
    }
    return false;
}

std::string scanCommand(const Segment& s, bool binary)
{
    return std::string(binary ? "scan_bin " : "scan ") + std::to_string(s.startHz) + " " +
           std::to_string(s.stopHz) + " " + std::to_string(s.count) + " " +
           std::to_string(kScanMask | (binary ? kBinaryFlag : 0));
}

SweepData parseScanText(std::string_view body, const FrequencyPlan& plan, const Segment& s)
{
    const auto lines = replyLines(body);
    SweepData points;
    for (const std::string& line : lines) {
        double v[5];
        int n = 0;
        std::string_view rest = line;
        while (!rest.empty()) {
            const std::size_t b = rest.find_first_not_of(" \t");
            if (b == std::string_view::npos)
                break;
            rest.remove_prefix(b);
            const std::size_t e = std::min(rest.find_first_of(" \t"), rest.size());
            const auto x = number(rest.substr(0, e));
            if (!x || n == 5)
                throw InstrumentFault("unexpected reply to 'scan': " + quoted(line));
            v[n++] = *x;
            rest.remove_prefix(e);
        }
        if (n != 5)
            throw InstrumentFault("unexpected reply to 'scan': " + quoted(line));
        if (points.size() < static_cast<std::size_t>(s.count))
            checkFrequency(v[0], plan, s.first + static_cast<int>(points.size()));
        points.push_back({v[0], {v[1], v[2]}, {v[3], v[4]}});
    }
    if (points.size() != static_cast<std::size_t>(s.count))
        throw InstrumentFault(std::to_string(points.size()) + " points in the reply to 'scan', not the " +
                              std::to_string(s.count) + " asked");
    return points;
}

std::optional<SweepData> takeBinaryScan(std::string& buffer, std::string_view command, const FrequencyPlan& plan,
                                        const Segment& s)
{
    const auto start = echoEnd(buffer, command, false);
    if (!start)
        return std::nullopt;
    const std::string_view reply = std::string_view(buffer).substr(*start);
    auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(reply[at]) |
                                     static_cast<unsigned char>(reply[at + 1]) << 8);
    };
    const unsigned mask = kScanMask | kBinaryFlag;
    if (reply.size() >= 1 && static_cast<unsigned char>(reply[0]) != (mask & 0xff)) {
        // A text answer ("scan_bin?", an error line) in place of the data: quoted once whole.
        if (!printable(reply))
            throw InstrumentFault("unexpected reply to 'scan_bin': " + quoted(reply));
        const std::size_t p = reply.find(kPrompt);
        if (p == std::string_view::npos)
            return std::nullopt;
        throw InstrumentFault("unexpected reply to 'scan_bin': " + quoted(reply.substr(0, p)));
    }
    if (reply.size() < 4)
        return std::nullopt;
    if (u16(0) != mask)
        throw InstrumentFault("the reply to 'scan_bin' has mask " + std::to_string(u16(0)) + ", not " +
                              std::to_string(mask));
    if (u16(2) != static_cast<unsigned>(s.count))
        throw InstrumentFault(std::to_string(u16(2)) + " points in the reply to 'scan_bin', not the " +
                              std::to_string(s.count) + " asked");
    const std::size_t data = 4 + static_cast<std::size_t>(s.count) * kBinaryPointBytes;
    if (reply.size() < data + kPrompt.size())
        return std::nullopt;
    if (reply.substr(data, kPrompt.size()) != kPrompt)
        throw InstrumentFault("the reply to 'scan_bin' does not end in the prompt: " +
                              quoted(reply.substr(data)));
    if (reply.size() > data + kPrompt.size())
        throw InstrumentFault("bytes after the prompt: " + quoted(reply.substr(data + kPrompt.size())));

    SweepData points;
    points.reserve(s.count);
    for (int i = 0; i < s.count; ++i) {
        const char* p = reply.data() + 4 + static_cast<std::size_t>(i) * kBinaryPointBytes;
        std::uint32_t f = 0;
        float v[4];
        // Little-endian on the wire, as on every machine this runs on.
        std::memcpy(&f, p, 4);
        std::memcpy(v, p + 4, 16);
        for (float x : v)
            if (!std::isfinite(x))
                throw InstrumentFault("a value in the reply to 'scan_bin' that is not a number");
        checkFrequency(f, plan, s.first + i);
        points.push_back({static_cast<double>(f), {v[0], v[1]}, {v[2], v[3]}});
    }
    buffer.clear();
    return points;
}

}  // namespace nanovna
