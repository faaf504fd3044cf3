// The generator outputs of quorvanel-cli: --c FILE.c, --vhdl FILE.vhd with --arch and
// --resolution, --estimate, which prints the resource estimate of the VHDL architecture, and
// the coefficient exports --coe, --mif, --csv and --sos.
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace CLI {
class App;
}

namespace qv::cli {

struct CalculatedDesign;

struct CodegenOptions {
  std::optional<std::string> cPath;     // --c FILE.c
  std::optional<std::string> vhdlPath;  // --vhdl FILE.vhd
  int architecture = 1;                 // --arch size|speed: 1 = Size, 2 = Speed
  int resolution = 16;                  // --resolution BITS: signal width of the estimate
  bool estimate = false;                // --estimate
  std::optional<std::string> coePath;   // --coe FILE.coe
  std::optional<std::string> mifPath;   // --mif FILE.mif
  std::optional<std::string> csvPath;   // --csv FILE.csv
  std::optional<std::string> sosPath;   // --sos FILE.c
};

// Declares --c, --vhdl, --arch, --resolution, --estimate, --coe, --mif, --csv and --sos on
// `app`, writing into `options`.
void AddCodegenOptions(CLI::App& app, CodegenOptions& options);

// Writes the requested C file, then the VHDL file, then prints the estimate on `out` (one line
// each, "\n" ends), then writes the .coe, .mif, .csv and sections files. A refusal or a writer failure writes its message to `err` (the VHDL checks
// in order: IIR class, float quantisation, then for the architecture an even tap count for
// speed and too few taps); the other outputs still run. Returns false when any output was
// refused or failed.
bool WriteCodegenOutputs(const CodegenOptions& options, const CalculatedDesign& calculated,
                         std::ostream& out, std::ostream& err);

}  // namespace qv::cli
