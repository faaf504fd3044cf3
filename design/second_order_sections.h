// A float IIR design regrouped as a cascade of second-order sections, the form in which a
// high-order filter keeps its response in single precision.
#pragma once

#include <array>
#include <span>

#include "records/filter_spec.h"

namespace qv {

static_assert(kMaxSections == (kMaxOrder + 1) / 2);

// One section: y[t] = b0 x[t] + b1 x[t-1] + b2 x[t-2] - a1 y[t-1] - a2 y[t-2] (a0 = 1). A
// first-order section has b2 = a2 = 0.
struct BiquadSection {
  double b0 = 1.0;
  double b1 = 0.0;
  double b2 = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
};

struct SectionCascade {
  int count = 0;  // sections in use, 1..kMaxSections
  std::array<BiquadSection, kMaxSections> sections{};
};

// Splits H(z) = (sum b[k] z^-k) / (sum a[k] z^-k), k = 0..effectiveOrder, into sections whose
// product is H. The zeros and poles are those the model's design builds b[0..m] and a[0..m] from
// (DesignModelZerosPoles). Each conjugate pole pair, or a pair of real poles,
// takes its nearest zeros; the sections run from the poles farthest from the unit circle to the
// nearest ones, an odd order starts with a first-order section of the smallest real pole, and
// b[0]/a[0] is folded into the numerator of the first section. A design of order 0 is one section
// holding that gain.
//   spec: a validated IIR specification of an IIR model.
//   numerator, denominator: b[0..m] and a[0..m], m = spec.effectiveOrder (0..19).
// Returns true, or false when the poles cannot be made, do not expand to a[0..m] / a[0] within
// rounding (records of another design) or do not pair up (the cascade is then incomplete).
bool SplitIntoSections(const FilterSpec& spec, std::span<const double> numerator,
                       std::span<const double> denominator, SectionCascade& cascade);

}  // namespace qv
