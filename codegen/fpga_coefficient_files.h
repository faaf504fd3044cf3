// The coefficient files of FPGA cores: the .coe file of the common FIR compiler cores and the
// memory initialisation file (.mif) of the FPGA memory tools, both holding the integer taps of
// a quantised FIR design.
#pragma once

#include <ostream>

#include "codegen/output_codes.h"
#include "engine/calculate.h"

namespace qv {

// Write the taps h[0..taps-1] of a calculated, quantised FIR design to `out`. Both start with
// comment lines naming the product, the design, the tap count and width and the scaling 2^shift.
//   spec, scale: the validated specification and its display scale (frequency unit).
//   design:      firTaps h[0..taps-1] (whole numbers, written truncated to integers) and shift.
// The output service refuses an IIR or float design with its own message first. Return
// OutputCode::Ok; writing nothing, OutputCode::DesignMismatch (-19) when the records do not
// describe a quantised FIR design of `spec`, or OutputCode::TapOutsideWord (-52) when a tap is
// outside the signed 8-bit or 16-bit word. Stream failures are left to the caller.
[[nodiscard]] OutputCode WriteCoeFile(std::ostream& out, const Calculation& calculation);
[[nodiscard]] OutputCode WriteMifFile(std::ostream& out, const Calculation& calculation);

}  // namespace qv
