// The zeros and poles of an IIR design where its model put them: the Chebyshev II and elliptic
// designs have their zeros in the stop band, the others where the band type alone places them.
#pragma once

#include <span>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

// True for the models whose zeros come from their own prototype rather than from the band type.
constexpr bool HasPrototypeZeros(FilterModel model) {
  return model == FilterModel::ChebyshevII || model == FilterModel::Elliptic;
}

// The m = spec.effectiveOrder zeros of the validated IIR `spec` into `zeros` (room for m).
void DesignModelZeros(const FilterSpec& spec, std::span<Complex> zeros);

// The m zeros and m poles of the validated IIR `spec`, before any quantisation; `zeros` and
// `poles` have room for m values. Returns 0, or nonzero when the poles cannot be found.
int DesignModelZerosPoles(const FilterSpec& spec, std::span<Complex> zeros,
                          std::span<Complex> poles);

}  // namespace qv
