// Helpers shared by the design-driver and FIR tests: a whole design from a specification and
// the frequency response of what it implements.
#pragma once

#include <complex>

#include "design/design_driver.h"
#include "records/filter_spec.h"

namespace qv::design_test {

struct DesignRun {
  FilterSpec spec;  // as the design left it (validated, fcenter written)
  DisplayScale scale;
  FilterDesign design;
  PoleList poles{};
  DesignCode code = DesignCode::Ok;
};

// Validates `spec` (expecting success), derives the scale and designs. Poles start at a
// sentinel value so that untouched entries can be told apart.
DesignRun RunDesign(FilterSpec spec);

inline constexpr Complex kPoleSentinel{5.0, 5.0};

// H(e^jw) at `hz` of what the design implements, 2^shift (and a[0]) divided out:
// IIR (sum b[k] z^-k / 2^shift) / (sum a[k] z^-k), FIR sum h[k] z^-k / 2^shift.
std::complex<double> Response(const FilterSpec& spec, const FilterDesign& design, double hz);

double GainDb(const FilterSpec& spec, const FilterDesign& design, double hz);

}  // namespace qv::design_test
