// Result codes of the output writers and of the checks that come before them, with the exact
// message a command shows for each.
#pragma once

#include <string>

namespace qv {

enum OutputCode : int {
  kOutputOk = 0,
  kOutputNotCreated = -10,       // the file cannot be opened for writing; nothing is written
  kVhdlBadArchitecture = -11,    // neither Size nor Speed; checked before anything else
  kOutputNotClosed = -12,        // a write, the flush, the close or the replacement failed
  kVhdlIirClass = -13,           // VHDL is written for FIR designs only
  kVhdlFloatQuantization = -14,  // VHDL needs 8-bit or 16-bit coefficients
  kNotCalculated = -15,          // no calculated design to write
  kSpeedTapsEven = -16,          // the speed architecture folds symmetric taps: N must be odd
  kSizeTooFewTaps = -17,         // the size architecture reads delay stage N-2: N >= 2
  kSpeedTooFewTaps = -18,        // the speed adder tree needs N >= 3
  kDesignMismatch = -19,         // the records do not describe a designed filter
  // The Verilog command makes the checks of the VHDL one; these are the ones whose message
  // names the language.
  kVerilogBadArchitecture = -40,
  kVerilogIirClass = -41,
  kVerilogFloatQuantization = -42,
  kVerilogSpeedTapsEven = -43,
  kVerilogSizeTooFewTaps = -44,
  kVerilogSpeedTooFewTaps = -45,
  kHdlResolutionRange = -46,  // Verilog and the testbenches need a signal of 2..32 bits
  kTestbenchExtension = -47,  // a testbench is VHDL (.vhd, .vhdl) or Verilog (.v)
  // The coefficient exports.
  kTapsIirClass = -50,           // .coe and .mif hold FIR taps; an IIR design has none
  kTapsFloatQuantization = -51,  // .coe and .mif hold integer taps; a float design has none
  kTapOutsideWord = -52,         // a quantised tap of +2^(bits-1) does not fit its signed word
  kSectionsFirClass = -53,       // second-order sections are made from IIR poles and zeros
  kSectionsQuantized = -54,      // second-order sections are made from float coefficients
  kSectionsNotFound = -55,       // the poles and zeros do not group into float sections
};

// The exact text shown for an output code, ending in "\n"; empty for kOutputOk and for codes
// outside -10..-19, -40..-47 and -50..-55. Output codes are their own numbers: the validation
// codes of a specification never reach OutputMessage.
std::string OutputMessage(int code);

}  // namespace qv
