// The second-order-section generator: a C99 source file with a float IIR design as a cascade
// of biquads, a coefficient table in the layout CMSIS-DSP takes, and the function `iir_sos`
// that filters one sample.
#pragma once

#include <string>

#include "codegen/output_codes.h"
#include "records/filter_spec.h"

namespace qv {

// The checks made before anything is written, in order: OutputCode::SectionsFirClass (-53),
// OutputCode::SectionsQuantized (-54), OutputCode::NotCalculated (-15); OutputCode::Ok when the
// design can be written.
[[nodiscard]] OutputCode CheckSectionsDesign(const FilterSpec& spec, bool calculated);

// Writes the sections of a calculated float IIR design to `path`, which is created or replaced
// whole (OutputFile): a failure leaves the file there as it was.
//   spec, scale: the validated specification and its display scale (frequency unit).
//   design:      b[0..m] and a[0..m], m = spec.effectiveOrder; split by SplitIntoSections.
// Returns OutputCode::Ok (0); before anything is written the codes of CheckSectionsDesign,
// OutputCode::DesignMismatch (-19) when the records do not describe a design of `spec`,
// OutputCode::SectionsNotFound (-55) when the cascade cannot be formed or a coefficient is beyond
// the float range, or OutputCode::NotCreated (-10); OutputCode::NotClosed (-12) when a write,
// flush, close or the replacement fails (nothing changed).
[[nodiscard]] OutputCode GenerateSosCode(const FilterSpec& spec, const DisplayScale& scale,
                                         const FilterDesign& design, const std::string& path);

}  // namespace qv
