// The C code generator: one C source file with a commented summary of the design and one
// filter function, `iir` or `fir`, that takes one input sample and returns one output sample.
#pragma once

#include <span>
#include <string>

#include "codegen/output_codes.h"
#include "records/filter_spec.h"

namespace qv {

// Writes the C file of a calculated design to `path`, which is created or replaced whole
// (OutputFile): a failure leaves the file there as it was.
//   spec, scale:  the validated specification and its display scale (frequency unit).
//   numerator, denominator: b[0..effectiveOrder] and a[0..effectiveOrder] (IIR class; the
//                 denominator also gives the poles listed for the IIR models).
//   firTaps:      h[0..taps-1] (FIR class).
//   shift:        the design's scaling exponent; DCgain = 2^shift for quantised designs.
// Quantised coefficients are whole numbers; they are written truncated to integers.
// Returns OutputCode::Ok (0), OutputCode::DesignMismatch (-19, nothing written) when the records do
// not describe a design of `spec`, OutputCode::NotCreated (-10, nothing written) or
// OutputCode::NotClosed
// (-12, a write, flush, close or the replacement failed; nothing changed).
[[nodiscard]] OutputCode GenerateCCode(const FilterSpec& spec, const DisplayScale& scale,
                                       std::span<const double> numerator,
                                       std::span<const double> denominator,
                                       std::span<const double> firTaps, int shift,
                                       const std::string& path);

}  // namespace qv
