#include "ladder/step/inverse_fft.h"

#include <fftw3.h>

#include <mutex>
#include <stdexcept>

namespace fft {

namespace {

// FFTW's planner is not thread-safe (executing a plan is). Plans are made per call with
// FFTW_ESTIMATE, which takes microseconds and never touches the arrays, and destroyed
// straight after: no cache that could grow, leak at exit or race between threads.
std::mutex& plannerLock()
{
    static std::mutex lock;
    return lock;
}

class Plan {
public:
    explicit Plan(fftw_plan p) : p_(p)
    {
        if (!p_)
            throw std::runtime_error("FFTW could not plan the transform");
    }
    ~Plan()
    {
        const std::lock_guard<std::mutex> guard(plannerLock());
        fftw_destroy_plan(p_);
    }
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;
    void run() const { fftw_execute(p_); }

private:
    fftw_plan p_;
};

fftw_complex* raw(std::vector<std::complex<double>>& v) { return reinterpret_cast<fftw_complex*>(v.data()); }

}  // namespace

void inverse(std::vector<std::complex<double>>& x)
{
    if (x.empty())
        return;
    fftw_plan p;
    {
        const std::lock_guard<std::mutex> guard(plannerLock());
        p = fftw_plan_dft_1d(int(x.size()), raw(x), raw(x), FFTW_BACKWARD, FFTW_ESTIMATE);
    }
    Plan(p).run();
}

void inverseReal(std::vector<std::complex<double>>& half, int n, std::vector<double>& out)
{
    out.resize(std::size_t(n));
    if (n == 0)
        return;
    if (half.size() != std::size_t(n / 2 + 1))
        throw std::invalid_argument("inverseReal: wrong number of bins");
    fftw_plan p;
    {
        const std::lock_guard<std::mutex> guard(plannerLock());
        p = fftw_plan_dft_c2r_1d(n, raw(half), out.data(), FFTW_ESTIMATE);
    }
    Plan(p).run();
}

}  // namespace fft
