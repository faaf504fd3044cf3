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
  // The coefficient exports. -20..-29 stay free: the validation of a specification uses them.
  kTapsIirClass = -30,           // .coe and .mif hold FIR taps; an IIR design has none
  kTapsFloatQuantization = -31,  // .coe and .mif hold integer taps; a float design has none
  kTapOutsideWord = -32,         // a quantised tap of +2^(bits-1) does not fit its signed word
  kSectionsFirClass = -33,       // second-order sections are made from IIR poles and zeros
  kSectionsQuantized = -34,      // second-order sections are made from float coefficients
  kSectionsNotFound = -35,       // the poles and zeros do not group into float sections
};

// The exact text shown for an output code, ending in "\n"; empty for kOutputOk and for codes
// outside -10..-19 and -30..-35.
std::string OutputMessage(int code);

}  // namespace qv
