// A float IIR design turned into a fixed-point cascade of second-order sections: poles paired
// with their nearest zeros, the sections ordered with the poles nearest the unit circle last,
// the gain spread by L-infinity or L2 scaling, each section quantised on its own.
#pragma once

#include <span>

#include "design/design_driver.h"
#include "records/filter_spec.h"

namespace qv {

// Makes `cascade` from the normalised float design b[0..m], a[0..m] (m = spec.effectiveOrder)
// of a validated IIR specification with an IIR model:
//   - the sections of SplitIntoSections (pairing and order);
//   - the gain spread so that, for a full-scale input, each section's output reaches full scale
//     at its peak (spec.sectionScaling L-infinity; L2: its energy); the last section keeps the
//     design's gain unless that would lift a full-scale input beyond full scale, which
//     `headroom` then records;
//   - the coefficients of every section rounded to 2^(bits - 1 - postShift) steps (bits = 16 or
//     8 by spec.quantization), postShift the smallest in 0..bits / 2 that keeps all of them in
//     the word; a numerator keeps its zeros' proportions (b1 and b2 rounded from b0); with
//     L-infinity scaling a numerator is lowered step by step until the quantised cascade's peak
//     at its output is at most full scale.
// Returns DesignCode::Ok; DesignCode::RootSearchFailed when the poles cannot be made or paired;
// DesignCode::GainOutOfRange when the gain is not a positive finite number;
// DesignCode::QuantizationNotPossible when a coefficient needs a larger postShift or a numerator
// rounds to zero; DesignCode::NotStable when a quantised section has a pole on or outside the unit
// circle (the cascade is then written).
[[nodiscard]] DesignCode BuildFixedPointCascade(const FilterSpec& spec,
                                                std::span<const double> numerator,
                                                std::span<const double> denominator,
                                                FixedPointCascade& cascade);

}  // namespace qv
