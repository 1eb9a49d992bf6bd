#include "designer/core/matched_set.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <map>
#include <sstream>

#include "common/file_text.h"
#include "common/numread.h"
#include "common/numtext.h"

namespace {

std::string trimmed(const std::string& text)
{
    const char* const blanks = " \t";
    const std::size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos)
        return {};
    std::string field = text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
    // Spreadsheets quote text fields when they save CSV.
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = trimmed(field.substr(1, field.size() - 2));
    return field;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = line.find(',', begin);
        out.push_back(trimmed(line.substr(begin, comma - begin)));
        if (comma == std::string::npos)
            return out;
        begin = comma + 1;
    }
}

[[noreturn]] void refuseLine(int line, const std::string& what)
{
    throw CrystalListError("line " + integerText(line) + ": " + what);
}

}  // namespace

std::vector<MeasuredCrystal> readCrystalList(const std::string& text)
{
    std::vector<MeasuredCrystal> crystals;
    std::map<std::string, int> lineOfName;
    bool firstContent = true;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0)  // a UTF-8 byte-order mark
            line.erase(0, 3);
        if (trimmed(line).empty())
            continue;
        const std::vector<std::string> f = fields(line);
        const bool header = firstContent && f.size() == 2 && !isNumber(f[1]);
        firstContent = false;
        if (header)
            continue;
        if (f.size() != 2)
            refuseLine(number, "expected name,fs_hz");
        if (f[0].empty())
            refuseLine(number, "the crystal has no name");
        if (!isNumber(f[1]))
            refuseLine(number, "'" + f[1] + "' is not a frequency in Hz");
        const double fs = readNumber(f[1]);
        if (!(fs > 0))
            refuseLine(number, "the frequency must be above 0 Hz");
        const auto [seen, added] = lineOfName.emplace(f[0], number);
        if (!added)
            refuseLine(number, "'" + f[0] + "' is already on line " + integerText(seen->second));
        crystals.push_back({f[0], fs});
    }
    if (crystals.empty())
        throw CrystalListError("The list holds no crystals.");
    return crystals;
}

std::vector<MeasuredCrystal> readCrystalListFile(const std::string& path)
{
    return readCrystalList(readFileText(path));
}

std::vector<MeasuredCrystal> sortedByFs(std::vector<MeasuredCrystal> crystals)
{
    std::stable_sort(crystals.begin(), crystals.end(),
                     [](const MeasuredCrystal& a, const MeasuredCrystal& b) { return a.fsHz < b.fsHz; });
    return crystals;
}

std::vector<MeasuredCrystal> joinCrystals(const std::vector<MeasuredCrystal>& listed,
                                          const std::vector<MeasuredCrystal>& added)
{
    std::vector<MeasuredCrystal> all = listed;
    all.insert(all.end(), added.begin(), added.end());
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j)
            if (all[i].name == all[j].name)
                throw CrystalListError("'" + all[i].name + "' is listed twice");
    return sortedByFs(std::move(all));
}

MatchedSet makeSet(std::vector<MeasuredCrystal> crystals, double fHz)
{
    crystals = sortedByFs(std::move(crystals));
    MatchedSet set;
    for (const MeasuredCrystal& c : crystals)
        set.members.push_back({c.name, c.fsHz, c.fsHz - fHz});
    if (!crystals.empty())
        set.spreadHz = crystals.back().fsHz - crystals.front().fsHz;
    return set;
}

MatchedSet pickMatchedSet(std::vector<MeasuredCrystal> crystals, int n, double fHz)
{
    if (n < 1)
        throw CrystalListError("A matched set needs at least 1 crystal.");
    if (crystals.size() < static_cast<std::size_t>(n))
        throw CrystalListError("The list holds " + integerText(static_cast<long long>(crystals.size())) +
                               " crystals, fewer than the " + integerText(n) + " of the set.");
    crystals = sortedByFs(std::move(crystals));
    const std::size_t count = static_cast<std::size_t>(n);
    std::size_t best = 0;
    double bestSpread = 0, bestDistance = 0;
    for (std::size_t first = 0; first + count <= crystals.size(); ++first) {
        const double spread = crystals[first + count - 1].fsHz - crystals[first].fsHz;
        double sum = 0;
        for (std::size_t i = first; i < first + count; ++i)
            sum += crystals[i].fsHz;
        const double distance = std::fabs(sum / static_cast<double>(count) - fHz);
        if (first == 0 || spread < bestSpread || (spread == bestSpread && distance < bestDistance)) {
            best = first;
            bestSpread = spread;
            bestDistance = distance;
        }
    }
    const auto begin = crystals.begin() + static_cast<std::ptrdiff_t>(best);
    return makeSet({begin, begin + static_cast<std::ptrdiff_t>(count)}, fHz);
}
