// Chebyshev II and elliptic IIR designs from the tolerance scheme: the prototype of
// cauer_prototype.h, the band transformation on its zeros and poles, and the bilinear
// transform pre-warped so that the pass-band edges land where the scheme puts them.
#pragma once

#include <span>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

// The m = effectiveOrder digital zeros and poles of a validated Chebyshev II or elliptic
// `spec` with an active scheme (order n = spec.order). Writes spec.fcenter (Hz, the
// pre-warped band centre) for band designs. `zeros` and `poles` have room for m values.
// A minimum-order band stop is designed on the widened pass band that set its order.
void DesignCauerZerosPoles(FilterSpec& spec, std::span<Complex> zeros, std::span<Complex> poles);

// b[0..m] and a[0..m] of the same design with a[0] = 1, before any gain normalisation.
void DesignCauer(FilterSpec& spec, FilterDesign& design);

}  // namespace qv
