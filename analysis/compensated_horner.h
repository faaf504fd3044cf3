// The value of a polynomial with real coefficients at a complex point, as if summed in twice
// extended precision: the compensated Horner scheme, which carries each step's rounding errors
// (found exactly by error-free transformations) in a second polynomial. Where the roots crowd
// near the point the terms cancel by up to fifteen digits, and plain Horner in extended
// precision keeps only a few.
#pragma once

#include <complex>
#include <span>

namespace qv {

// sum c[k] z^k for the `c` given (index = power), `z` taken as exact. The result's error is
// about one rounding of the value plus 4 n^2 u^2 sum |c[k]| |z|^k, u = 2^-64.
std::complex<long double> CompensatedHorner(std::span<const double> c, std::complex<long double> z);

}  // namespace qv
