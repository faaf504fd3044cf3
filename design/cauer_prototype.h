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

// Pass-band loss Rp and stop-band attenuation As (dB) a prototype is made to.
struct PrototypeLimits {
  double rippleDb = 0.0;
  double attenuationDb = 0.0;
};

// The limits of a minimum-order Chebyshev II or elliptic design of order `n`. An order above
// the formula's reaches a larger discrimination at `selectivity` (the prototype frequency of
// the nearest stop-band edge, > 1) than `scheme` needs; the gain is shared evenly between the
// two deviations (the powers 10^(Rp/10) - 1 and 10^(As/10) - 1), so that the design meets with
// margin on both sides and its edges fall on the scheme's, rather than resting on Rp and As
// where the rounding of its coefficients would decide. At most 60 dB of gain is shared (30 dB
// on each side); the rest stays in the transition band. `scheme` itself when there is no gain.
PrototypeLimits SharedLimits(FilterModel model, int n, double selectivity,
                             const PrototypeLimits& scheme);

}  // namespace qv
