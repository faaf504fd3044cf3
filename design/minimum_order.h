// Minimum order: the smallest order or tap count whose design meets the tolerance scheme.
#pragma once

#include <string>

#include "records/filter_spec.h"

namespace qv {

// The numbers are those users see as the calculation's code.
enum class MinimumOrderCode : int {
  Found = 0,
  OrderBeyondLimit = -70,  // the order needed exceeds 19 (9 for band designs)
  TapsBeyondLimit = -71,   // the tap count needed exceeds 511
  NoTapCountMeets = -72,   // no tap count up to 511 meets it, though the estimate lies within
  // The formula's order is within the limit, yet no design up to the limit meets the scheme by
  // its true response (the rounding of very selective designs in the coefficient form).
  NoOrderMeets = -73,
};

struct MinimumOrder {
  MinimumOrderCode code = MinimumOrderCode::Found;
  int needed = 0;  // the order (IIR models; band designs count the prototype order) or taps
};

// Finds the minimum order or tap count of `spec` (validated scheme, minimum order on) and writes
// it into spec.order or spec.taps, with the cut frequencies that go with it: the pass-band edges
// for Chebyshev, the 3 dB frequencies for Butterworth, the middle of the transitions for the
// rectangle and raised-cosine windows, each rounded to whole hertz in the direction that still
// meets the scheme. On failure `spec` is unchanged and `needed` says what the scheme needs.
[[nodiscard]] MinimumOrder ApplyMinimumOrder(FilterSpec& spec);

// Makes `spec` ready to validate and design from its scheme: refuses an invalid scheme (a
// validation code), sets the cut frequencies of the models designed from the scheme to its
// pass-band edges (whole hertz, for display and the outputs), and with minimum order on runs
// ApplyMinimumOrder (the number of a MinimumOrderCode, with `found.needed`). ValidationCode::Valid
// (0) when it is ready.
[[nodiscard]] int PrepareScheme(FilterSpec& spec, MinimumOrder& found);

// The message of a MinimumOrderCode, with the order or tap count needed.
std::string MinimumOrderMessage(const MinimumOrder& found);

}  // namespace qv
