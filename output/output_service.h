// The one output service of both front ends: every file Quorvanel writes from a calculated
// design is a format of one table, with its extension, its refusals in the order users see them
// and its writer. quorvanel-cli and the desktop's Output commands name a format, ask this
// service, and show the message of the code it returns.
#pragma once

#include <array>
#include <ostream>
#include <string>
#include <string_view>

#include "codegen/hdl_architecture.h"
#include "codegen/hdl_language.h"
#include "codegen/output_codes.h"
#include "engine/calculate.h"
#include "fileio/design_file.h"

namespace qv {

enum class OutputFormat : int {
  C,           // the C filter function (direct form, or the fixed-point sections)
  Vhdl,        // the VHDL entity fir
  Verilog,     // the Verilog module fir
  Testbench,   // the self-checking testbench of the VHDL or Verilog file
  Coe,         // the taps as an FPGA FIR compiler .coe file
  Mif,         // the taps as a memory initialisation file
  Csv,         // the coefficients as comma-separated values
  Sections,    // a float IIR design as C second-order sections
  Gif,         // the picture of the six graphs
  DesignFile,  // the specification as a design file
};

// What a format may read besides the calculation; each format reads only its own fields.
struct OutputOptions {
  // False when the design no longer belongs to the specification (the desktop's form changed
  // it since the last calculation).
  bool calculated = true;
  HdlArchitecture architecture = HdlArchitecture::Size;  // VHDL, Verilog, testbench, estimate
  int resolution =
      kDefaultHdlWidth;  // signal bits: Verilog, testbench (kMinHdlWidth..kMaxHdlWidth), estimate
  // The testbench's language; its file name must carry that language's extension.
  HdlLanguage language = HdlLanguage::Vhdl;
  std::string hardwarePath;  // testbench: the hardware file its run line names (may be empty)
  // The design file: what an opened file held for a later version, written again.
  KeptChunks keptChunks;
};

// The file extension of `format`, with its dot: ".c", ".vhd", ".v", ".coe", ...; the testbench
// takes its language's.
[[nodiscard]] std::string_view OutputExtension(OutputFormat format,
                                               HdlLanguage language = HdlLanguage::Vhdl);

// How a save dialog offers the coefficient exports: "FIR compiler coefficients" and so on;
// empty for the formats that have a command of their own.
[[nodiscard]] std::string_view OutputDescription(OutputFormat format);

// The coefficient exports in the order a save dialog lists them.
inline constexpr std::array kCoefficientOutputs{OutputFormat::Coe, OutputFormat::Mif,
                                                OutputFormat::Csv, OutputFormat::Sections};

// The checks of `format` that read only the design, in their order: the desktop makes them
// before it asks for the options. Ok when none refuses.
[[nodiscard]] OutputCode CheckDesign(OutputFormat format, const Calculation& calculation,
                                     const OutputOptions& options);

// Every check of `format`, in its order (the design's first, then the options'); Ok when the
// calculation can be written in that format with these options.
[[nodiscard]] OutputCode Check(OutputFormat format, const Calculation& calculation,
                               const OutputOptions& options);

// Checks, then writes `format` to `path`, which is created or replaced whole or not at all.
// Returns Ok; the first refusal of Check; a refusal of the writer that only the coefficients
// show (DesignMismatch, TapOutsideWord, SectionsNotFound, PictureLibraryMissing); for the
// testbench TestbenchExtension, first, when the name's extension is not options.language's;
// or NotCreated or NotClosed from the file step (DesignFileNotSaved for the design file).
[[nodiscard]] OutputCode Write(OutputFormat format, const Calculation& calculation,
                               const OutputOptions& options, const std::string& path);

// The resource estimate of options.architecture and options.resolution as plain lines on
// `out`; refused, writing nothing, by the design checks of the VHDL file.
[[nodiscard]] OutputCode WriteEstimate(const Calculation& calculation, const OutputOptions& options,
                                       std::ostream& out);

}  // namespace qv
