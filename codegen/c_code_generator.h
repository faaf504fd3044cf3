// The C code generator: one C source file with a commented summary of the design and one
// filter function, `iir` or `fir`, that takes one input sample and returns one output sample.
#pragma once

#include <ostream>

#include "codegen/output_codes.h"
#include "engine/calculate.h"

namespace qv {

// Writes the direct-form C file of a calculated design to `out`, reading of the calculation:
//   spec, scale:  the validated specification and its display scale (frequency unit).
//   design.numerator, design.denominator: b[0..effectiveOrder] and a[0..effectiveOrder] (IIR
//                 class; the denominator also gives the poles listed for the IIR models).
//   design.firTaps: h[0..taps-1] (FIR class).
//   design.shift: the design's scaling exponent; DCgain = 2^shift for quantised designs.
// Quantised coefficients are whole numbers; they are written truncated to integers.
// Returns OutputCode::Ok, or OutputCode::DesignMismatch (-19), writing nothing, when the records
// do not describe a design of `spec`. Stream failures are left to the caller.
[[nodiscard]] OutputCode WriteCCode(std::ostream& out, const Calculation& calculation);

}  // namespace qv
