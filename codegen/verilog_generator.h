// The Verilog generator: one Verilog-2001 file holding the module `fir` of a quantised FIR design
// and the modules it instantiates, in the same two architectures as the VHDL file and with the
// same behaviour clock for clock: "size" (one multiplier, NTAP + 1 clocks per sample) or "speed"
// (folded symmetric taps, an adder tree, one sample per clock).
#pragma once

#include <ostream>
#include <string_view>

#include "codegen/hdl_architecture.h"
#include "codegen/output_codes.h"
#include "engine/calculate.h"

namespace qv {

// Writes the Verilog file of a calculated, quantised FIR design to `out`, reading the same
// records as WriteVhdlCode.
//   architecture: Size or Speed.
//   width:        the default of the module's parameter W, the signal width in bits
//                 (kMinHdlWidth..kMaxHdlWidth).
//   comment:      the estimate as header lines, each "// ... \n" (EstimateReport::CommentLines).
// The output service refuses what users may ask for first. Returns Ok, or DesignMismatch,
// writing nothing, when the records do not describe a design of `spec`, the architecture cannot
// express it or the width is out of range. Stream failures are left to the caller.
[[nodiscard]] OutputCode WriteVerilogCode(std::ostream& out, const Calculation& calculation,
                                          HdlArchitecture architecture, int width,
                                          std::string_view comment);

}  // namespace qv
