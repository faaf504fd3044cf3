// The coefficient files of FPGA cores: the .coe file of the common FIR compiler cores and the
// memory initialisation file (.mif) of the FPGA memory tools, both holding the integer taps of
// a quantised FIR design.
#pragma once

#include <string>

#include "codegen/output_codes.h"
#include "records/filter_spec.h"

namespace qv {

// The checks made before anything is written, in order: OutputCode::TapsIirClass (-50),
// OutputCode::TapsFloatQuantization (-51), OutputCode::NotCalculated (-15); OutputCode::Ok when the
// design can be written.
[[nodiscard]] OutputCode CheckFpgaTapsDesign(const FilterSpec& spec, bool calculated);

// Write the taps h[0..taps-1] of a calculated, quantised FIR design to `path`, which is created
// or replaced whole (OutputFile): a failure leaves the file there as it was. Both start with
// comment lines naming the product, the design, the tap count and width and the scaling 2^shift.
//   spec, scale: the validated specification and its display scale (frequency unit).
//   design:      firTaps h[0..taps-1] (whole numbers, written truncated to integers) and shift.
// Return OutputCode::Ok (0); before anything is written the codes of CheckFpgaTapsDesign,
// OutputCode::DesignMismatch (-19) when the records do not describe a design of `spec`,
// OutputCode::TapOutsideWord
// (-52) when a tap is outside the signed 8-bit or 16-bit word, or OutputCode::NotCreated (-10);
// OutputCode::NotClosed (-12) when a write, flush, close or the replacement fails (nothing
// changed).
[[nodiscard]] OutputCode GenerateCoeFile(const FilterSpec& spec, const DisplayScale& scale,
                                         const FilterDesign& design, const std::string& path);
[[nodiscard]] OutputCode GenerateMifFile(const FilterSpec& spec, const DisplayScale& scale,
                                         const FilterDesign& design, const std::string& path);

}  // namespace qv
