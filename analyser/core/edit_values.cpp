#include "analyser/core/edit_values.h"

#include <algorithm>

namespace {

// Every edited value of the circuit, in one fixed order.
template <class C, class F>
void forEachValue(C& c, F f)
{
    f(c.loadr);
    for (int i = 1; i <= kMaxParts; ++i)
        f(c.part(i).partvalue);
    f(c.sourcer);
    f(c.inductorq);
    f(c.xtalfreq);
    f(c.xtallm);
    f(c.xtalcp);
    f(c.xtalqx);
}

}  // namespace

EditValues editValues(const Circuit& c)
{
    EditValues v;
    forEachValue(c, [&](const double& x) { v.values.push_back(x); });
    return v;
}

void restoreEditValues(Circuit& c, const EditValues& v)
{
    std::size_t i = 0;
    forEachValue(c, [&](double& x) {
        if (i < v.values.size())
            x = v.values[i++];
    });
}

std::vector<std::string> withRecentFile(std::vector<std::string> list, const std::string& path, std::size_t limit)
{
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > limit)
        list.resize(limit);
    return list;
}
