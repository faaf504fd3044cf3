#include "cli/codegen_outputs.h"

#include <CLI/CLI.hpp>

#include "cli/outputs.h"
#include "codegen/c_code_generator.h"
#include "codegen/output_codes.h"
#include "codegen/resource_estimate.h"
#include "codegen/vhdl_generator.h"

namespace qv::cli {
namespace {

// Shows the message of a failed output; true when `code` is success.
bool Report(int code, std::ostream& err) {
  if (code == kOutputOk) {
    return true;
  }
  err << OutputMessage(code);
  return false;
}

int WriteC(const std::string& path, const CalculatedDesign& c) {
  return GenerateCCode(c.spec, c.scale, c.design.numerator, c.design.denominator, c.design.firTaps,
                       c.design.shift, path);
}

int WriteVhdl(const CodegenOptions& options, const CalculatedDesign& c) {
  if (const int code = CheckVhdlDesign(c.spec, true); code != kOutputOk) {
    return code;
  }
  if (const int code = CheckVhdlArchitecture(c.spec, options.architecture); code != kOutputOk) {
    return code;
  }
  const EstimateReport estimate = ReportEstimate(c.spec, options.architecture, options.resolution);
  return GenerateVhdlCode(c.spec, c.scale, c.design.denominator, c.design.firTaps, c.design.shift,
                          options.architecture, estimate.HeaderComment(), *options.vhdlPath);
}

// The estimate belongs to the VHDL command, so it is refused for what that command refuses
// before the architecture is chosen.
int PrintEstimate(const CodegenOptions& options, const CalculatedDesign& c, std::ostream& out) {
  if (const int code = CheckVhdlDesign(c.spec, true); code != kOutputOk) {
    return code;
  }
  out << ReportEstimate(c.spec, options.architecture, options.resolution).PlainText();
  return kOutputOk;
}

}  // namespace

void AddCodegenOptions(CLI::App& app, CodegenOptions& options) {
  app.add_option_function<std::string>(
         "--c", [&options](const std::string& path) { options.cPath = path; },
         "write the C filter function of the calculated design")
      ->type_name("FILE.c");
  app.add_option_function<std::string>(
         "--vhdl", [&options](const std::string& path) { options.vhdlPath = path; },
         "write the VHDL entity fir of a quantised FIR design")
      ->type_name("FILE.vhd");
  app.add_option_function<std::string>(
         "--arch",
         [&options](const std::string& name) {
           options.architecture =
               static_cast<int>(name == "speed" ? VhdlArchitecture::Speed : VhdlArchitecture::Size);
         },
         "VHDL architecture: size (one multiplier) or speed (one sample per clock); default size")
      ->check(CLI::IsMember({"size", "speed"}).description(""))
      ->type_name("size|speed");
  app.add_option("--resolution", options.resolution,
                 "signal width in bits for the resource estimate; default 16")
      ->type_name("BITS");
  app.add_flag("--estimate", options.estimate,
               "print the resource estimate of the VHDL architecture on stdout");
}

bool WriteCodegenOutputs(const CodegenOptions& options, const CalculatedDesign& calculated,
                         std::ostream& out, std::ostream& err) {
  bool ok = true;
  if (options.cPath) {
    ok = Report(WriteC(*options.cPath, calculated), err) && ok;
  }
  if (options.vhdlPath) {
    ok = Report(WriteVhdl(options, calculated), err) && ok;
  }
  if (options.estimate) {
    ok = Report(PrintEstimate(options, calculated, out), err) && ok;
  }
  return ok;
}

}  // namespace qv::cli
