// Any bytes as a Touchstone text. The reader must refuse them with its own error or return a
// network that keeps its promises; that network must write, and the text read back must give
// the same values to the written precision. Anything else aborts.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "common/touchstone.h"

namespace {

[[noreturn]] void broken(const char* what, std::size_t point)
{
    std::fprintf(stderr, "touchstone: %s (point %zu)\n", what, point);
    std::abort();
}

void checkPromises(const Network& n)
{
    const std::size_t count = n.frequencyHz.size();
    const std::size_t others = n.ports == 2 ? count : 0;
    if (n.ports != 1 && n.ports != 2)
        broken("port count", 0);
    if (count == 0 || n.s11.size() != count || n.s21.size() != others || n.s12.size() != others ||
        n.s22.size() != others)
        broken("vector lengths", 0);
    if (!(n.referenceR1 > 0 && n.referenceR2 > 0 && std::isfinite(n.referenceR1) && std::isfinite(n.referenceR2)))
        broken("reference", 0);
    if (n.ports == 1 && n.referenceR2 != n.referenceR1)
        broken("one-port reference", 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isfinite(n.frequencyHz[i]) || n.frequencyHz[i] < 0 || (i > 0 && !(n.frequencyHz[i] > n.frequencyHz[i - 1])))
            broken("frequencies", i);
        for (const auto* v : {&n.s11, &n.s21, &n.s12, &n.s22})
            if (!v->empty() && !(std::abs((*v)[i]) <= kTouchstoneLargestMagnitude))
                broken("value", i);
    }
}

// The only network the writer may refuse: two frequencies that meet once divided to MHz.
bool meetsInMhz(const Network& n)
{
    for (std::size_t i = 1; i < n.frequencyHz.size(); ++i)
        if (!(n.frequencyHz[i] / 1e6 * 1e6 > n.frequencyHz[i - 1] / 1e6 * 1e6))
            return true;
    return false;
}

// 12 digits of dB (up to 300) and of degrees (up to 180) keep 2e-10 of the magnitude; levels
// below 1e-15 come back as 1e-15.
bool same(std::complex<double> got, std::complex<double> want)
{
    return std::abs(got - want) <= 1e-9 * std::abs(want) + 2e-15;
}

void roundTrip(const Network& first)
{
    checkPromises(first);
    std::string text;
    try {
        text = writeTouchstone(first, {{"fuzz"}});
    } catch (const AppError&) {
        if (!meetsInMhz(first))
            broken("writer refused a network the reader gave", 0);
        return;
    }
    Network second;
    try {
        second = readTouchstone(text, first.ports);
    } catch (const TouchstoneError& e) {
        std::fprintf(stderr, "%s\n%s", e.what(), text.c_str());
        broken("written text refused", 0);
    }
    checkPromises(second);
    if (second.ports != first.ports || second.referenceR1 != first.referenceR1 ||
        second.referenceR2 != first.referenceR2 || second.frequencyHz.size() != first.frequencyHz.size())
        broken("shape changed", 0);
    for (std::size_t i = 0; i < first.frequencyHz.size(); ++i) {
        if (std::abs(second.frequencyHz[i] - first.frequencyHz[i]) > 1e-15 * first.frequencyHz[i])
            broken("frequency changed", i);
        if (!same(second.s11[i], first.s11[i]))
            broken("S11 changed", i);
        if (first.ports == 2 && (!same(second.s21[i], first.s21[i]) || !same(second.s12[i], first.s12[i]) ||
                                 !same(second.s22[i], first.s22[i])))
            broken("two-port value changed", i);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // As an unnamed text, and as the two names that fix the port count.
    for (int ports : {0, 1, 2}) {
        try {
            roundTrip(readTouchstone(text, ports));
        } catch (const TouchstoneError&) {
        }
    }
    return 0;
}
