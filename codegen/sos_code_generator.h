// The second-order-section generator: a C99 source file with a float IIR design as a cascade
// of biquads, a coefficient table in the layout CMSIS-DSP takes, and the function `iir_sos`
// that filters one sample.
#pragma once

#include <ostream>

#include "codegen/output_codes.h"
#include "engine/calculate.h"

namespace qv {

// Writes the sections of a calculated float IIR design to `out`, reading of the calculation:
//   spec, scale: the validated specification and its display scale (frequency unit).
//   design:      b[0..m] and a[0..m], m = spec.effectiveOrder; split by SplitIntoSections.
// The output service refuses an FIR or quantised design with its own message first. Returns
// OutputCode::Ok; writing nothing, OutputCode::DesignMismatch (-19) when the records do not
// describe a float IIR design of `spec`, or OutputCode::SectionsNotFound (-55) when the cascade
// cannot be formed or a coefficient is beyond the float range. Stream failures are left to the
// caller.
[[nodiscard]] OutputCode WriteSosCode(std::ostream& out, const Calculation& calculation);

}  // namespace qv
