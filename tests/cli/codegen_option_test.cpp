// quorvanel-cli's generator options: the files they write, the estimate they print, and the
// refusals of the VHDL and Verilog outputs in their order, each with its message and exit
// status 3.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/codegen_outputs.h"
#include "cli/exit_status.h"
#include "codegen/c_code_generator.h"
#include "codegen/fixed_point_sections_code.h"
#include "engine/calculate.h"
#include "output/output_service.h"
#include "tests/support/cli_runner.h"

namespace qv::cli {
namespace {

namespace fs = std::filesystem;

using test::CliRun;
using test::RunCliInProcess;

std::string Read(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

class CodegenOptions : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("quorvanel-cli-codegen-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

TEST_F(CodegenOptions, CFileIsTheGeneratorsFileOfTheCalculatedDesign) {
  const CliRun run = RunCliInProcess(
      {"--class", "fir", "--model", "raised-cosine", "--quant", "8", "--c", File("a.c")});
  ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  FilterSpec spec;
  spec.filterClass = FilterClass::Fir;
  spec.model = FilterModel::RaisedCosine;
  spec.quantization = Quantization::Signed8;
  const Calculation calculation = Calculate(spec);
  ASSERT_TRUE(calculation.Succeeded());
  std::ostringstream expected;
  ASSERT_EQ(WriteCCode(expected, calculation), OutputCode::Ok);
  EXPECT_EQ(Read(File("a.c")), expected.str());
}

// A quantised IIR design of second-order sections is written as the bit-exact C of its
// fixed-point cascade; the same order as direct form keeps the direct-form function.
TEST_F(CodegenOptions, CFileOfFixedPointSectionsIsTheirCascadeCode) {
  FilterSpec spec;
  spec.order = 6;
  spec.quantization = Quantization::Signed16;
  spec.structure = IirStructure::Sections;
  const Calculation sections = Calculate(spec);
  ASSERT_TRUE(sections.Succeeded()) << sections.outcome.message;
  qv::cli::CodegenOptions options;
  options.cPath = File("sections.c");
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_TRUE(WriteCodegenOutputs(options, sections, out, err)) << err.str();
  std::ostringstream expected;
  ASSERT_EQ(WriteFixedPointSectionsCode(expected, sections.spec, sections.scale, sections.design),
            OutputCode::Ok);
  EXPECT_EQ(Read(File("sections.c")), expected.str());

  const CliRun direct = RunCliInProcess({"--order", "6", "--quant", "16", "--c", File("direct.c")});
  ASSERT_EQ(direct.status, static_cast<int>(ExitStatus::Success)) << direct.err;
  EXPECT_NE(Read(File("direct.c")).find("iir(__int16 NewSample)"), std::string::npos);
  EXPECT_EQ(Read(File("direct.c")).find("iir_q15"), std::string::npos);
}

TEST_F(CodegenOptions, EstimateOfTheDefaultsPrintsNineLines) {
  const CliRun size = RunCliInProcess({"--class", "fir", "--quant", "16", "--estimate"});
  EXPECT_EQ(size.status, static_cast<int>(ExitStatus::Success));
  EXPECT_EQ(size.out,
            "Signal Resolution: 16-bit\nCoefficients Quantization: 16-bit\n1 multiplier(s)\n"
            "652 FFs for the filter*\n512 FFs for the coefficients*\n32 clks output latency\n"
            "32000 Hz for Fclk\n1000 Hz for Fsampling\n* May change with synthezis optimization\n");
  const CliRun speed =
      RunCliInProcess({"--class", "fir", "--quant", "16", "--estimate", "--arch", "speed"});
  EXPECT_EQ(speed.status, static_cast<int>(ExitStatus::Success));
  EXPECT_NE(
      speed.out.find("\n16 multiplier(s)\n1817 FFs for the filter*\n256 FFs for the coefficients*\n"
                     "8 clks output latency\n1000 Hz for Fclk\n"),
      std::string::npos);
}

TEST_F(CodegenOptions, VhdlHeaderCarriesTheEstimateOfItsArchitectureAndResolution) {
  const CliRun run = RunCliInProcess({"--class", "fir", "--quant", "8", "--taps", "9", "--vhdl",
                                      File("f.vhd"), "--arch", "speed", "--resolution", "10"});
  ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  const std::string text = Read(File("f.vhd"));
  EXPECT_NE(text.find("--\n-- Signal Resolution: 10-bit\n-- Coefficients Quantization: 8-bit\n"
                      "-- 5 multiplier(s)\n"),
            std::string::npos);
  EXPECT_NE(text.find("architecture speed of fir is"), std::string::npos);
  const CliRun size = RunCliInProcess({"--class", "fir", "--quant", "8", "--vhdl", File("g.vhd")});
  ASSERT_EQ(size.status, static_cast<int>(ExitStatus::Success)) << size.err;
  EXPECT_NE(Read(File("g.vhd")).find("-- Signal Resolution: 16-bit\n"), std::string::npos);
  EXPECT_NE(Read(File("g.vhd")).find("architecture size of fir is"), std::string::npos);
}

struct Refusal {
  const char* name;
  std::vector<std::string> args;
  const char* message;
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class VhdlRefusal : public CodegenOptions, public testing::WithParamInterface<Refusal> {};

TEST_P(VhdlRefusal, ShowsItsMessageAndWritesNothing) {
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"--vhdl", File("f.vhd")});
  const CliRun run = RunCliInProcess(args);
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(run.err, GetParam().message);
  EXPECT_FALSE(fs::exists(File("f.vhd")));
}

// The Verilog output makes the same checks in the same order; its messages name Verilog.
TEST_P(VhdlRefusal, AndTheVerilogOutputAndItsTestbench) {
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"--verilog", File("f.v"), "--testbench", File("f_tb.v")});
  const CliRun run = RunCliInProcess(args);
  std::string message = GetParam().message;
  message.replace(message.find("VHDL"), 4, "Verilog");
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(run.err, message);
  EXPECT_FALSE(fs::exists(File("f.v")));
  EXPECT_FALSE(fs::exists(File("f_tb.v")));
}

INSTANTIATE_TEST_SUITE_P(
    InOrder, VhdlRefusal,
    testing::Values(Refusal{"IirBeforeFloat", {}, "VHDL generation for IIR not yet implemented\n"},
                    Refusal{"IirBeforeArchitecture",
                            {"--quant", "16", "--arch", "speed", "--taps", "30"},
                            "VHDL generation for IIR not yet implemented\n"},
                    Refusal{"FloatBeforeArchitecture",
                            {"--class", "fir", "--arch", "speed", "--taps", "30"},
                            "no VHDL generation for float quantization\n"},
                    Refusal{"EvenTapsForSpeed",
                            {"--class", "fir", "--quant", "16", "--taps", "30", "--arch", "speed"},
                            "NTap must be odd for SPEED VHDL optimization\n"},
                    Refusal{"OneTapForSpeed",
                            {"--class", "fir", "--quant", "8", "--taps", "1", "--arch", "speed"},
                            "NTap must be at least 3 for SPEED VHDL optimization\n"},
                    Refusal{"OneTapForSize",
                            {"--class", "fir", "--quant", "8", "--taps", "1"},
                            "NTap must be at least 2 for SIZE VHDL optimization\n"}),
    [](const testing::TestParamInfo<Refusal>& param) { return param.param.name; });

TEST_F(CodegenOptions, TestbenchNeedsAHardwareFileAndAKnownExtension) {
  EXPECT_EQ(RunCliInProcess({"--class", "fir", "--quant", "8", "--testbench", File("t.v")}).status,
            static_cast<int>(ExitStatus::Usage));
  EXPECT_FALSE(fs::exists(File("t.v")));
  const CliRun run = RunCliInProcess(
      {"--class", "fir", "--quant", "8", "--vhdl", File("f.vhd"), "--testbench", File("t.txt")});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(run.err, "The testbench file name must end in .vhd, .vhdl or .v\n");
  EXPECT_TRUE(fs::exists(File("f.vhd")));
}

TEST_F(CodegenOptions, VerilogAndBothTestbenchLanguagesAreWritten) {
  for (const char* bench : {"t.vhd", "t.v"}) {
    const CliRun run = RunCliInProcess({"--class", "fir", "--quant", "8", "--taps", "9", "--arch",
                                        "speed", "--resolution", "12", "--verilog", File("f.v"),
                                        "--testbench", File(bench)});
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
    const bool vhdl = std::string(bench) == "t.vhd";
    EXPECT_NE(Read(File(bench)).find(vhdl ? "entity work.fir(speed)" : "fir #(.W(W))"),
              std::string::npos)
        << bench;
    // The run line names the hardware file of the testbench's language; no VHDL file was
    // written, so the VHDL testbench names the entity's file as fir.vhd.
    EXPECT_NE(Read(File(bench))
                  .find(vhdl ? "-fexplicit fir.vhd t.vhd && ghdl --elab-run"
                             : "iverilog -g2005 -o t.vvp f.v t.v && vvp t.vvp\n"),
              std::string::npos)
        << bench;
  }
  EXPECT_NE(Read(File("f.v")).find("module fir #(parameter W = 12) ("), std::string::npos);
  const CliRun wide = RunCliInProcess(
      {"--class", "fir", "--quant", "8", "--resolution", "33", "--verilog", File("g.v")});
  EXPECT_EQ(wide.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(wide.err, "The Signal Resolution must be 2 to 32 bits\n");
}

TEST_F(CodegenOptions, EvenTapsAreWrittenForSize) {
  const CliRun run =
      RunCliInProcess({"--class", "fir", "--quant", "16", "--taps", "30", "--vhdl", File("f.vhd")});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  EXPECT_TRUE(fs::exists(File("f.vhd")));
}

TEST_F(CodegenOptions, FileInAMissingDirectoryIsNotCreated) {
  const CliRun c = RunCliInProcess({"--c", File("absent/a.c")});
  EXPECT_EQ(c.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(c.err, "The Output file cannot be created!\n");
  const CliRun vhdl =
      RunCliInProcess({"--class", "fir", "--quant", "8", "--vhdl", File("absent/a.vhd")});
  EXPECT_EQ(vhdl.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(vhdl.err, "The Output file cannot be created!\n");
}

TEST_F(CodegenOptions, RefusedVhdlLeavesTheOtherOutputs) {
  const CliRun run =
      RunCliInProcess({"--quant", "16", "--vhdl", File("f.vhd"), "--c", File("a.c")});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(run.err, "VHDL generation for IIR not yet implemented\n");
  EXPECT_TRUE(fs::exists(File("a.c")));
}

TEST_F(CodegenOptions, EstimateIsRefusedLikeTheVhdlOutput) {
  const CliRun iir = RunCliInProcess({"--estimate"});
  EXPECT_EQ(iir.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(iir.err, "VHDL generation for IIR not yet implemented\n");
  EXPECT_TRUE(iir.out.empty());
  const CliRun fewTaps = RunCliInProcess(
      {"--class", "fir", "--quant", "8", "--taps", "1", "--arch", "speed", "--estimate"});
  EXPECT_EQ(fewTaps.status, static_cast<int>(ExitStatus::Success));
  EXPECT_EQ(fewTaps.out,
            "Signal Resolution: 16-bit\nCoefficients Quantization: 8-bit\n"
            "Estimate not available: SPEED needs 3 to 511 taps\n");
}

// Each coefficient option writes its format's file of the calculated design, byte for byte.
TEST_F(CodegenOptions, CoefficientFilesAreTheExportsOfTheCalculatedDesign) {
  struct Export {
    std::vector<std::string> args;
    std::string option;
    OutputFormat format;
  };
  const std::vector<std::string> fir = {"--class", "fir", "--quant", "8", "--taps", "21"};
  const std::vector<std::string> iir = {"--model", "chebyshev", "--order", "5"};
  for (const Export& e :
       {Export{fir, "--coe", OutputFormat::Coe}, Export{fir, "--mif", OutputFormat::Mif},
        Export{fir, "--csv", OutputFormat::Csv}, Export{iir, "--csv", OutputFormat::Csv},
        Export{iir, "--sos", OutputFormat::Sections}}) {
    std::vector<std::string> args = e.args;
    args.insert(args.end(), {e.option, File("cli")});
    const CliRun run = RunCliInProcess(args);
    ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << e.option << ": " << run.err;
    FilterSpec spec;
    const bool firClass = e.args == fir;
    spec.filterClass = firClass ? FilterClass::Fir : FilterClass::Iir;
    spec.quantization = firClass ? Quantization::Signed8 : Quantization::Float;
    spec.taps = 21;
    spec.model = firClass ? FilterModel::Butterworth : FilterModel::Chebyshev;
    spec.order = firClass ? spec.order : 5;
    const Calculation calculation = Calculate(spec);
    ASSERT_TRUE(calculation.Succeeded());
    ASSERT_EQ(Write(e.format, calculation, {}, File("engine")), OutputCode::Ok);
    EXPECT_EQ(Read(File("cli")), Read(File("engine"))) << e.option;
  }
}

class CoefficientRefusal : public CodegenOptions, public testing::WithParamInterface<Refusal> {};

// The last argument names the option; its file must not appear.
TEST_P(CoefficientRefusal, ShowsItsMessageAndWritesNothing) {
  std::vector<std::string> args = GetParam().args;
  args.push_back(File("f"));
  const CliRun run = RunCliInProcess(args);
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(run.err, GetParam().message);
  EXPECT_FALSE(fs::exists(File("f")));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CoefficientRefusal,
    testing::Values(
        Refusal{"CoeIir",
                {"--quant", "16", "--coe"},
                "FPGA coefficient files hold the taps of an FIR filter; an IIR design has none\n"},
        Refusal{"MifFloat",
                {"--class", "fir", "--mif"},
                "FPGA coefficient files hold integer taps; quantize the design to 8 or 16 bits\n"},
        Refusal{"SosFir",
                {"--class", "fir", "--sos"},
                "Second-order sections are made from the poles of an IIR filter; an FIR design "
                "has none\n"},
        Refusal{"SosQuantized",
                {"--quant", "8", "--sos"},
                "Second-order sections are written for float designs; the 8-bit and 16-bit "
                "coefficients belong to the direct form\n"}),
    [](const testing::TestParamInfo<Refusal>& param) { return param.param.name; });

TEST_F(CodegenOptions, UnknownArchitectureIsAUsageError) {
  const CliRun run =
      RunCliInProcess({"--class", "fir", "--quant", "8", "--arch", "fast", "--estimate"});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Usage));
  EXPECT_NE(run.err.find("--arch"), std::string::npos);
  EXPECT_EQ(
      RunCliInProcess({"--class", "fir", "--quant", "8", "--resolution", "x", "--estimate"}).status,
      static_cast<int>(ExitStatus::Usage));
}

}  // namespace
}  // namespace qv::cli
