// The Verilog generator: one Verilog-2001 file holding the module `fir` of a quantised FIR design
// and the modules it instantiates, in the same two architectures as the VHDL file and with the
// same behaviour clock for clock: "size" (one multiplier, NTAP + 1 clocks per sample) or "speed"
// (folded symmetric taps, an adder tree, one sample per clock).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "records/filter_spec.h"

namespace qv {

// Widest signal the generated module is written for, bits; the narrowest is 2 (a sign bit and
// one magnitude bit).
inline constexpr int kMinHdlWidth = 2;
inline constexpr int kMaxHdlWidth = 32;

// The checks of CheckVhdlDesign, in the same order, with the Verilog codes for the refusals
// that name the language: kVerilogIirClass (-41), kVerilogFloatQuantization (-42),
// kNotCalculated (-15); kOutputOk when the design can be written.
int CheckVerilogDesign(const FilterSpec& spec, bool calculated);

// The checks of CheckVhdlArchitecture, in the same order: kVerilogBadArchitecture (-40),
// kVerilogSpeedTapsEven (-43), kVerilogSizeTooFewTaps (-44) or kVerilogSpeedTooFewTaps (-45).
int CheckVerilogArchitecture(const FilterSpec& spec, int architecture);

// Writes the Verilog file of a calculated, quantised FIR design to `path`, created or replaced
// whole (OutputFile).
//   spec, scale:  the validated specification and its display scale (frequency unit).
//   denominator:  a[0..effectiveOrder], read only to list the poles of the IIR models.
//   firTaps:      h[0..taps-1], whole numbers; truncated to integers into the ROM.
//   shift:        the taps' scaling exponent, the bits the output drops (0..62).
//   architecture: 1 = Size, 2 = Speed.
//   width:        the default of the module's parameter W, the signal width in bits
//                 (kMinHdlWidth..kMaxHdlWidth).
//   comment:      the estimate as header lines, each "// ... \n" (EstimateReport::CommentLines).
// Returns kOutputOk (0); before anything is written kVerilogBadArchitecture, the codes of
// CheckVerilogDesign and CheckVerilogArchitecture, kDesignMismatch (-19) when the records do
// not describe a design of `spec`, kHdlResolutionRange (-46) for a width out of range, or
// kOutputNotCreated (-10); kOutputNotClosed (-12) when a write, flush, close or the replacement
// fails (nothing changed).
int GenerateVerilogCode(const FilterSpec& spec, const DisplayScale& scale,
                        std::span<const double> denominator, std::span<const double> firTaps,
                        int shift, int architecture, int width, std::string_view comment,
                        const std::string& path);

}  // namespace qv
