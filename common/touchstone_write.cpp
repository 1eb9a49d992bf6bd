#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "common/atomic_file.h"
#include "common/decibels.h"
#include "common/numtext.h"
#include "common/touchstone.h"

namespace {

// Exact: the shortest text that reads back as the same double.
std::string exactText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void appendExact(std::string& out, double value)
{
    out += exactText(value);
}

// Frequencies in MHz are written exactly, so that a sweep's closely spaced points come
// back as they were divided, and with at least kTouchstoneDigits significant digits shown
// (trailing zeros added), so that every reader sees the precision they carry.
void appendFrequency(std::string& out, double mhz)
{
    std::string text = exactText(mhz);
    const std::size_t exponent = std::min(text.find('e'), text.size());
    int digits = 0;
    bool leading = true;
    for (std::size_t i = 0; i < exponent; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            continue;
        leading = leading && c == '0';
        if (!leading)
            ++digits;
    }
    digits = std::max(digits, 1);  // zero itself
    if (digits < kTouchstoneDigits) {
        std::string pad(std::size_t(kTouchstoneDigits - digits), '0');
        if (text.find('.') >= exponent)
            pad.insert(pad.begin(), '.');
        text.insert(exponent, pad);
    }
    out += text;
}

void appendValue(std::string& out, double value)
{
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, kTouchstoneDigits);
    out.append(buffer, result.ptr);
}

void appendDbAngle(std::string& out, std::complex<double> s)
{
    const double magnitude = std::abs(s);
    // A level at the floor is written at angle 0.
    const double db = decibels(magnitude);
    double degrees = 0;
    if (magnitude >= kSmallestMagnitude) {
        degrees = std::atan2(s.imag(), s.real()) * (180 / std::numbers::pi);
    }
    out += ' ';
    appendValue(out, db);
    out += ' ';
    appendValue(out, degrees);
}

// A comment of the caller's stays one line whatever it holds.
std::string commentLine(const std::string& text)
{
    std::string line = "! ";
    for (char c : text)
        line += (c == '\n' || c == '\r') ? ' ' : c;
    return line + '\n';
}

void check(const Network& n)
{
    const std::size_t count = n.frequencyHz.size();
    if (n.ports != 1 && n.ports != 2)
        throw std::invalid_argument("a Touchstone network has 1 or 2 ports");
    const bool two = n.ports == 2;
    if (n.s11.size() != count || n.s21.size() != (two ? count : 0) || n.s12.size() != (two ? count : 0) ||
        n.s22.size() != (two ? count : 0))
        throw std::invalid_argument("Touchstone S-parameter vectors differ in length from the frequencies");

    if (!(n.referenceR1 > 0 && std::isfinite(n.referenceR1)) ||
        (two && !(n.referenceR2 > 0 && std::isfinite(n.referenceR2))))
        throw AppError("A Touchstone reference resistance must be a finite value above 0.");
    auto fits = [](std::complex<double> s) { return std::abs(s) <= kTouchstoneLargestMagnitude; };
    for (std::size_t i = 0; i < count; ++i) {
        if (!fits(n.s11[i]) || (two && (!fits(n.s21[i]) || !fits(n.s12[i]) || !fits(n.s22[i]))))
            throw AppError("A Touchstone S-parameter must be finite and at most 300 dB.");
    }
    if (count == 0)
        throw AppError("A Touchstone file needs at least one frequency.");
    // As the reader will see them: MHz text times 1e6.
    double before = -1;
    for (double f : n.frequencyHz) {
        const double back = f / 1e6 * 1e6;
        if (!std::isfinite(f) || f < 0 || !(back > before))
            throw AppError("Touchstone frequencies must be finite, not negative, and rise from point to point.");
        before = back;
    }
}

}  // namespace

std::string writeTouchstone(const Network& network, const WriteOptions& options)
{
    check(network);
    const bool two = network.ports == 2;
    const bool version2 = two && network.referenceR1 != network.referenceR2;
    const std::size_t count = network.frequencyHz.size();

    std::string out;
    out.reserve(200 + count * (two ? 150 : 50));
    for (const auto& c : options.comments)
        out += commentLine(c);
    if (version2)
        out += "[Version] 2.0\n";
    out += "# MHz S DB R ";
    appendExact(out, network.referenceR1);
    out += '\n';
    if (version2) {
        out += "[Number of Ports] 2\n[Two-Port Data Order] 12_21\n[Number of Frequencies] ";
        out += integerText(static_cast<long long>(count));
        out += "\n[Reference] ";
        appendExact(out, network.referenceR1);
        out += ' ';
        appendExact(out, network.referenceR2);
        out += "\n[Network Data]\n";
        out += "! MHz S11(dB deg) S12(dB deg) S21(dB deg) S22(dB deg)\n";
    } else if (two) {
        out += "! MHz S11(dB deg) S21(dB deg) S12(dB deg) S22(dB deg)\n";
    } else {
        out += "! MHz S11(dB deg)\n";
    }

    for (std::size_t i = 0; i < count; ++i) {
        appendFrequency(out, network.frequencyHz[i] / 1e6);
        appendDbAngle(out, network.s11[i]);
        if (two) {
            // 12_21 puts S12 before S21; version 1 has them the other way round.
            appendDbAngle(out, version2 ? network.s12[i] : network.s21[i]);
            appendDbAngle(out, version2 ? network.s21[i] : network.s12[i]);
            appendDbAngle(out, network.s22[i]);
        }
        out += '\n';
    }
    if (version2)
        out += "[End]\n";
    return out;
}

void saveTouchstone(const std::string& path, const Network& network, const WriteOptions& options)
{
    writeFileAtomically(path, writeTouchstone(network, options));
}
