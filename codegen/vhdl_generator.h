// The VHDL generator: one synthesizable file with the entity `fir` of a quantised FIR design in
// the serial "size" architecture (one multiplier, NTAP_g + 1 clocks per sample) or the parallel
// "speed" architecture (folded symmetric taps, an adder tree, one sample per clock).
#pragma once

#include <ostream>
#include <string_view>

#include "codegen/hdl_architecture.h"
#include "codegen/output_codes.h"
#include "engine/calculate.h"

namespace qv {

// Writes the VHDL file of a calculated, quantised FIR design to `out`, reading of the
// calculation:
//   spec, scale:  the validated specification and its display scale (frequency unit).
//   design.denominator: a[0..effectiveOrder], read only to list the poles of the IIR models.
//   design.firTaps: h[0..taps-1], whole numbers; written truncated to integers into the ROM.
//   design.shift: the taps' scaling exponent, the bits the output drops (0..62).
// architecture: Size or Speed; comment: the estimate as header lines, each "-- ... \n".
// The output service refuses what users may ask for (an IIR or float design, an architecture
// that cannot express the tap count) first. Returns Ok, or DesignMismatch, writing nothing,
// when the records do not describe a design of `spec` or the architecture cannot express it.
// Stream failures are left to the caller.
[[nodiscard]] OutputCode WriteVhdlCode(std::ostream& out, const Calculation& calculation,
                                       HdlArchitecture architecture, std::string_view comment);

}  // namespace qv
