#include "designer/core/preferred_values.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <sstream>

#include "common/file_text.h"
#include "common/numread.h"
#include "common/numtext.h"

namespace {

// One decade of each series, as printed: E6 to E24 in two digits, E48 and E96 in three.
constexpr int kE24[] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30, 33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91};
constexpr int kE96[] = {100, 102, 105, 107, 110, 113, 115, 118, 121, 124, 127, 130, 133, 137, 140, 143, 147, 150, 154,
                        158, 162, 165, 169, 174, 178, 182, 187, 191, 196, 200, 205, 210, 215, 221, 226, 232, 237, 243,
                        249, 255, 261, 267, 274, 280, 287, 294, 301, 309, 316, 324, 332, 340, 348, 357, 365, 374, 383,
                        392, 402, 412, 422, 432, 442, 453, 464, 475, 487, 499, 511, 523, 536, 549, 562, 576, 590, 604,
                        619, 634, 649, 665, 681, 698, 715, 732, 750, 768, 787, 806, 825, 845, 866, 887, 909, 931, 953,
                        976};

std::string trimmed(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\"");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\"");
    return s.substr(b, e - b + 1);
}

}  // namespace

std::vector<double> seriesValues(const std::string& name)
{
    std::vector<int> decade;  // mantissas, and the power of ten that makes them 1.0 ... 9.x
    int digits = 2;
    if (name == "E6" || name == "E12" || name == "E24") {
        const int step = name == "E6" ? 4 : name == "E12" ? 2 : 1;
        for (int i = 0; i < 24; i += step)
            decade.push_back(kE24[i]);
    } else if (name == "E48" || name == "E96") {
        digits = 3;
        for (int i = 0; i < 96; i += name == "E48" ? 2 : 1)
            decade.push_back(kE96[i]);
    } else {
        throw PartsListError("'" + name + "' is not a series: E6, E12, E24, E48 or E96");
    }
    std::vector<double> out;
    // From 1 pF (10^0) to 1 uF: each value written as its digits and a power of ten, so that
    // 2.4 and 240 are the doubles those texts read as.
    for (int power = -(digits - 1); power <= 6 - (digits - 1); ++power)
        for (int m : decade) {
            const double v = readNumber(integerText(m) + "e" + integerText(power));
            if (v <= 1e6 + 0.5)
                out.push_back(v);
        }
    return out;
}

std::vector<double> readPartsList(const std::string& text)
{
    std::vector<double> out;
    std::istringstream lines(text);
    std::string line;
    bool first = true;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string field = trimmed(line.substr(0, line.find(',')));
        if (field.empty())
            continue;
        const bool header = first && !isNumber(field);
        first = false;
        if (header)
            continue;
        if (!isNumber(field))
            throw PartsListError("line " + integerText(number) + ": '" + field + "' is not a capacitance in pF");
        const double v = readNumber(field);
        if (!(v > 0) || !std::isfinite(v))
            throw PartsListError("line " + integerText(number) + ": the capacitance must be above 0 pF");
        out.push_back(v);
    }
    if (out.empty())
        throw PartsListError("the parts list holds no capacitance");
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::vector<double> readPartsListFile(const std::string& path)
{
    return readPartsList(readFileText(path));
}

double nearestByRatio(double pf, const std::vector<double>& available)
{
    const auto above = std::lower_bound(available.begin(), available.end(), pf);
    if (above == available.begin())
        return *above;
    if (above == available.end())
        return available.back();
    const double below = *(above - 1);
    // The geometric mean of the two neighbours is where the nearer one changes.
    return pf * pf < below * *above ? below : *above;
}
