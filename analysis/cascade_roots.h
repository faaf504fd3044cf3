// The zeros and poles of a fixed-point section cascade, from its integer coefficients.
#pragma once

#include <span>

#include "records/complex.h"
#include "records/fixed_point_cascade.h"

namespace qv {

// True when every section's poles lie inside the unit circle, judged exactly on the integer
// coefficients (the stability triangle |a2| < S, |a1| < S - a2 with S = 2^(wordBits - 1 -
// postShift), the feedback coefficients being added).
bool CascadeIsStable(const FixedPointCascade& cascade);

// Writes the `order` zeros and `order` poles of the cascade (order = the design's effective
// order, 1..19: the first section is first-order when it is odd), section by section, into
// `zeros` and `poles` (room for `order` values each). A section whose b0 is 0 has fewer finite
// zeros; they are written at the origin. Returns false, writing nothing, when the cascade
// does not have (order + 1) / 2 sections or a span is too short.
bool CascadeRoots(const FixedPointCascade& cascade, int order, std::span<Complex> zeros,
                  std::span<Complex> poles);

}  // namespace qv
