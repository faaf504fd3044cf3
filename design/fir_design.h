// FIR design by frequency sampling: desired magnitude on 512 bins, cosine transform, taps.
#pragma once

#include "design/filter_spec.h"

namespace qv {

// Fills firTaps h[0..taps-1] (unnormalised) of `design` for a validated FIR spec. For the IIR
// models it reads the unnormalised numerator and denominator that DesignIir left in `design`.
void DesignFir(const FilterSpec& spec, FilterDesign& design);

}  // namespace qv
