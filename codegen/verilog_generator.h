// The Verilog generator: one Verilog-2001 file holding the module `fir` of a quantised FIR design
// and the modules it instantiates, in the same two architectures as the VHDL file and with the
// same behaviour clock for clock: "size" (one multiplier, NTAP + 1 clocks per sample) or "speed"
// (folded symmetric taps, an adder tree, one sample per clock).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "codegen/hdl_architecture.h"
#include "records/filter_spec.h"

namespace qv {

// Writes the Verilog file of a calculated, quantised FIR design to `path`, created or replaced
// whole (OutputFile).
//   spec, scale:  the validated specification and its display scale (frequency unit).
//   denominator:  a[0..effectiveOrder], read only to list the poles of the IIR models.
//   firTaps:      h[0..taps-1], whole numbers; truncated to integers into the ROM.
//   shift:        the taps' scaling exponent, the bits the output drops (0..62).
//   architecture: Size or Speed.
//   width:        the default of the module's parameter W, the signal width in bits
//                 (kMinHdlWidth..kMaxHdlWidth).
//   comment:      the estimate as header lines, each "// ... \n" (EstimateReport::CommentLines).
// Returns Ok; before anything is written BadArchitecture, the codes of CheckHdlDesign and
// CheckHdlArchitecture, DesignMismatch when the records do not describe a design of `spec`,
// ResolutionRange for a width out of range, or NotCreated; NotClosed when a write, flush, close
// or the replacement fails (nothing changed). The codes take their Verilog numbers and messages
// (HdlLanguage::Verilog).
[[nodiscard]] OutputCode GenerateVerilogCode(const FilterSpec& spec, const DisplayScale& scale,
                                             std::span<const double> denominator,
                                             std::span<const double> firTaps, int shift,
                                             HdlArchitecture architecture, int width,
                                             std::string_view comment, const std::string& path);

}  // namespace qv
