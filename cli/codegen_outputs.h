// The generator outputs of quorvanel-cli: --c FILE.c, --vhdl FILE.vhd and --verilog FILE.v with
// --arch and --resolution, --testbench FILE with either, --estimate, which prints the resource
// estimate of the hardware architecture, and the coefficient exports --coe, --mif, --csv and
// --sos.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "codegen/hdl_architecture.h"

namespace CLI {
class App;
}

namespace qv {
struct Calculation;
}

namespace qv::cli {

struct CodegenOptions {
  std::optional<std::string> cPath;                      // --c FILE.c
  std::optional<std::string> vhdlPath;                   // --vhdl FILE.vhd
  std::optional<std::string> verilogPath;                // --verilog FILE.v
  std::optional<std::string> testbenchPath;              // --testbench FILE (.vhd, .vhdl or .v)
  HdlArchitecture architecture = HdlArchitecture::Size;  // --arch size|speed
  int resolution = kDefaultHdlWidth;   // --resolution BITS: W of the Verilog module, the testbench
                                       // and the estimate
  bool estimate = false;               // --estimate
  std::optional<std::string> coePath;  // --coe FILE.coe
  std::optional<std::string> mifPath;  // --mif FILE.mif
  std::optional<std::string> csvPath;  // --csv FILE.csv
  std::optional<std::string> sosPath;  // --sos FILE.c
};

// Declares --c, --vhdl, --verilog, --testbench, --arch, --resolution, --estimate, --coe, --mif,
// --csv and --sos on `app`, writing into `options`; --testbench needs --vhdl or --verilog.
void AddCodegenOptions(CLI::App& app, CodegenOptions& options);

// Writes the requested C file, then the VHDL file, the Verilog file and the testbench, then
// prints the estimate on `out` (one line each, "\n" ends), then writes the .coe, .mif, .csv and
// sections files. A refusal or a writer failure writes its message to `err` (the VHDL and
// Verilog checks in order: IIR class, float quantisation, then for the architecture an even tap
// count for speed and too few taps; Verilog then the resolution); the other outputs still run.
// The testbench is written only when the hardware file it belongs to was. Returns false when
// any output was refused or failed.
bool WriteCodegenOutputs(const CodegenOptions& options, const Calculation& calculated,
                         std::ostream& out, std::ostream& err);

}  // namespace qv::cli
