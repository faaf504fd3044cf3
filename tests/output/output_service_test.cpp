// The output service's refusals in their order, for every format: each case fails two checks at
// once (the later ones too), so the first in the order must win; swapping any two checks that can
// fail together changes a case's code. Refused outputs leave no file. Then every format writes
// its file for a design it accepts.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "codegen/fixed_point_sections_code.h"
#include "codegen/output_codes.h"
#include "engine/calculate.h"
#include "output/output_service.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

constexpr HdlArchitecture kSize = HdlArchitecture::Size;
constexpr HdlArchitecture kSpeed = HdlArchitecture::Speed;
// A value neither architecture has: what a damaged caller could pass.
constexpr auto kNoArchitecture = static_cast<HdlArchitecture>(7);

// The designs of the cases, calculated: class, quantisation and, for FIR, the tap count.
struct Design {
  FilterClass filterClass;
  Quantization quantization;
  int taps = 31;
};

constexpr Design kIirFloat{FilterClass::Iir, Quantization::Float};
constexpr Design kIir16{FilterClass::Iir, Quantization::Signed16};
constexpr Design kFirFloat{FilterClass::Fir, Quantization::Float};
constexpr Design kFir8{FilterClass::Fir, Quantization::Signed8};

constexpr Design Fir8Taps(int taps) { return {FilterClass::Fir, Quantization::Signed8, taps}; }

Calculation Calculated(const Design& d) {
  FilterSpec spec;
  spec.filterClass = d.filterClass;
  spec.quantization = d.quantization;
  spec.model =
      d.filterClass == FilterClass::Fir ? FilterModel::Rectangle : FilterModel::Butterworth;
  spec.taps = d.taps;
  Calculation calculation = Calculate(spec);
  EXPECT_TRUE(calculation.Succeeded()) << calculation.outcome.message;
  return calculation;
}

struct RefusalCase {
  const char* name;
  OutputFormat format;
  Design design;
  bool calculated;
  HdlArchitecture architecture;
  int resolution;
  const char* file;  // the testbench's language follows its extension
  OutputCode code;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

constexpr bool kStale = false;
constexpr bool kCurrent = true;

// One line per case: what fails, and the code of the check that comes first.
const RefusalCase kRefusals[] = {
    // C, CSV and the picture: a calculated design.
    {"CStale", OutputFormat::C, kIir16, kStale, kSize, 16, "f.c", OutputCode::NotCalculated},
    {"CsvStale", OutputFormat::Csv, kFir8, kStale, kSize, 16, "f.csv", OutputCode::NotCalculated},
    {"GifStale", OutputFormat::Gif, kFir8, kStale, kSize, 16, "f.gif", OutputCode::NotCalculated},
    // VHDL: an unknown architecture, class, quantisation, calculated, then what the
    // architecture can express.
    {"VhdlArchitectureBeforeIir", OutputFormat::Vhdl, kIirFloat, kStale, kNoArchitecture, 16,
     "f.vhd", OutputCode::BadArchitecture},
    {"VhdlIirBeforeFloat", OutputFormat::Vhdl, kIirFloat, kStale, kSpeed, 16, "f.vhd",
     OutputCode::IirClass},
    {"VhdlFloatBeforeStale", OutputFormat::Vhdl, kFirFloat, kStale, kSize, 16, "f.vhd",
     OutputCode::FloatQuantization},
    {"VhdlStaleBeforeTooFew", OutputFormat::Vhdl, Fir8Taps(1), kStale, kSize, 16, "f.vhd",
     OutputCode::NotCalculated},
    {"VhdlStaleBeforeEvenSpeed", OutputFormat::Vhdl, Fir8Taps(2), kStale, kSpeed, 16, "f.vhd",
     OutputCode::NotCalculated},
    {"VhdlEvenBeforeTooFewForSpeed", OutputFormat::Vhdl, Fir8Taps(2), kCurrent, kSpeed, 16, "f.vhd",
     OutputCode::SpeedTapsEven},
    {"VhdlTooFewForSize", OutputFormat::Vhdl, Fir8Taps(1), kCurrent, kSize, 16, "f.vhd",
     OutputCode::SizeTooFewTaps},
    {"VhdlTooFewForSpeed", OutputFormat::Vhdl, Fir8Taps(1), kCurrent, kSpeed, 16, "f.vhd",
     OutputCode::SpeedTooFewTaps},
    {"VhdlTakesAnyResolution", OutputFormat::Vhdl, kFir8, kCurrent, kSize, 99, "f.vhd",
     OutputCode::Ok},
    // Verilog: the same, then the signal width.
    {"VerilogArchitectureBeforeIir", OutputFormat::Verilog, kIirFloat, kStale, kNoArchitecture, 1,
     "f.v", OutputCode::BadArchitecture},
    {"VerilogIirBeforeFloat", OutputFormat::Verilog, kIirFloat, kStale, kSpeed, 1, "f.v",
     OutputCode::IirClass},
    {"VerilogFloatBeforeStale", OutputFormat::Verilog, kFirFloat, kStale, kSize, 1, "f.v",
     OutputCode::FloatQuantization},
    {"VerilogStaleBeforeTooFew", OutputFormat::Verilog, Fir8Taps(1), kStale, kSize, 1, "f.v",
     OutputCode::NotCalculated},
    {"VerilogEvenBeforeTooFewAndWidth", OutputFormat::Verilog, Fir8Taps(2), kCurrent, kSpeed, 1,
     "f.v", OutputCode::SpeedTapsEven},
    {"VerilogTooFewForSizeBeforeWidth", OutputFormat::Verilog, Fir8Taps(1), kCurrent, kSize, 33,
     "f.v", OutputCode::SizeTooFewTaps},
    {"VerilogTooFewForSpeedBeforeWidth", OutputFormat::Verilog, Fir8Taps(1), kCurrent, kSpeed, 1,
     "f.v", OutputCode::SpeedTooFewTaps},
    {"VerilogWidthBelow", OutputFormat::Verilog, kFir8, kCurrent, kSize, 1, "f.v",
     OutputCode::ResolutionRange},
    {"VerilogWidthAbove", OutputFormat::Verilog, kFir8, kCurrent, kSpeed, 33, "f.v",
     OutputCode::ResolutionRange},
    // The testbench: its file name's language first, then the hardware checks and the width.
    {"TestbenchNameBeforeIir", OutputFormat::Testbench, kIirFloat, kStale, kSize, 1, "f.txt",
     OutputCode::TestbenchExtension},
    {"TestbenchArchitectureBeforeIir", OutputFormat::Testbench, kIirFloat, kStale, kNoArchitecture,
     1, "f.vhd", OutputCode::BadArchitecture},
    {"TestbenchIirBeforeFloat", OutputFormat::Testbench, kIirFloat, kStale, kSize, 1, "f.vhd",
     OutputCode::IirClass},
    {"TestbenchStaleBeforeWidth", OutputFormat::Testbench, kFir8, kStale, kSize, 1, "f.vhdl",
     OutputCode::NotCalculated},
    {"TestbenchTooFewBeforeWidth", OutputFormat::Testbench, Fir8Taps(1), kCurrent, kSize, 1,
     "f.vhd", OutputCode::SizeTooFewTaps},
    {"TestbenchWidth", OutputFormat::Testbench, kFir8, kCurrent, kSize, 33, "f.vhd",
     OutputCode::ResolutionRange},
    // The FPGA core files: class, quantisation, calculated.
    {"CoeIirBeforeFloat", OutputFormat::Coe, kIirFloat, kStale, kSize, 16, "f.coe",
     OutputCode::TapsIirClass},
    {"CoeFloatBeforeStale", OutputFormat::Coe, kFirFloat, kStale, kSize, 16, "f.coe",
     OutputCode::TapsFloatQuantization},
    {"MifIirBeforeFloat", OutputFormat::Mif, kIirFloat, kStale, kSize, 16, "f.mif",
     OutputCode::TapsIirClass},
    {"MifFloatBeforeStale", OutputFormat::Mif, kFirFloat, kStale, kSize, 16, "f.mif",
     OutputCode::TapsFloatQuantization},
    {"MifStale", OutputFormat::Mif, kFir8, kStale, kSize, 16, "f.mif", OutputCode::NotCalculated},
    // The sections: class, quantisation, calculated.
    {"SectionsFirBeforeQuantized", OutputFormat::Sections, kFir8, kStale, kSize, 16, "f.c",
     OutputCode::SectionsFirClass},
    {"SectionsQuantizedBeforeStale", OutputFormat::Sections, kIir16, kStale, kSize, 16, "f.c",
     OutputCode::SectionsQuantized},
    {"SectionsStale", OutputFormat::Sections, kIirFloat, kStale, kSize, 16, "f.c",
     OutputCode::NotCalculated},
};

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, FirstCheckInOrderWinsAndNothingIsWritten) {
  const RefusalCase& c = GetParam();
  const Calculation calculation = Calculated(c.design);
  OutputOptions options;
  options.calculated = c.calculated;
  options.architecture = c.architecture;
  options.resolution = c.resolution;
  test::ScratchDirectory dir;
  const std::string path = dir.Path(c.file);
  EXPECT_EQ(Write(c.format, calculation, options, path), c.code);
  if (c.code != OutputCode::Ok) {
    EXPECT_TRUE(dir.Names().empty());
  }
  if (c.code != OutputCode::TestbenchExtension) {
    EXPECT_EQ(Check(c.format, calculation, options), c.code);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, Refusal, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<RefusalCase>& param) {
                           return std::string(param.param.name);
                         });

// The checks the desktop makes before its options dialog are the design's alone: a tap count
// that no architecture expresses waits for the architecture.
TEST(DesignChecks, LeaveTheOptionsChecksForLater) {
  const Calculation one = Calculated(Fir8Taps(1));
  OutputOptions options;
  options.resolution = 0;
  for (const OutputFormat format : {OutputFormat::Vhdl, OutputFormat::Verilog}) {
    EXPECT_EQ(CheckDesign(format, one, options), OutputCode::Ok);
    options.calculated = false;
    EXPECT_EQ(CheckDesign(format, one, options), OutputCode::NotCalculated);
    options.calculated = true;
  }
  EXPECT_EQ(CheckDesign(OutputFormat::Vhdl, Calculated(kFirFloat), options),
            OutputCode::FloatQuantization);
}

// The testbench's name must carry its language's extension.
TEST(TestbenchName, FollowsTheLanguage) {
  const Calculation fir = Calculated(kFir8);
  test::ScratchDirectory dir;
  OutputOptions options;
  options.language = HdlLanguage::Verilog;
  EXPECT_EQ(Write(OutputFormat::Testbench, fir, options, dir.Path("tb.vhd")),
            OutputCode::TestbenchExtension);
  EXPECT_EQ(Write(OutputFormat::Testbench, fir, options, dir.Path("tb.v")), OutputCode::Ok);
  options.language = HdlLanguage::Vhdl;
  EXPECT_EQ(Write(OutputFormat::Testbench, fir, options, dir.Path("tb.v")),
            OutputCode::TestbenchExtension);
  EXPECT_EQ(Write(OutputFormat::Testbench, fir, options, dir.Path("tb.vhdl")), OutputCode::Ok);
}

// Every format writes a file for a design it accepts, under any name.
TEST(Formats, WriteTheirFiles) {
  struct Accepted {
    OutputFormat format;
    Design design;
  };
  for (const Accepted a :
       {Accepted{OutputFormat::C, kIir16}, Accepted{OutputFormat::Vhdl, kFir8},
        Accepted{OutputFormat::Verilog, kFir8}, Accepted{OutputFormat::Testbench, kFir8},
        Accepted{OutputFormat::Coe, kFir8}, Accepted{OutputFormat::Mif, kFir8},
        Accepted{OutputFormat::Csv, kIirFloat}, Accepted{OutputFormat::Sections, kIirFloat},
        Accepted{OutputFormat::DesignFile, kFirFloat}}) {
    test::ScratchDirectory dir;
    const std::string path = dir.Path("out" + std::string(OutputExtension(a.format)));
    EXPECT_EQ(Write(a.format, Calculated(a.design), {}, path), OutputCode::Ok)
        << static_cast<int>(a.format);
    EXPECT_FALSE(test::ReadBytes(path).empty()) << static_cast<int>(a.format);
  }
}

// A quantised IIR design of second-order sections is written as its fixed-point cascade in C;
// the same design in direct form keeps the direct-form function.
TEST(CFormat, FixedPointSectionsWriteTheirCascade) {
  FilterSpec spec;
  spec.order = 5;
  spec.quantization = Quantization::Signed16;
  spec.structure = IirStructure::Sections;
  const Calculation sections = Calculate(spec);
  ASSERT_TRUE(sections.Succeeded()) << sections.outcome.message;
  test::ScratchDirectory dir;
  ASSERT_EQ(Write(OutputFormat::C, sections, {}, dir.Path("s.c")), OutputCode::Ok);
  std::ostringstream expected;
  ASSERT_EQ(WriteFixedPointSectionsCode(expected, sections.spec, sections.scale, sections.design),
            OutputCode::Ok);
  EXPECT_EQ(test::ReadBytes(dir.Path("s.c")), expected.str());

  spec.structure = IirStructure::Direct;
  ASSERT_EQ(Write(OutputFormat::C, Calculate(spec), {}, dir.Path("d.c")), OutputCode::Ok);
  EXPECT_EQ(test::ReadBytes(dir.Path("d.c")).find("iir_q15"), std::string::npos);
}

// A design file that cannot be written says so in the words users always saw.
TEST(DesignFile, FailureKeepsItsMessage) {
  test::ScratchDirectory dir;
  const OutputCode code =
      Write(OutputFormat::DesignFile, Calculated(kIirFloat), {}, dir.Path("missing/a.qvd"));
  EXPECT_EQ(code, OutputCode::DesignFileNotSaved);
  EXPECT_EQ(OutputMessage(code), "Failed to save document.\n");
}

}  // namespace
}  // namespace qv
