#include "ladder/fit/batch_response.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "common/errors.h"
#include "ladder/twoport.h"

namespace fit {

namespace {

void solveOne(const Circuit& m, const std::vector<double>& freqs, ModelResponse& r)
{
    r.s21.resize(freqs.size());
    r.s11.resize(freqs.size());
    r.s22.resize(freqs.size());
    try {
        solveResponseSweep(m, freqs.data(), static_cast<int>(freqs.size()), [&](int i, const Response& s) {
            r.s21[i] = s.twoPort.s21;
            r.s11[i] = s.twoPort.s11;
            r.s22[i] = s.twoPort.s22;
        });
        r.ok = true;
        r.error.clear();
    } catch (const AppError& e) {
        r.ok = false;
        r.error = e.what();
    }
}

}  // namespace

void solveCircuits(const std::vector<Circuit>& circuits, const std::vector<double>& freqs,
                   std::vector<ModelResponse>& out, int threads)
{
    const int count = static_cast<int>(circuits.size());
    out.resize(circuits.size());
    if (threads <= 0)
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // A thread costs tens of microseconds; below a few circuits one is enough.
    threads = std::min(threads, std::max(1, count / 2));
    std::atomic<int> next = 0;
    auto work = [&] {
        for (int i = next++; i < count; i = next++)
            solveOne(circuits[i], freqs, out[i]);
    };
    std::vector<std::jthread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
}

}  // namespace fit
