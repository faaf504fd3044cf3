#include "cli/codegen_outputs.h"

#include <utility>

#include <CLI/CLI.hpp>

#include "cli/outputs.h"
#include "codegen/c_code_generator.h"
#include "codegen/coefficient_export.h"
#include "codegen/output_codes.h"
#include "codegen/resource_estimate.h"
#include "codegen/testbench_generator.h"
#include "codegen/verilog_generator.h"
#include "codegen/vhdl_generator.h"

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

OutputCode WriteC(const std::string& path, const Calculation& c) {
  return GenerateCCode(c.spec, c.scale, c.design.numerator, c.design.denominator, c.design.firTaps,
                       c.design.shift, path);
}

// The checks of both hardware outputs before the estimate is made for the file's header.
OutputCode CheckHardware(const CodegenOptions& options, const Calculation& c) {
  if (const OutputCode code = CheckHdlDesign(c.spec, true); code != OutputCode::Ok) {
    return code;
  }
  return CheckHdlArchitecture(c.spec, options.architecture);
}

OutputCode WriteVhdl(const CodegenOptions& options, const Calculation& c) {
  if (const OutputCode code = CheckHardware(options, c); code != OutputCode::Ok) {
    return code;
  }
  const EstimateReport estimate = ReportEstimate(c.spec, options.architecture, options.resolution);
  return GenerateVhdlCode(c.spec, c.scale, c.design.denominator, c.design.firTaps, c.design.shift,
                          options.architecture, estimate.HeaderComment(), *options.vhdlPath);
}

OutputCode WriteVerilog(const CodegenOptions& options, const Calculation& c) {
  if (const OutputCode code = CheckHardware(options, c); code != OutputCode::Ok) {
    return code;
  }
  const EstimateReport estimate = ReportEstimate(c.spec, options.architecture, options.resolution);
  return GenerateVerilogCode(c.spec, c.scale, c.design.denominator, c.design.firTaps,
                             c.design.shift, options.architecture, options.resolution,
                             estimate.CommentLines("// "), *options.verilogPath);
}

// The testbench's header names the hardware file of its own language.
OutputCode WriteTestbench(const CodegenOptions& options, const Calculation& c) {
  const std::optional<std::string>& hardware =
      TestbenchLanguage(*options.testbenchPath) == HdlLanguage::Verilog ? options.verilogPath
                                                                        : options.vhdlPath;
  return GenerateTestbench(c.spec, c.design.firTaps, c.design.shift, options.architecture,
                           options.resolution, hardware.value_or(""), *options.testbenchPath);
}

// The estimate belongs to the VHDL command, so it is refused for what that command refuses
// before the architecture is chosen.
OutputCode PrintEstimate(const CodegenOptions& options, const Calculation& c, std::ostream& out) {
  if (const OutputCode code = CheckHdlDesign(c.spec, true); code != OutputCode::Ok) {
    return code;
  }
  out << ReportEstimate(c.spec, options.architecture, options.resolution).PlainText();
  // The files after it may be written through the standard output (/dev/stdout).
  out.flush();
  return OutputCode::Ok;
}

// A coefficient export of a calculated design: refused by its format's checks before any file
// is touched.
OutputCode WriteCoefficients(CoefficientFormat format, const std::string& path,
                             const Calculation& c) {
  if (const OutputCode code = CheckCoefficientExport(format, c.spec, true);
      code != OutputCode::Ok) {
    return code;
  }
  return ExportCoefficients(format, c.spec, c.scale, c.design, path);
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
  bool ok = true;
  if (options.cPath) {
    ok = Report(WriteC(*options.cPath, calculated), err) && ok;
  }
  bool hardwareWritten = false;
  if (options.vhdlPath) {
    const bool written = Report(WriteVhdl(options, calculated), err);
    hardwareWritten = written;
    ok = written && ok;
  }
  if (options.verilogPath) {
    const bool written = Report(WriteVerilog(options, calculated), err, HdlLanguage::Verilog);
    hardwareWritten = hardwareWritten || written;
    ok = written && ok;
  }
  if (options.testbenchPath && hardwareWritten) {
    ok = Report(WriteTestbench(options, calculated), err,
                TestbenchLanguage(*options.testbenchPath).value_or(HdlLanguage::Vhdl)) &&
         ok;
  }
  if (options.estimate) {
    ok = Report(PrintEstimate(options, calculated, out), err) && ok;
  }
  const std::pair<CoefficientFormat, const std::optional<std::string>&> exports[] = {
      {CoefficientFormat::Coe, options.coePath},
      {CoefficientFormat::Mif, options.mifPath},
      {CoefficientFormat::Csv, options.csvPath},
      {CoefficientFormat::Sos, options.sosPath}};
  for (const auto& [format, path] : exports) {
    if (path) {
      ok = Report(WriteCoefficients(format, *path, calculated), err) && ok;
    }
  }
  return ok;
}

}  // namespace qv::cli
