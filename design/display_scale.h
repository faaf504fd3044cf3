// The display scale: analysis length, samples per plotted column and the time and frequency
// units, derived from a validated specification.
#pragma once

#include "records/filter_spec.h"

namespace qv {

// Fills every field of `scale` from a spec that Validate accepted. Never fails.
void DeriveScale(const FilterSpec& spec, DisplayScale& scale);

}  // namespace qv
