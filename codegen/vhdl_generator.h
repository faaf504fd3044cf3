// The VHDL generator: one synthesizable file with the entity `fir` of a quantised FIR design in
// the serial "size" architecture (one multiplier, NTAP_g + 1 clocks per sample) or the parallel
// "speed" architecture (folded symmetric taps, an adder tree, one sample per clock).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "codegen/hdl_architecture.h"
#include "records/filter_spec.h"

namespace qv {

// Writes the VHDL file of a calculated, quantised FIR design to `path`, which is created or
// replaced whole (OutputFile): a failure leaves the file there as it was.
//   spec, scale:  the validated specification and its display scale (frequency unit).
//   denominator:  a[0..effectiveOrder], read only to list the poles of the IIR models.
//   firTaps:      h[0..taps-1], whole numbers; written truncated to integers into the ROM.
//   shift:        the taps' scaling exponent, the bits the output drops (0..62).
//   architecture: Size or Speed.
//   comment:      the estimate as header lines, each "-- ... \n" (EstimateResources).
// Returns Ok; before anything is written BadArchitecture, the codes of CheckHdlDesign and
// CheckHdlArchitecture, DesignMismatch when the records do not describe a design of `spec`, or
// NotCreated; NotClosed when a write, flush, close or the replacement fails (nothing changed).
[[nodiscard]] OutputCode GenerateVhdlCode(const FilterSpec& spec, const DisplayScale& scale,
                                          std::span<const double> denominator,
                                          std::span<const double> firTaps, int shift,
                                          HdlArchitecture architecture, std::string_view comment,
                                          const std::string& path);

}  // namespace qv
