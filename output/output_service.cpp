#include "output/output_service.h"

#include <span>
#include <sstream>

#include "codegen/c_code_generator.h"
#include "codegen/coefficient_csv.h"
#include "codegen/fixed_point_sections_code.h"
#include "codegen/fpga_coefficient_files.h"
#include "codegen/resource_estimate.h"
#include "codegen/sos_code_generator.h"
#include "codegen/testbench_generator.h"
#include "codegen/verilog_generator.h"
#include "codegen/vhdl_generator.h"
#include "export/graph_export.h"
#include "fileio/design_file.h"
#include "fileio/output_file.h"

namespace qv {
namespace {

// One refusal of a format: the code it returns when the calculation or the options fail it, or
// Ok. `readsOptions` marks the checks that need the options, which the desktop asks for only
// after the design's checks passed.
struct OutputCheck {
  OutputCode (*refusal)(const Calculation&, const OutputOptions&);
  bool readsOptions;
};

OutputCode NotCalculated(const Calculation&, const OutputOptions& options) {
  return options.calculated ? OutputCode::Ok : OutputCode::NotCalculated;
}

OutputCode HardwareIir(const Calculation& c, const OutputOptions&) {
  return c.spec.filterClass == FilterClass::Iir ? OutputCode::IirClass : OutputCode::Ok;
}

OutputCode HardwareFloat(const Calculation& c, const OutputOptions&) {
  return c.spec.quantization == Quantization::Float ? OutputCode::FloatQuantization
                                                    : OutputCode::Ok;
}

OutputCode UnknownArchitecture(const Calculation&, const OutputOptions& options) {
  return options.architecture == HdlArchitecture::Size ||
                 options.architecture == HdlArchitecture::Speed
             ? OutputCode::Ok
             : OutputCode::BadArchitecture;
}

OutputCode SpeedTapsEven(const Calculation& c, const OutputOptions& options) {
  return options.architecture == HdlArchitecture::Speed && c.spec.taps % 2 == 0
             ? OutputCode::SpeedTapsEven
             : OutputCode::Ok;
}

OutputCode SizeTooFewTaps(const Calculation& c, const OutputOptions& options) {
  return options.architecture == HdlArchitecture::Size && c.spec.taps < kMinSizeTaps
             ? OutputCode::SizeTooFewTaps
             : OutputCode::Ok;
}

OutputCode SpeedTooFewTaps(const Calculation& c, const OutputOptions& options) {
  return options.architecture == HdlArchitecture::Speed && c.spec.taps < kMinSpeedTaps
             ? OutputCode::SpeedTooFewTaps
             : OutputCode::Ok;
}

OutputCode ResolutionRange(const Calculation&, const OutputOptions& options) {
  return options.resolution < kMinHdlWidth || options.resolution > kMaxHdlWidth
             ? OutputCode::ResolutionRange
             : OutputCode::Ok;
}

OutputCode TapsIir(const Calculation& c, const OutputOptions&) {
  return c.spec.filterClass == FilterClass::Iir ? OutputCode::TapsIirClass : OutputCode::Ok;
}

OutputCode TapsFloat(const Calculation& c, const OutputOptions&) {
  return c.spec.quantization == Quantization::Float ? OutputCode::TapsFloatQuantization
                                                    : OutputCode::Ok;
}

OutputCode SectionsFir(const Calculation& c, const OutputOptions&) {
  return c.spec.filterClass == FilterClass::Fir ? OutputCode::SectionsFirClass : OutputCode::Ok;
}

OutputCode SectionsQuantized(const Calculation& c, const OutputOptions&) {
  return c.spec.quantization != Quantization::Float ? OutputCode::SectionsQuantized
                                                    : OutputCode::Ok;
}

// The refusals of each format in the order users see them.
constexpr OutputCheck kCalculatedChecks[] = {{NotCalculated, false}};
constexpr OutputCheck kVhdlChecks[] = {
    {HardwareIir, false},         {HardwareFloat, false},  {NotCalculated, false},
    {UnknownArchitecture, true},  {SpeedTapsEven, true},   {SizeTooFewTaps, true},
    {SpeedTooFewTaps, true},
};
constexpr OutputCheck kVerilogChecks[] = {
    {HardwareIir, false},        {HardwareFloat, false}, {NotCalculated, false},
    {UnknownArchitecture, true}, {SpeedTapsEven, true},  {SizeTooFewTaps, true},
    {SpeedTooFewTaps, true},     {ResolutionRange, true},
};
constexpr OutputCheck kTapsChecks[] = {
    {TapsIir, false}, {TapsFloat, false}, {NotCalculated, false}};
constexpr OutputCheck kSectionsChecks[] = {
    {SectionsFir, false}, {SectionsQuantized, false}, {NotCalculated, false}};

// Writes the checked calculation to the path; returns the writer's own refusal or the file
// step's code.
using OutputWriter = OutputCode (*)(const Calculation&, const OutputOptions&,
                                    const std::string&);

OutputCode FileStep(OutputFileResult result) {
  switch (result) {
    case OutputFileResult::Written:
      return OutputCode::Ok;
    case OutputFileResult::NotCreated:
      return OutputCode::NotCreated;
    case OutputFileResult::NotClosed:
      break;
  }
  return OutputCode::NotClosed;
}

// A fixed-point section cascade is written as its own bit-exact C; every other design as the
// direct-form function.
OutputCode WriteC(const Calculation& c, const OutputOptions&, const std::string& path) {
  if (UsesFixedPointSections(c.spec)) {
    std::ostringstream text;
    if (const OutputCode code = WriteFixedPointSectionsCode(text, c.spec, c.scale, c.design);
        code != OutputCode::Ok) {
      return code;
    }
    return FileStep(WriteOutputFile(path, text.str()));
  }
  return GenerateCCode(c.spec, c.scale, c.design.numerator, c.design.denominator,
                       c.design.firTaps, c.design.shift, path);
}

OutputCode WriteVhdl(const Calculation& c, const OutputOptions& options,
                     const std::string& path) {
  const EstimateReport estimate = ReportEstimate(c.spec, options.architecture, options.resolution);
  return GenerateVhdlCode(c.spec, c.scale, c.design.denominator, c.design.firTaps, c.design.shift,
                          options.architecture, estimate.CommentLines("-- "), path);
}

OutputCode WriteVerilog(const Calculation& c, const OutputOptions& options,
                        const std::string& path) {
  const EstimateReport estimate = ReportEstimate(c.spec, options.architecture, options.resolution);
  return GenerateVerilogCode(c.spec, c.scale, c.design.denominator, c.design.firTaps,
                             c.design.shift, options.architecture, options.resolution,
                             estimate.CommentLines("// "), path);
}

OutputCode WriteTestbench(const Calculation& c, const OutputOptions& options,
                          const std::string& path) {
  return GenerateTestbench(c.spec, c.design.firTaps, c.design.shift, options.architecture,
                           options.resolution, options.hardwarePath, path);
}

OutputCode WriteCoe(const Calculation& c, const OutputOptions&, const std::string& path) {
  return GenerateCoeFile(c.spec, c.scale, c.design, path);
}

OutputCode WriteMif(const Calculation& c, const OutputOptions&, const std::string& path) {
  return GenerateMifFile(c.spec, c.scale, c.design, path);
}

OutputCode WriteCsv(const Calculation& c, const OutputOptions&, const std::string& path) {
  return GenerateCoefficientCsv(c.spec, c.design, path);
}

OutputCode WriteSections(const Calculation& c, const OutputOptions&, const std::string& path) {
  return GenerateSosCode(c.spec, c.scale, c.design, path);
}

OutputCode WriteGif(const Calculation& c, const OutputOptions&, const std::string& path) {
  return ExportGraphs(c.spec, c.scale, c.responses, path.c_str());
}

OutputCode WriteDesignFile(const Calculation& c, const OutputOptions&, const std::string& path) {
  return SaveDesignFile(path, c.spec) ? OutputCode::Ok : OutputCode::DesignFileNotSaved;
}

struct OutputFormatEntry {
  OutputFormat format;
  std::string_view extension;
  std::string_view description;  // for the coefficient exports' save dialog
  std::span<const OutputCheck> checks;
  OutputWriter write;
};

// Every format the engine writes. A new format is one entry here and one writer.
constexpr OutputFormatEntry kOutputFormats[] = {
    {OutputFormat::C, ".c", "", kCalculatedChecks, WriteC},
    {OutputFormat::Vhdl, ".vhd", "", kVhdlChecks, WriteVhdl},
    {OutputFormat::Verilog, ".v", "", kVerilogChecks, WriteVerilog},
    // The testbench of either language: the VHDL file's checks and the signal width.
    {OutputFormat::Testbench, ".vhd", "", kVerilogChecks, WriteTestbench},
    {OutputFormat::Coe, ".coe", "FIR compiler coefficients", kTapsChecks, WriteCoe},
    {OutputFormat::Mif, ".mif", "Memory initialisation", kTapsChecks, WriteMif},
    {OutputFormat::Csv, ".csv", "Comma-separated values", kCalculatedChecks, WriteCsv},
    {OutputFormat::Sections, ".c", "Second-order sections in C", kSectionsChecks,
     WriteSections},
    {OutputFormat::Gif, ".gif", "", kCalculatedChecks, WriteGif},
    {OutputFormat::DesignFile, ".qvd", "", {}, WriteDesignFile},
};

const OutputFormatEntry& Entry(OutputFormat format) {
  for (const OutputFormatEntry& entry : kOutputFormats) {
    if (entry.format == format) {
      return entry;
    }
  }
  return kOutputFormats[0];
}

// The first refusal among the checks of `format`; only those that read the design when
// `designOnly`.
OutputCode FirstRefusal(OutputFormat format, const Calculation& calculation,
                        const OutputOptions& options, bool designOnly) {
  for (const OutputCheck& check : Entry(format).checks) {
    if (designOnly && check.readsOptions) {
      continue;
    }
    if (const OutputCode code = check.refusal(calculation, options); code != OutputCode::Ok) {
      return code;
    }
  }
  return OutputCode::Ok;
}

}  // namespace

std::string_view OutputExtension(OutputFormat format, HdlLanguage language) {
  if (format == OutputFormat::Testbench && language == HdlLanguage::Verilog) {
    return Entry(OutputFormat::Verilog).extension;
  }
  return Entry(format).extension;
}

std::string_view OutputDescription(OutputFormat format) { return Entry(format).description; }

OutputCode CheckDesign(OutputFormat format, const Calculation& calculation,
                       const OutputOptions& options) {
  return FirstRefusal(format, calculation, options, true);
}

OutputCode Check(OutputFormat format, const Calculation& calculation,
                 const OutputOptions& options) {
  return FirstRefusal(format, calculation, options, false);
}

OutputCode Write(OutputFormat format, const Calculation& calculation,
                 const OutputOptions& options, const std::string& path) {
  if (format == OutputFormat::Testbench && TestbenchLanguage(path) != options.language) {
    return OutputCode::TestbenchExtension;
  }
  if (const OutputCode code = Check(format, calculation, options); code != OutputCode::Ok) {
    return code;
  }
  return Entry(format).write(calculation, options, path);
}

OutputCode WriteEstimate(const Calculation& calculation, const OutputOptions& options,
                         std::ostream& out) {
  if (const OutputCode code = CheckDesign(OutputFormat::Vhdl, calculation, options);
      code != OutputCode::Ok) {
    return code;
  }
  out << ReportEstimate(calculation.spec, options.architecture, options.resolution).PlainText();
  return OutputCode::Ok;
}

}  // namespace qv
