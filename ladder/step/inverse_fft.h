#pragma once
// Inverse discrete Fourier transforms for the time response, on FFTW. The library stays
// out of this header: callers see only std::complex.

#include <complex>
#include <vector>

namespace fft {

// x[n] = sum_k x[k] exp(+2 pi i k n / N), in place; no 1/N scaling. Any size.
void inverse(std::vector<std::complex<double>>& x);

// The real signal of a Hermitian spectrum of size n given by its bins 0..n/2
// (half.size() == n / 2 + 1): out[m] = sum over all n bins, no scaling. half is overwritten.
void inverseReal(std::vector<std::complex<double>>& half, int n, std::vector<double>& out);

}  // namespace fft
