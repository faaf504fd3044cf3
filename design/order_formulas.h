// The order formulas of the analog prototypes, and the limits a minimum-order design is made
// to: what a whole order reaches beyond the formula's, shared between pass and stop band.
#pragma once

#include "records/filter_spec.h"

namespace qv {

// The order formulas, from the selectivity (prototype frequency of the nearest stop-band
// edge, > 1), Rp and As (dB). Not rounded: the order is their ceiling. Chebyshev's serves
// Chebyshev II as well.
double ButterworthOrder(double selectivity, double rippleDb, double attenuationDb);
double ChebyshevOrder(double selectivity, double rippleDb, double attenuationDb);
double EllipticOrder(double selectivity, double rippleDb, double attenuationDb);

// Pass-band loss Rp and stop-band attenuation As (dB) a design is made to.
struct PrototypeLimits {
  double rippleDb = 0.0;
  double attenuationDb = 0.0;
};

// The limits of a minimum-order Butterworth, Chebyshev, Chebyshev II or elliptic design of
// order `n`. An order above the formula's reaches a larger discrimination at `selectivity` than
// `scheme` needs; the gain is shared evenly between the two deviations (the powers
// 10^(Rp/10) - 1 and 10^(As/10) - 1), so that the design meets with margin on both sides and
// its edges fall on the scheme's, rather than resting on Rp and As where the rounding of its
// coefficients (or of its cut frequencies to whole hertz) would decide. At most 60 dB of gain
// is shared (30 dB on each side); the rest stays in the transition band. `scheme` itself when
// there is no gain.
PrototypeLimits SharedLimits(FilterModel model, int n, double selectivity,
                             const PrototypeLimits& scheme);

}  // namespace qv
