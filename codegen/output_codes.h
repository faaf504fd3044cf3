// Result codes of the output writers and of the checks that come before them, with the exact
// message a command shows for each. The hardware checks are one set for both languages: the
// language picks the number and names itself in the message.
#pragma once

#include <string>

#include "codegen/hdl_language.h"

namespace qv {

enum class OutputCode : int {
  Ok = 0,
  NotCreated = -10,          // the file cannot be opened for writing; nothing is written
  BadArchitecture = -11,     // neither Size nor Speed; checked before anything else
  NotClosed = -12,           // a write, the flush, the close or the replacement failed
  IirClass = -13,            // VHDL and Verilog are written for FIR designs only
  FloatQuantization = -14,   // VHDL and Verilog need 8-bit or 16-bit coefficients
  NotCalculated = -15,       // no calculated design to write
  SpeedTapsEven = -16,       // the speed architecture folds symmetric taps: N must be odd
  SizeTooFewTaps = -17,      // the size architecture reads delay stage N-2: N >= 2
  SpeedTooFewTaps = -18,     // the speed adder tree needs N >= 3
  DesignMismatch = -19,      // the records do not describe a designed filter
  ResolutionRange = -46,     // Verilog and the testbenches need a signal of 2..32 bits
  TestbenchExtension = -47,  // a testbench is VHDL (.vhd, .vhdl) or Verilog (.v)
  // The coefficient exports.
  TapsIirClass = -50,           // .coe and .mif hold FIR taps; an IIR design has none
  TapsFloatQuantization = -51,  // .coe and .mif hold integer taps; a float design has none
  TapOutsideWord = -52,         // a quantised tap of +2^(bits-1) does not fit its signed word
  SectionsFirClass = -53,       // second-order sections are made from IIR poles and zeros
  SectionsQuantized = -54,      // second-order sections are made from float coefficients
  SectionsNotFound = -55,       // the poles and zeros do not group into float sections
  // The GIF picture.
  PictureLibraryMissing = -56,  // libgd, which draws the picture, cannot be loaded
  // The design file.
  DesignFileNotSaved = -57,  // the design file cannot be written; what was there is kept
};

// The number users and scripts see for `code`: its own, except that the checks whose message
// names the language have numbers of their own for Verilog (-40..-45).
[[nodiscard]] int OutputCodeNumber(OutputCode code, HdlLanguage language = HdlLanguage::Vhdl);

// The exact text shown for `code`, ending in "\n", the language named where the text has it;
// empty for OutputCode::Ok, and a text with the number for a value outside the list.
[[nodiscard]] std::string OutputMessage(OutputCode code, HdlLanguage language = HdlLanguage::Vhdl);

}  // namespace qv
