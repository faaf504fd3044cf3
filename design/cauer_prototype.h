// Analog low-pass prototypes with zeros in the stop band, Chebyshev type II and elliptic
// (Cauer), both normalised so that the pass-band edge, where the loss reaches Rp, is 1 rad/s.
#pragma once

#include <array>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

// Up to kMaxOrder zeros (on the imaginary axis) and poles (left half plane).
struct ZeroPolePrototype {
  std::array<Complex, kMaxOrder> zeros{};
  std::array<Complex, kMaxOrder> poles{};
  int zeroCount = 0;
  int poleCount = 0;
};

// Chebyshev type II of order `n` (1..19): flat pass band with `rippleDb` (> 0) loss at 1 rad/s,
// stop band equiripple at `attenuationDb` (> rippleDb) from 1 / cosh(acosh(r) / n) on, where
// r = sqrt((10^(As/10) - 1) / (10^(Rp/10) - 1)).
void ChebyshevIIPrototype(int n, double rippleDb, double attenuationDb, ZeroPolePrototype& proto);

// Elliptic of order `n` (1..19): equiripple `rippleDb` in the pass band up to 1 rad/s and
// `attenuationDb` in the stop band.
void EllipticPrototype(int n, double rippleDb, double attenuationDb, ZeroPolePrototype& proto);

}  // namespace qv
