// The self-checking testbench of a generated filter, in VHDL or Verilog: the top level `fir_tb`
// drives the module `fir` of the same design, architecture and width with vectors held in the
// file, compares every output sample with the exact integer model of the hardware, stops at the
// first mismatch with a failure, and prints "PASS <count> samples checked" when all agree.
#pragma once

#include <optional>
#include <ostream>
#include <string_view>

#include "codegen/hdl_architecture.h"
#include "codegen/hdl_language.h"
#include "codegen/output_codes.h"
#include "engine/calculate.h"

namespace qv {

// The language of a testbench file by its extension: ".vhd" or ".vhdl" VHDL, ".v" Verilog;
// nothing for any other name.
[[nodiscard]] std::optional<HdlLanguage> TestbenchLanguage(std::string_view path);

// What a testbench is written for besides the design.
struct TestbenchSetup {
  HdlLanguage language = HdlLanguage::Vhdl;
  HdlArchitecture architecture = HdlArchitecture::Size;
  int width = kDefaultHdlWidth;  // W, the signal width in bits (kMinHdlWidth..kMaxHdlWidth)
  // The file of the module fir that the testbench tests, in the testbench's language, for the
  // run line of its header (empty: none was written), and the testbench's own file.
  std::string_view hardwarePath;
  std::string_view benchPath;
};

// Writes the testbench of a calculated, quantised FIR design to `out`, reading spec.taps taps
// h[0..taps-1] of design.firTaps (whole numbers, as handed to the VHDL and Verilog generators)
// and design.shift, the bits the output drops (0..62). The output service refuses what users
// may ask for first. Returns Ok, or DesignMismatch, writing nothing, when the records do not
// describe such a design, the architecture cannot express it or the width is out of range.
// Stream failures are left to the caller.
[[nodiscard]] OutputCode WriteTestbench(std::ostream& out, const Calculation& calculation,
                                        const TestbenchSetup& setup);

}  // namespace qv
