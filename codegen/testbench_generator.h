// The self-checking testbench of a generated filter, in VHDL or Verilog: the top level `fir_tb`
// drives the module `fir` of the same design, architecture and width with vectors held in the
// file, compares every output sample with the exact integer model of the hardware, stops at the
// first mismatch with a failure, and prints "PASS <count> samples checked" when all agree.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "codegen/hdl_architecture.h"
#include "codegen/hdl_language.h"
#include "records/filter_spec.h"

namespace qv {

// The language of a testbench file by its extension: ".vhd" or ".vhdl" VHDL, ".v" Verilog;
// nothing for any other name.
[[nodiscard]] std::optional<HdlLanguage> TestbenchLanguage(std::string_view path);

// Writes the testbench of a calculated, quantised FIR design to `path`, created or replaced
// whole (OutputFile); the language follows the extension (TestbenchLanguage).
//   spec:         the validated specification; spec.taps taps.
//   firTaps:      h[0..taps-1], whole numbers, as handed to the VHDL and Verilog generators.
//   shift:        the bits the output drops (0..62).
//   architecture: Size or Speed.
//   width:        W, the signal width in bits (kMinHdlWidth..kMaxHdlWidth).
// Returns Ok; before anything is written TestbenchExtension for another extension, then the
// refusals of the language's generator in its order (architecture, design, tap count),
// DesignMismatch, ResolutionRange or NotCreated; NotClosed when a write, flush, close or the
// replacement fails. The codes take the numbers and messages of the file's language.
[[nodiscard]] OutputCode GenerateTestbench(const FilterSpec& spec, std::span<const double> firTaps,
                                           int shift, HdlArchitecture architecture, int width,
                                           const std::string& path);

}  // namespace qv
