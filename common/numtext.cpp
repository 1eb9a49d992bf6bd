#include "common/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A finite value as sign, significant digits and exponent: value = 0.d1d2d3... x 10^exponent.
// Zero has no digits.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// Enough digits that truncating the exact binary expansion here never changes a rounding:
// a true tie ends in zeros, anything past a 5 only pushes the value further up.
constexpr int kExactDigits = 40;

Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0.0)
        return d;
    char buf[kExactDigits + 16];
    std::snprintf(buf, sizeof buf, "%.*e", kExactDigits - 1, std::fabs(value));
    const char* e = buf;
    while (*e != 'e')
        ++e;
    d.digits.reserve(kExactDigits);
    for (const char* c = buf; c != e; ++c)
        if (*c >= '0' && *c <= '9')
            d.digits.push_back(*c);
    d.exponent = std::atoi(e + 1) + 1;
    return d;
}

void stripTrailingZeros(Decimal& d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// Keep `count` significant digits, rounding half away from zero. A count of 0 keeps
// nothing but may round up to a single 1 at the next higher place.
void roundTo(Decimal& d, int count)
{
    if (d.digits.empty())
        return;
    if (count < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    if (count >= static_cast<int>(d.digits.size())) {
        stripTrailingZeros(d);
        return;
    }
    const bool up = d.digits[count] >= '5';
    d.digits.resize(count);
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    stripTrailingZeros(d);
}

// Digit i of the rounded value (0 = first significant digit), '0' past the end.
char digitAt(const Decimal& d, int i)
{
    return (i >= 0 && i < static_cast<int>(d.digits.size())) ? d.digits[i] : '0';
}

std::string nonFinite(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

}  // namespace

std::string generalText(double value, int precision)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value);
    roundTo(d, precision);
    if (d.digits.empty())
        return "0";

    std::string out = d.negative ? "-" : "";
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent > precision || d.exponent < -3) {
        out += d.digits[0];
        if (n > 1) {
            out += '.';
            out.append(d.digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(d.exponent - 1);
        return out;
    }
    if (d.exponent <= 0) {
        out += "0.";
        out.append(-d.exponent, '0');
        out += d.digits;
        return out;
    }
    for (int i = 0; i < d.exponent; ++i)
        out += digitAt(d, i);
    if (n > d.exponent) {
        out += '.';
        out.append(d.digits, d.exponent, std::string::npos);
    }
    return out;
}

std::string fixedText(double value, int precision, int decimals)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    Decimal d = toDecimal(value);
    roundTo(d, std::min(precision, d.exponent + decimals));
    if (d.exponent > precision)
        return generalText(value, precision);

    std::string out = (d.negative && !d.digits.empty()) ? "-" : "";
    if (d.exponent <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < d.exponent; ++i)
            out += digitAt(d, i);
    }
    if (decimals > 0) {
        out += '.';
        for (int i = 0; i < decimals; ++i)
            out += digitAt(d, d.exponent + i);
    }
    return out;
}

std::string integerText(long long value)
{
    return std::to_string(value);
}

void appendG17(std::string& out, double value)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    out.append(buf, r.ptr);
}
