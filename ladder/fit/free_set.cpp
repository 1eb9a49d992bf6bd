#include "ladder/fit/free_set.h"

#include <algorithm>

#include "common/errors.h"
#include "common/numtext.h"
#include "ladder/walk.h"

namespace fit {

namespace {

int partsIn(const Circuit& m) { return std::clamp(m.partcount, 0, kMaxParts); }

template <class Keep>
FreeSet entriesWhere(const Circuit& m, Keep keep)
{
    FreeSet s;
    for (int n = 1; n <= partsIn(m); ++n)
        if (keep(m.part(n)))
            s.entries.push_back(n);
    return s;
}

bool isShuntCap(const Part& p) { return p.partcode == kCap && engine::isPar(p.partconn); }
bool isCrystal(const Part& p) { return p.partcode == kXtl; }

bool isDuplicate(int code) { return code == kDupCap || code == kDupInd || code == kDupRes; }

// One entry number of a list, digits only.
int entryNumber(const std::string& item)
{
    if (item.empty() || item.size() > 4 || !std::all_of(item.begin(), item.end(), [](char c) {
            return c >= '0' && c <= '9';
        }))
        throw AppError("'" + item + "' is not an entry number: give default, crystals, shunt, all or entry "
                                    "numbers separated by commas.");
    return std::stoi(item);
}

}  // namespace

bool isFreeable(const Circuit& m, int n)
{
    if (n < 1 || n > partsIn(m))
        return false;
    const int code = m.part(n).partcode;
    return code == kCap || code == kInd || code == kRes || code == kXtl;
}

bool hasCrystals(const Circuit& m)
{
    return m.crystalflag == 1 && !entriesWhere(m, isCrystal).entries.empty();
}

bool hasInductors(const Circuit& m)
{
    return !entriesWhere(m, [](const Part& p) { return p.partcode == kInd || p.partcode == kDupInd; })
                .entries.empty();
}

FreeSet defaultFreeSet(const Circuit& m)
{
    return entriesWhere(m, [](const Part& p) { return isCrystal(p) || isShuntCap(p); });
}

FreeSet readFreeSet(const Circuit& m, const std::string& text)
{
    if (text == "default")
        return defaultFreeSet(m);
    if (text == "crystals")
        return entriesWhere(m, isCrystal);
    if (text == "shunt")
        return entriesWhere(m, isShuntCap);
    if (text == "all")
        return entriesWhere(m, [](const Part& p) {
            return p.partcode == kCap || p.partcode == kInd || p.partcode == kRes || p.partcode == kXtl;
        });
    FreeSet s;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        const int n = entryNumber(text.substr(from, comma == std::string::npos ? comma : comma - from));
        if (n >= 1 && n <= partsIn(m) && isDuplicate(m.part(n).partcode))
            throw AppError("Entry " + integerText(n) + " is a duplicate: it follows entry " +
                           integerText(static_cast<long long>(m.part(n).partvalue)) +
                           "; free that entry instead.");
        if (!isFreeable(m, n))
            throw AppError("Entry " + integerText(n) +
                           " is no capacitor, inductor, resistor or crystal of the circuit; it cannot be fitted.");
        if (std::find(s.entries.begin(), s.entries.end(), n) != s.entries.end())
            throw AppError("Entry " + integerText(n) + " is listed twice.");
        s.entries.push_back(n);
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    std::sort(s.entries.begin(), s.entries.end());
    return s;
}

}  // namespace fit
