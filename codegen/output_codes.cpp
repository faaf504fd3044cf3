#include "codegen/output_codes.h"

namespace qv {

std::string OutputMessage(int code) {
  switch (code) {
    case kOutputNotCreated:
      return "The Output file cannot be created!\n";
    case kVhdlBadArchitecture:
      return "The VHDL architecture must be SIZE or SPEED\n";
    case kOutputNotClosed:
      return "The Output file cannot be closed!\n";
    case kVhdlIirClass:
      return "VHDL generation for IIR not yet implemented\n";
    case kVhdlFloatQuantization:
      return "no VHDL generation for float quantization\n";
    case kNotCalculated:
      return "No filter is alreday calculated\n";
    case kSpeedTapsEven:
      return "NTap must be odd for SPEED VHDL optimization\n";
    case kSizeTooFewTaps:
      return "NTap must be at least 2 for SIZE VHDL optimization\n";
    case kSpeedTooFewTaps:
      return "NTap must be at least 3 for SPEED VHDL optimization\n";
    case kDesignMismatch:
      return "The filter design does not match its parameters!\n";
    case kVerilogBadArchitecture:
      return "The Verilog architecture must be SIZE or SPEED\n";
    case kVerilogIirClass:
      return "Verilog generation for IIR not yet implemented\n";
    case kVerilogFloatQuantization:
      return "no Verilog generation for float quantization\n";
    case kVerilogSpeedTapsEven:
      return "NTap must be odd for SPEED Verilog optimization\n";
    case kVerilogSizeTooFewTaps:
      return "NTap must be at least 2 for SIZE Verilog optimization\n";
    case kVerilogSpeedTooFewTaps:
      return "NTap must be at least 3 for SPEED Verilog optimization\n";
    case kHdlResolutionRange:
      return "The Signal Resolution must be 2 to 32 bits\n";
    case kTestbenchExtension:
      return "The testbench file name must end in .vhd, .vhdl or .v\n";
    case kTapsIirClass:
      return "FPGA coefficient files hold the taps of an FIR filter; an IIR design has none\n";
    case kTapsFloatQuantization:
      return "FPGA coefficient files hold integer taps; quantize the design to 8 or 16 bits\n";
    case kTapOutsideWord:
      return "A tap equals the full scale and does not fit the signed coefficient word\n";
    case kSectionsFirClass:
      return "Second-order sections are made from the poles of an IIR filter; an FIR design has "
             "none\n";
    case kSectionsQuantized:
      return "Second-order sections are written for float designs; the 8-bit and 16-bit "
             "coefficients belong to the direct form\n";
    case kSectionsNotFound:
      return "The filter cannot be split into float second-order sections!\n";
    default:
      return {};
  }
}

}  // namespace qv
