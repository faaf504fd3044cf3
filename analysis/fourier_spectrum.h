// The forward discrete Fourier transform with the 1/N factor.
#pragma once

#include <span>

#include "records/complex.h"

namespace qv {

// X[i] = (1/N) sum_j samples[j] e^(-2 pi i i j / N) for i = 0..N-1, N = samples.size() (at
// most 512); `spectrum` has room for N values. Returns the largest |X[i]|.
double ComputeSpectrum(std::span<const double> samples, std::span<Complex> spectrum);

}  // namespace qv
