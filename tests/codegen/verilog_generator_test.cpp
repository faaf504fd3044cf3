// The Verilog file and the testbenches: refusals in the VHDL command's order with the messages
// that name Verilog, the testbench language by extension, the ROM encoding and the width
// parameter. Behaviour is proven by the Icarus, Verilator, Yosys and testbench suites.
#include "codegen/verilog_generator.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "codegen/output_codes.h"
#include "codegen/testbench_generator.h"
#include "codegen/vhdl_generator.h"
#include "codegen_test_support.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

using test::GeneratorInput;
using test::ScratchDirectory;

constexpr auto kSize = HdlArchitecture::Size;
constexpr auto kSpeed = HdlArchitecture::Speed;

enum class Output { Verilog, VerilogBench, VhdlBench };

OutputCode Generate(Output output, const GeneratorInput& in, HdlArchitecture architecture,
                    int width, const std::string& path) {
  if (output == Output::Verilog) {
    return Write(OutputFormat::Verilog, in, test::HardwareOptions(architecture, width), path);
  }
  return test::WriteTestbenchFile(in, architecture, width,
                                  output == Output::VhdlBench ? "fir.vhd" : "fir.v", path);
}

struct RefusalCase {
  const char* name;
  Output output;
  HdlArchitecture architecture;
  int taps;
  FilterClass filterClass;
  Quantization quantization;
  int width;
  int number;  // the code's number as users see it
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class HdlRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(HdlRefusals, LeaveNoFileAndNameTheLanguage) {
  const RefusalCase& c = GetParam();
  GeneratorInput in = test::HandMadeFir({}, c.quantization, 2);
  in.spec.taps = c.taps;
  in.spec.filterClass = c.filterClass;
  for (int i = 0; i < c.taps && i < kMaxTaps; ++i) {
    in.design.firTaps[i] = 1;
  }
  ScratchDirectory dir;
  const std::string path = dir.Path(c.output == Output::VhdlBench ? "fir_tb.vhd" : "fir.v");
  const HdlLanguage language =
      c.output == Output::VhdlBench ? HdlLanguage::Vhdl : HdlLanguage::Verilog;
  const OutputCode code = Generate(c.output, in, c.architecture, c.width, path);
  EXPECT_EQ(OutputCodeNumber(code, language), c.number);
  EXPECT_FALSE(test::FileExists(path));
  const std::string message = OutputMessage(code, language);
  EXPECT_FALSE(message.empty());
  if (message.find("VHDL") != std::string::npos || message.find("Verilog") != std::string::npos) {
    const bool verilog = c.output != Output::VhdlBench;
    EXPECT_NE(message.find(verilog ? "Verilog" : "VHDL"), std::string::npos) << message;
  }
}

constexpr auto kFir = FilterClass::Fir;
constexpr auto kS8 = Quantization::Signed8;
constexpr auto kS16 = Quantization::Signed16;

INSTANTIATE_TEST_SUITE_P(
    Checks, HdlRefusals,
    testing::Values(
        RefusalCase{"ArchitectureBeforeAll", Output::Verilog, static_cast<HdlArchitecture>(0), 30,
                    FilterClass::Iir, Quantization::Float, 16, -40},
        RefusalCase{"IirBeforeFloat", Output::Verilog, kSize, 31, FilterClass::Iir,
                    Quantization::Float, 16, -41},
        RefusalCase{"Float", Output::Verilog, kSize, 31, kFir, Quantization::Float, 16, -42},
        RefusalCase{"SpeedEvenTaps", Output::Verilog, kSpeed, 30, kFir, kS16, 16, -43},
        RefusalCase{"SizeOneTap", Output::Verilog, kSize, 1, kFir, kS8, 16, -44},
        RefusalCase{"SpeedOneTap", Output::Verilog, kSpeed, 1, kFir, kS8, 16, -45},
        RefusalCase{"TooManyTaps", Output::Verilog, kSize, kMaxTaps + 1, kFir, kS16, 16, -19},
        RefusalCase{"NarrowSignal", Output::Verilog, kSize, 5, kFir, kS16, 1, -46},
        RefusalCase{"WideSignal", Output::Verilog, kSpeed, 5, kFir, kS16, 33, -46},
        RefusalCase{"VerilogBenchEvenTaps", Output::VerilogBench, kSpeed, 30, kFir, kS16, 16, -43},
        RefusalCase{"VhdlBenchEvenTaps", Output::VhdlBench, kSpeed, 30, kFir, kS16, 16, -16},
        RefusalCase{"VhdlBenchFloat", Output::VhdlBench, kSize, 31, kFir, Quantization::Float, 16,
                    -14},
        RefusalCase{"VhdlBenchWideSignal", Output::VhdlBench, kSize, 5, kFir, kS8, 33, -46}),
    [](const testing::TestParamInfo<RefusalCase>& param) { return param.param.name; });

TEST(Testbench, LanguageFollowsTheExtension) {
  EXPECT_EQ(TestbenchLanguage("a/fir_tb.vhd"), HdlLanguage::Vhdl);
  EXPECT_EQ(TestbenchLanguage("fir_tb.vhdl"), HdlLanguage::Vhdl);
  EXPECT_EQ(TestbenchLanguage("fir_tb.v"), HdlLanguage::Verilog);
  EXPECT_EQ(TestbenchLanguage("fir_tb.sv"), std::nullopt);
  EXPECT_EQ(TestbenchLanguage("v"), std::nullopt);
  ScratchDirectory dir;
  const GeneratorInput in = test::HandMadeFir({1, 2, 1}, kS8, 1);
  EXPECT_EQ(Generate(Output::VerilogBench, in, kSpeed, 8, dir.Path("fir_tb.txt")),
            OutputCode::TestbenchExtension);
  EXPECT_FALSE(test::FileExists(dir.Path("fir_tb.txt")));
}

struct RunLineCase {
  const char* hardware;  // relative to the scratch directory; "" for none written
  const char* bench;
  const char* line;  // with @ for the scratch directory's path
};

// The run line of the header names the files written: by name in one folder, by path across
// folders, quoted for the shell; a line feed in a name cannot end the comment line.
TEST(Testbench, RunLineNamesTheFilesWritten) {
  const RunLineCase cases[] = {
      {"lp.vhd", "lp_tb.vhd",
       "--   ghdl -a --std=93c -fsynopsys -fexplicit lp.vhd lp_tb.vhd && ghdl --elab-run "
       "--std=93c -fsynopsys -fexplicit fir_tb --ieee-asserts=disable-at-0\n"},
      {"hw/lp.vhd", "lp_tb.vhdl", "-fexplicit @/hw/lp.vhd @/lp_tb.vhdl && ghdl"},
      {"", "t.vhd", "-fexplicit fir.vhd t.vhd && ghdl"},
      {"it's.v", "it's_tb.v",
       "//   iverilog -g2005 -o 'it'\\''s_tb.vvp' 'it'\\''s.v' 'it'\\''s_tb.v' && vvp "
       "'it'\\''s_tb.vvp'\n"},
      {"a\nb.v", "a\nb_tb.v", "//   iverilog -g2005 -o 'a?b_tb.vvp' 'a?b.v' 'a?b_tb.v'"},
  };
  const GeneratorInput in = test::HandMadeFir({1, 2, 1}, kS8, 1);
  for (const RunLineCase& c : cases) {
    ScratchDirectory dir;
    const std::string hardware = *c.hardware == '\0' ? "" : dir.Path(c.hardware);
    ASSERT_EQ(test::WriteTestbenchFile(in, kSpeed, 8, hardware, dir.Path(c.bench)), OutputCode::Ok)
        << c.bench;
    const std::string text = test::ReadFile(dir.Path(c.bench));
    std::string line = c.line;
    for (std::size_t at = line.find('@'); at != std::string::npos; at = line.find('@')) {
      line.replace(at, 1, dir.Directory());
    }
    EXPECT_NE(text.find(line), std::string::npos) << text;
    // Every line of the header is a comment.
    const std::string lead = TestbenchLanguage(c.bench) == HdlLanguage::Verilog ? "//" : "--";
    const std::string header = text.substr(0, text.find("\n\n"));
    for (std::size_t at = 0; at < header.size(); at = header.find('\n', at) + 1) {
      EXPECT_EQ(header.compare(at, lead.size(), lead), 0) << header;
      if (header.find('\n', at) == std::string::npos) {
        break;
      }
    }
  }
}

TEST(VerilogGenerator, RomRowsAndWidthParameter) {
  ScratchDirectory dir;
  const GeneratorInput in = test::HandMadeFir({-3, 300, -32768, 32767}, kS16, 1);
  ASSERT_EQ(Generate(Output::Verilog, in, kSize, 12, dir.Path("fir.v")), OutputCode::Ok);
  const std::string text = test::ReadFile(dir.Path("fir.v"));
  EXPECT_NE(text.find("module fir #(parameter W = 12) ("), std::string::npos);
  // Size: the dummy row first (highest), then h[0] .. h[N-1] in rows N-1 .. 0.
  EXPECT_NE(text.find("    16'h0000, // row 4\n    16'hfffd, // row 3\n    16'h012c, // row 2\n"
                      "    16'h8000, // row 1\n    16'h7fff // row 0\n"),
            std::string::npos);
}

TEST(VerilogGenerator, FileErrorsAreReported) {
  ScratchDirectory dir;
  const GeneratorInput in = test::HandMadeFir({1, 2, 1}, kS8, 1);
  EXPECT_EQ(Generate(Output::Verilog, in, kSpeed, 8, dir.Path("absent/fir.v")),
            OutputCode::NotCreated);
  EXPECT_EQ(Generate(Output::VerilogBench, in, kSpeed, 8, dir.Path("absent/fir_tb.v")),
            OutputCode::NotCreated);
}

}  // namespace
}  // namespace qv
