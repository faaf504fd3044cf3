#include "output/output_service.h"

#include <array>
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
#include "fileio/design_file.h"
#include "fileio/output_file.h"
#include "picture/graph_export.h"

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
constexpr auto kCalculatedChecks = std::to_array<OutputCheck>({{NotCalculated, false}});
// An architecture outside the list comes first: no other check can be read without one.
constexpr auto kVhdlChecks = std::to_array<OutputCheck>({
    {UnknownArchitecture, true},
    {HardwareIir, false},
    {HardwareFloat, false},
    {NotCalculated, false},
    {SpeedTapsEven, true},
    {SizeTooFewTaps, true},
    {SpeedTooFewTaps, true},
});
constexpr auto kVerilogChecks = std::to_array<OutputCheck>({
    {UnknownArchitecture, true},
    {HardwareIir, false},
    {HardwareFloat, false},
    {NotCalculated, false},
    {SpeedTapsEven, true},
    {SizeTooFewTaps, true},
    {SpeedTooFewTaps, true},
    {ResolutionRange, true},
});
constexpr auto kTapsChecks =
    std::to_array<OutputCheck>({{TapsIir, false}, {TapsFloat, false}, {NotCalculated, false}});
constexpr auto kSectionsChecks = std::to_array<OutputCheck>(
    {{SectionsFir, false}, {SectionsQuantized, false}, {NotCalculated, false}});

// Writes the checked calculation as the format's text to `out`; returns Ok or the writer's own
// refusal, when nothing of the text counts.
using OutputWriter = OutputCode (*)(std::ostream& out, const Calculation&, const OutputOptions&,
                                    const std::string& path);

// A quantised IIR design of fixed-point sections is written as its own bit-exact C; every other
// design as the direct-form function.
OutputCode WriteC(std::ostream& out, const Calculation& c, const OutputOptions&,
                  const std::string&) {
  if (UsesFixedPointSections(c.spec)) {
    return WriteFixedPointSectionsCode(out, c.spec, c.scale, c.design);
  }
  return WriteCCode(out, c);
}

OutputCode WriteVhdl(std::ostream& out, const Calculation& c, const OutputOptions& options,
                     const std::string&) {
  const EstimateReport estimate = ReportEstimate(c.spec, options.architecture, options.resolution);
  return WriteVhdlCode(out, c, options.architecture, estimate.CommentLines("-- "));
}

OutputCode WriteVerilog(std::ostream& out, const Calculation& c, const OutputOptions& options,
                        const std::string&) {
  const EstimateReport estimate = ReportEstimate(c.spec, options.architecture, options.resolution);
  return WriteVerilogCode(out, c, options.architecture, options.resolution,
                          estimate.CommentLines("// "));
}

// The run line of the testbench's header names its own file beside the hardware file.
OutputCode WriteBench(std::ostream& out, const Calculation& c, const OutputOptions& options,
                      const std::string& path) {
  return WriteTestbench(
      out, c,
      {options.language, options.architecture, options.resolution, options.hardwarePath, path});
}

OutputCode WriteCoe(std::ostream& out, const Calculation& c, const OutputOptions&,
                    const std::string&) {
  return WriteCoeFile(out, c);
}

OutputCode WriteMif(std::ostream& out, const Calculation& c, const OutputOptions&,
                    const std::string&) {
  return WriteMifFile(out, c);
}

OutputCode WriteCsv(std::ostream& out, const Calculation& c, const OutputOptions&,
                    const std::string&) {
  return WriteCoefficientCsv(out, c);
}

OutputCode WriteSections(std::ostream& out, const Calculation& c, const OutputOptions&,
                         const std::string&) {
  return WriteSosCode(out, c);
}

// Writes the checked calculation to `path` itself; returns Ok or the code of the failure.
using OutputFileWriter = OutputCode (*)(const Calculation&, const OutputOptions&,
                                        const std::string& path);

// The picture and the design file write their files themselves: libgd draws into a file of
// its own, and the design file keeps the message of its own save.
OutputCode WriteGif(const Calculation& c, const OutputOptions&, const std::string& path) {
  return ExportGraphs(c.spec, c.scale, c.responses, c.outcome.scheme, path.c_str());
}

OutputCode WriteDesignFile(const Calculation& c, const OutputOptions& options,
                           const std::string& path) {
  return SaveDesignFile(path, c.spec, options.keptChunks) ? OutputCode::Ok
                                                          : OutputCode::DesignFileNotSaved;
}

struct OutputFormatEntry {
  OutputFormat format;
  std::string_view extension;
  std::string_view description;  // for the coefficient exports' save dialog
  std::span<const OutputCheck> checks;
  OutputWriter write;          // the text of the file, or null
  OutputFileWriter writeFile;  // for a format that writes its file itself, or null
};

// Every format the engine writes. A new format is one entry here and one writer.
constexpr std::array<OutputFormatEntry, 10> kOutputFormats{{
    {OutputFormat::C, ".c", "", kCalculatedChecks, WriteC, nullptr},
    {OutputFormat::Vhdl, ".vhd", "", kVhdlChecks, WriteVhdl, nullptr},
    {OutputFormat::Verilog, ".v", "", kVerilogChecks, WriteVerilog, nullptr},
    // The testbench of either language: the VHDL file's checks and the signal width.
    {OutputFormat::Testbench, ".vhd", "", kVerilogChecks, WriteBench, nullptr},
    {OutputFormat::Coe, ".coe", "FIR compiler coefficients", kTapsChecks, WriteCoe, nullptr},
    {OutputFormat::Mif, ".mif", "Memory initialisation", kTapsChecks, WriteMif, nullptr},
    {OutputFormat::Csv, ".csv", "Comma-separated values", kCalculatedChecks, WriteCsv, nullptr},
    {OutputFormat::Sections, ".c", "Second-order sections in C", kSectionsChecks, WriteSections,
     nullptr},
    {OutputFormat::Gif, ".gif", "", kCalculatedChecks, nullptr, WriteGif},
    {OutputFormat::DesignFile, ".qvd", "", {}, nullptr, WriteDesignFile},
}};

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

OutputCode Write(OutputFormat format, const Calculation& calculation, const OutputOptions& options,
                 const std::string& path) {
  if (format == OutputFormat::Testbench && TestbenchLanguage(path) != options.language) {
    return OutputCode::TestbenchExtension;
  }
  if (const OutputCode code = Check(format, calculation, options); code != OutputCode::Ok) {
    return code;
  }
  const OutputFormatEntry& entry = Entry(format);
  if (entry.writeFile != nullptr) {
    return entry.writeFile(calculation, options, path);
  }
  // The whole text is made before the file is touched, so a writer's refusal leaves no file.
  std::ostringstream text;
  if (const OutputCode code = entry.write(text, calculation, options, path);
      code != OutputCode::Ok) {
    return code;
  }
  switch (WriteOutputFile(path, text.str())) {
    case OutputFileResult::Written:
      return OutputCode::Ok;
    case OutputFileResult::NotCreated:
      return OutputCode::NotCreated;
    case OutputFileResult::NotClosed:
      break;
  }
  return OutputCode::NotClosed;
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
