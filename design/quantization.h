// Quantisation of normalised coefficients to 8- or 16-bit signed words with a power-of-two
// scaling exponent.
#pragma once

#include "design/design_driver.h"
#include "records/filter_spec.h"

namespace qv {

// Quantises the normalised coefficients of `design` as `spec.quantization` asks: the IIR
// numerator and denominator b, a[0..effectiveOrder] for the IIR class, the taps
// h[0..taps-1] for the FIR class. With F = 128 (8 bits) or 32768 (16 bits) and M the largest
// coefficient magnitude, the denominator (or the taps) is scaled by 2^e, e the largest
// exponent that keeps every scaled magnitude below F, and the IIR numerator by 2^(e + e2) with
// e2 found the same way; every value is then cut toward zero, so all lie in -F..F-1. `shift`
// becomes e (FIR), e2 (IIR) or 0 (float, which changes nothing else).
// Returns DesignCode::Ok; DesignCode::QuantizationNotPossible when e exceeds 15 (8 bits) or 31 (16
// bits), e2 exceeds 7 or 15, either would be negative (coefficients larger than the word), or a
// coefficient is not a finite number; DesignCode::ZeroGain when every coefficient is 0. On failure
// the coefficients are left as they were.
[[nodiscard]] DesignCode QuantizeDesign(const FilterSpec& spec, FilterDesign& design);

}  // namespace qv
