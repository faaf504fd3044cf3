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
};

// The exact text shown for an output code, ending in "\n"; empty for kOutputOk and for codes
// outside -10..-19.
std::string OutputMessage(int code);

}  // namespace qv
