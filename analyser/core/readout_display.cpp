#include "analyser/core/readout_display.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "common/numtext.h"

std::string readoutLabel(const std::string& quantity)
{
    static const std::map<std::string, std::string> fixed{
        {"peak_freq", "Peak frequency"},
        {"insertion_loss_db", "Insertion loss"},
        {"centre_3", "Centre (-3 dB)"},
        {"shape_60_6", "Shape factor 60/6 dB"},
        {"ripple_db", "Passband ripple"},
        {"return_loss_db", "Worst return loss"},
        {"delay_centre_s", "Group delay at centre"},
        {"delay_min_s", "Least group delay"},
        {"delay_max_s", "Most group delay"},
    };
    if (const auto it = fixed.find(quantity); it != fixed.end())
        return it->second;
    static const std::pair<const char*, const char*> banded[] = {
        {"bw_", " dB bandwidth"}, {"low_", " dB lower edge"}, {"high_", " dB upper edge"}};
    for (const auto& [prefix, words] : banded)
        if (quantity.rfind(prefix, 0) == 0)
            return "-" + quantity.substr(std::string(prefix).size()) + words;
    return quantity;
}

namespace {

// Decimals for `sig` significant digits of a number of magnitude v (at least 0).
int decimalsFor(double v, int sig)
{
    if (!(v > 0) || !std::isfinite(v))
        return sig - 1;
    return std::max(0, sig - 1 - static_cast<int>(std::floor(std::log10(v))));
}

}  // namespace

DisplayUnit displayUnit(const std::string& unit, double largest)
{
    largest = std::abs(largest);
    if (unit == "MHz" || unit == "Hz") {
        // Resolution in Hz: a crystal filter's offsets matter to a tenth of a hertz.
        const double resolution = unit == "Hz" ? 0.1 : 1;
        const double hz = largest * (unit == "MHz" ? 1e6 : 1);
        struct Step {
            const char* name;
            double hz;
        };
        static constexpr Step steps[] = {{"MHz", 1e6}, {"kHz", 1e3}, {"Hz", 1}};
        Step use = steps[2];
        for (const Step& s : steps)
            if (hz >= s.hz) {
                use = s;
                break;
            }
        const double toHz = unit == "MHz" ? 1e6 : 1;
        const int decimals = std::max(0, static_cast<int>(std::lround(std::log10(use.hz / resolution))));
        return {use.name, toHz / use.hz, decimals};
    }
    if (unit == "s") {
        const DelayScale ds = delayScale(largest);
        return {ds.unit, ds.perSecond, decimalsFor(largest * ds.perSecond, 4)};
    }
    if (unit == "dB")
        return {"dB", 1, 2};
    return {unit == "1" ? "" : unit, 1, 2};
}

std::string displayText(std::optional<double> v, const DisplayUnit& u)
{
    if (!v || !std::isfinite(*v))
        return "none";
    std::string t = fixedText(*v * u.scale, 15, u.decimals);
    if (t.find_first_not_of("-0.") == std::string::npos && t.front() == '-')
        t.erase(0, 1);  // no "-0.0"
    return t;
}

std::vector<DisplayRow> displayRows(const ResponseReport& r)
{
    std::vector<DisplayRow> out;
    for (const ReadoutRow& row : readoutRows(r)) {
        double largest = 0;
        for (const auto& v : {row.computed, row.measured})
            if (v && std::isfinite(*v))
                largest = std::max(largest, std::abs(*v));
        const DisplayUnit u = displayUnit(row.unit, largest);
        out.push_back({readoutLabel(row.quantity), displayText(row.computed, u), displayText(row.measured, u),
                       displayText(row.difference, u), u.unit});
    }
    return out;
}
