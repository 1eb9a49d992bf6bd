// Any bytes as a crystal list. The reader must refuse them with its own error naming a line
// (or saying the list is empty),
// or return crystals that keep its promises; a set picked from them must keep its own.
// Anything else aborts.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "designer/core/matched_set.h"

namespace {

[[noreturn]] void broken(const char* what)
{
    std::fprintf(stderr, "crystal list: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<MeasuredCrystal> crystals;
    try {
        crystals = readCrystalList(text);
    } catch (const CrystalListError& e) {
        // A list without a single crystal has no line to name.
        const std::string message = e.what();
        if (message.rfind("line ", 0) != 0 && message != "The list holds no crystals.")
            broken("an error that names no line");
        return 0;
    }
    std::set<std::string> names;
    for (const MeasuredCrystal& c : crystals) {
        if (c.name.empty() || !names.insert(c.name).second)
            broken("an empty or repeated name");
        if (!(c.fsHz > 0) || !std::isfinite(c.fsHz))
            broken("a frequency that is not positive and finite");
    }
    if (crystals.empty())
        return 0;
    const int n = 1 + static_cast<int>(size % crystals.size());
    const MatchedSet set = pickMatchedSet(crystals, n, crystals.front().fsHz);
    if (static_cast<int>(set.members.size()) != n)
        broken("a set of the wrong size");
    for (std::size_t i = 1; i < set.members.size(); ++i)
        if (set.members[i].fsHz < set.members[i - 1].fsHz)
            broken("a set out of order");
    if (!(set.spreadHz >= 0) || set.spreadHz != set.members.back().fsHz - set.members.front().fsHz)
        broken("a spread that is not the set's");
    return 0;
}
