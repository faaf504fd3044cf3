// Analog low-pass prototypes with a cut-off of 1 rad/s, described by their poles.
#pragma once

#include <array>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

using PoleArray = std::array<Complex, kMaxCoefficients>;

// Butterworth: n (1..19) poles on the left half of the unit circle,
// theta_k = pi/(2n) + pi/2 + k pi/n.
void ButterworthPrototype(int n, PoleArray& poles);

// Chebyshev type I with `rippleDb` (> 0) dB pass-band ripple: the Butterworth points with
// real parts scaled by sinh v and imaginary parts by cosh v, v = asinh(1/eps) / n.
void ChebyshevPrototype(int n, double rippleDb, PoleArray& poles);

// Bessel: the tabulated row of order n (1..19).
void BesselPrototype(int n, PoleArray& poles);

}  // namespace qv
