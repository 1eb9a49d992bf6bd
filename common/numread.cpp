#include "common/numread.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

#include "common/errors.h"

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Parses the integer grammar; false when the text does not follow it or leaves the range.
bool parseInteger(const std::string& text, std::int32_t& result)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return false;
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL)
            return false;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return false;
    result = static_cast<std::int32_t>(value);
    return true;
}

// The number grammar, checked by hand so that nothing else (hex, "inf", "nan", tabs,
// a locale's separator) slips through; the conversion itself is the C library's.
bool followsNumberGrammar(const std::string& text, std::size_t& begin, std::size_t& end)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    begin = i;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    end = i;
    while (i < n && text[i] == ' ')
        ++i;
    return i == n;
}

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

bool parseNumber(const std::string& text, double& result)
{
    std::size_t begin = 0, end = 0;
    if (!followsNumberGrammar(text, begin, end))
        return false;
    const std::string body = text.substr(begin, end - begin);
    errno = 0;
    char* stop = nullptr;
    const double value = strtod_l(body.c_str(), &stop, cLocale());
    if (stop != body.c_str() + body.size() || !std::isfinite(value))
        return false;  // beyond the range of a double
    result = value;
    return true;
}

}  // namespace

std::int32_t readInteger(const std::string& text)
{
    std::int32_t value = 0;
    if (!parseInteger(text, value))
        throw ConvertError::integer(text);
    return value;
}

double readNumber(const std::string& text)
{
    double value = 0;
    if (!parseNumber(text, value))
        throw ConvertError::floating(text);
    return value;
}

bool isInteger(const std::string& text)
{
    std::int32_t value;
    return parseInteger(text, value);
}

bool isNumber(const std::string& text)
{
    double value;
    return parseNumber(text, value);
}
