#include "cli/codegen_outputs.h"

#include <utility>

#include <CLI/CLI.hpp>

#include "codegen/output_codes.h"
#include "codegen/testbench_generator.h"
#include "output/output_service.h"

namespace qv::cli {
namespace {

// Shows the message of a failed output, in the words of `language` where it names one; true
// when `code` is success.
bool Report(OutputCode code, std::ostream& err, HdlLanguage language = HdlLanguage::Vhdl) {
  if (code == OutputCode::Ok) {
    return true;
  }
  err << OutputMessage(code, language);
  return false;
}

}  // namespace

void AddCodegenOptions(CLI::App& app, CodegenOptions& options) {
  app.add_option_function<std::string>(
         "--c", [&options](const std::string& path) { options.cPath = path; },
         "write the C filter function of the calculated design")
      ->type_name("FILE.c");
  CLI::Option* vhdl =
      app.add_option_function<std::string>(
             "--vhdl", [&options](const std::string& path) { options.vhdlPath = path; },
             "write the VHDL entity fir of a quantised FIR design")
          ->type_name("FILE.vhd");
  CLI::Option* verilog =
      app.add_option_function<std::string>(
             "--verilog", [&options](const std::string& path) { options.verilogPath = path; },
             "write the Verilog module fir of a quantised FIR design")
          ->type_name("FILE.v");
  CLI::Option* testbench =
      app.add_option_function<std::string>(
             "--testbench", [&options](const std::string& path) { options.testbenchPath = path; },
             "with --vhdl or --verilog: also write a self-checking testbench, in VHDL for .vhd or "
             ".vhdl, in Verilog for .v")
          ->type_name("FILE");
  // A testbench is written for the hardware file of the same run, in either language.
  app.parse_complete_callback([vhdl, verilog, testbench] {
    if (testbench->count() > 0 && vhdl->count() == 0 && verilog->count() == 0) {
      throw CLI::ValidationError("--testbench", "needs --vhdl or --verilog");
    }
  });
  app.add_option_function<std::string>(
         "--arch",
         [&options](const std::string& name) {
           options.architecture = name == "speed" ? HdlArchitecture::Speed : HdlArchitecture::Size;
         },
         "VHDL and Verilog architecture: size (one multiplier) or speed (one sample per clock); "
         "default size")
      ->check(CLI::IsMember({"size", "speed"}).description(""))
      ->type_name("size|speed");
  app.add_option("--resolution", options.resolution,
                 "signal width in bits: of the Verilog module and the testbench (2 to 32), and "
                 "for the resource estimate; default 16")
      ->type_name("BITS");
  app.add_flag("--estimate", options.estimate,
               "print the resource estimate of the VHDL architecture on stdout");
  app.add_option_function<std::string>(
         "--coe", [&options](const std::string& path) { options.coePath = path; },
         "write the taps of a quantised FIR design as an FPGA FIR compiler .coe file")
      ->type_name("FILE.coe");
  app.add_option_function<std::string>(
         "--mif", [&options](const std::string& path) { options.mifPath = path; },
         "write the taps of a quantised FIR design as a memory initialisation file")
      ->type_name("FILE.mif");
  app.add_option_function<std::string>(
         "--csv", [&options](const std::string& path) { options.csvPath = path; },
         "write the coefficients of the calculated design as comma-separated values")
      ->type_name("FILE.csv");
  app.add_option_function<std::string>(
         "--sos", [&options](const std::string& path) { options.sosPath = path; },
         "write a float IIR design as C second-order sections (CMSIS-DSP table and iir_sos)")
      ->type_name("FILE.c");
}

bool WriteCodegenOutputs(const CodegenOptions& options, const Calculation& calculated,
                         std::ostream& out, std::ostream& err) {
  qv::OutputOptions hardware;
  hardware.architecture = options.architecture;
  hardware.resolution = options.resolution;
  const auto write = [&](OutputFormat format, const std::optional<std::string>& path,
                         HdlLanguage language = HdlLanguage::Vhdl) {
    return !path || Report(Write(format, calculated, hardware, *path), err, language);
  };
  bool ok = write(OutputFormat::C, options.cPath);
  const bool vhdlWritten = write(OutputFormat::Vhdl, options.vhdlPath);
  const bool verilogWritten =
      write(OutputFormat::Verilog, options.verilogPath, HdlLanguage::Verilog);
  ok = ok && vhdlWritten && verilogWritten;
  // The testbench belongs to a hardware file of the same run; its name gives its language.
  if (options.testbenchPath &&
      ((options.vhdlPath && vhdlWritten) || (options.verilogPath && verilogWritten))) {
    hardware.language = TestbenchLanguage(*options.testbenchPath).value_or(HdlLanguage::Vhdl);
    hardware.hardwarePath =
        (hardware.language == HdlLanguage::Verilog ? options.verilogPath : options.vhdlPath)
            .value_or("");
    ok = write(OutputFormat::Testbench, options.testbenchPath, hardware.language) && ok;
  }
  if (options.estimate) {
    ok = Report(WriteEstimate(calculated, hardware, out), err) && ok;
    // The files after it may be written through the standard output (/dev/stdout).
    out.flush();
  }
  for (const auto& [format, path] : {std::pair{OutputFormat::Coe, &options.coePath},
                                     std::pair{OutputFormat::Mif, &options.mifPath},
                                     std::pair{OutputFormat::Csv, &options.csvPath},
                                     std::pair{OutputFormat::Sections, &options.sosPath}}) {
    ok = write(format, *path) && ok;
  }
  return ok;
}

}  // namespace qv::cli
