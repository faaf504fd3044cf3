// The generated testbenches in their simulators: each passes on the hardware of its own design
// (GHDL for VHDL, Icarus Verilog for Verilog) and prints its PASS line, and each fails with the
// first mismatching sample against the hardware of the same design with one coefficient pair
// changed, and, for small designs, with any one coefficient the hardware holds one step off.
#include <gtest/gtest.h>

#include <string>

#include "codegen/testbench_generator.h"
#include "codegen/verilog_generator.h"
#include "hdl_test_support.h"

namespace qv {
namespace {

using test::HdlCase;
using test::Taps;

struct BenchCase {
  HdlCase hdl;
  bool verilog;
};

void PrintTo(const BenchCase& c, std::ostream* os) {
  test::PrintTo(c.hdl, os);
  *os << (c.verilog ? " Verilog" : " VHDL");
}

// The hardware of `in` in the case's language as fir.v or fir.vhd in `dir`.
OutputCode WriteHardware(const BenchCase& c, const test::GeneratorInput& in,
                         const test::ScratchDirectory& dir) {
  if (c.verilog) {
    return Write(OutputFormat::Verilog, in, test::HardwareOptions(c.hdl.architecture, c.hdl.width),
                 dir.Path("fir.v"));
  }
  return Write(OutputFormat::Vhdl, in, test::HardwareOptions(c.hdl.architecture),
               dir.Path("fir.vhd"));
}

// Compiles and runs the hardware and fir_tb of `dir`; the simulator's exit status, its output
// in `log`.
int Simulate(bool verilog, const test::ScratchDirectory& dir, std::string& log) {
  const std::string flags = test::kGhdlFlags;
  const std::string command = verilog ? "iverilog -g2005 -o tb.vvp fir.v fir_tb.v && vvp -n tb.vvp"
                                      : "ghdl -a" + flags + " fir.vhd fir_tb.vhd && ghdl -e" +
                                            flags + " fir_tb && ghdl -r" + flags +
                                            " fir_tb --ieee-asserts=disable";
  const int status =
      test::RunShell("cd '" + dir.Directory() + "' && " + command + " > sim.log 2>&1");
  log = test::ReadFile(dir.Path("sim.log"));
  return status;
}

class TestbenchSimulation : public testing::TestWithParam<BenchCase> {};

TEST_P(TestbenchSimulation, PassesOnItsDesignAndCatchesAWrongCoefficient) {
  const BenchCase& c = GetParam();
  ASSERT_TRUE(test::OnPath(c.verilog ? "iverilog" : "ghdl"))
      << "the simulator is not on PATH; scripts/install-deps installs it";
  test::GeneratorInput in = test::MakeHdlInput(c.hdl);
  test::ScratchDirectory dir;
  ASSERT_EQ(WriteHardware(c, in, dir), OutputCode::Ok);
  ASSERT_EQ(
      test::WriteTestbenchFile(in, c.hdl.architecture, c.hdl.width, c.verilog ? "fir.v" : "fir.vhd",
                               dir.Path(c.verilog ? "fir_tb.v" : "fir_tb.vhd")),
      OutputCode::Ok);
  std::string log;
  ASSERT_EQ(Simulate(c.verilog, dir, log), 0) << log;
  const auto pass = log.find("\nPASS ") != std::string::npos || log.rfind("PASS ", 0) == 0;
  EXPECT_TRUE(pass) << log;
  EXPECT_NE(log.find(" samples checked"), std::string::npos) << log;

  // One coefficient off by one, and its mirror for the folded speed architecture.
  const int k = c.hdl.taps / 3;
  const int mirror = c.hdl.taps - 1 - k;
  const double changed =
      in.design.firTaps[k] > 0 ? in.design.firTaps[k] - 1 : in.design.firTaps[k] + 1;
  in.design.firTaps[k] = changed;
  in.design.firTaps[mirror] = changed;
  ASSERT_EQ(WriteHardware(c, in, dir), OutputCode::Ok);
  EXPECT_NE(Simulate(c.verilog, dir, log), 0) << log;
  EXPECT_NE(log.find("sample "), std::string::npos) << log;
  EXPECT_EQ(log.find("PASS "), std::string::npos) << log;
}

std::vector<BenchCase> Cases() {
  using Q = Quantization;
  using M = FilterModel;
  const HdlCase designs[] = {
      {"", test::kSize, Q::Signed16, 31, 16, M::RaisedCosine, Taps::Designed},
      {"", test::kSize, Q::Signed8, 2, 4, M::Rectangle, Taps::Designed},
      {"", test::kSpeed, Q::Signed8, 9, 12, M::Rectangle, Taps::Extreme},
      {"", test::kSpeed, Q::Signed16, 41, 32, M::Butterworth, Taps::Designed},
  };
  std::vector<BenchCase> cases;
  for (const HdlCase& d : designs) {
    cases.push_back({d, false});
    cases.push_back({d, true});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Designs, TestbenchSimulation, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<BenchCase>& param) {
                           return test::HdlCaseName(param.param.hdl) +
                                  (param.param.verilog ? "Verilog" : "Vhdl");
                         });

// The header's run line, taken from the file and run as written in the files' folder: the names
// of the files actually written (quoted, since they hold a blank) and, for GHDL, no warning
// about the values before the reset ahead of the PASS line.
TEST(TestbenchHeader, RunLineRunsAsWritten) {
  for (const bool verilog : {false, true}) {
    const HdlCase design{
        "", test::kSize, Quantization::Signed8, 5, 8, FilterModel::Rectangle, Taps::Designed};
    const test::GeneratorInput in = test::MakeHdlInput(design);
    test::ScratchDirectory dir;
    const std::string extension = verilog ? ".v" : ".vhd";
    const std::string hardware = dir.Path("low pass" + extension);
    const std::string bench = dir.Path("low pass_tb" + extension);
    ASSERT_EQ(
        verilog ? Write(OutputFormat::Verilog, in, test::HardwareOptions(test::kSize, 8), hardware)
                : Write(OutputFormat::Vhdl, in, test::HardwareOptions(test::kSize), hardware),
        OutputCode::Ok);
    ASSERT_EQ(test::WriteTestbenchFile(in, test::kSize, 8, hardware, bench), OutputCode::Ok);
    const std::string text = test::ReadFile(bench);
    const std::string lead = verilog ? "//   " : "--   ";
    const std::size_t start = text.find(lead);
    ASSERT_NE(start, std::string::npos) << text;
    const std::string line =
        text.substr(start + lead.size(), text.find('\n', start) - start - lead.size());
    EXPECT_NE(
        line.find(verilog ? "'low pass.v' 'low pass_tb.v'" : "'low pass.vhd' 'low pass_tb.vhd'"),
        std::string::npos)
        << line;
    ASSERT_EQ(test::RunShell("cd '" + dir.Directory() + "' && " + line + " > run.log 2>&1"), 0)
        << test::ReadFile(dir.Path("run.log"));
    const std::string log = test::ReadFile(dir.Path("run.log"));
    EXPECT_NE(log.find("PASS "), std::string::npos) << log;
    EXPECT_EQ(log.find("warning"), std::string::npos) << log;
  }
}

class OneStepErrors : public testing::TestWithParam<BenchCase> {};

// Every coefficient the hardware holds (size: each tap; speed: taps 0..(N-1)/2, each standing for
// its mirror too), one step up and one step down: the testbench of the right design fails on
// each such hardware.
TEST_P(OneStepErrors, EachFailsTheTestbench) {
  const BenchCase& c = GetParam();
  ASSERT_TRUE(test::OnPath(c.verilog ? "iverilog" : "ghdl"))
      << "the simulator is not on PATH; scripts/install-deps installs it";
  const test::GeneratorInput in = test::MakeHdlInput(c.hdl);
  test::ScratchDirectory dir;
  ASSERT_EQ(
      test::WriteTestbenchFile(in, c.hdl.architecture, c.hdl.width, c.verilog ? "fir.v" : "fir.vhd",
                               dir.Path(c.verilog ? "fir_tb.v" : "fir_tb.vhd")),
      OutputCode::Ok);
  std::string log;
  ASSERT_EQ(WriteHardware(c, in, dir), OutputCode::Ok);
  ASSERT_EQ(Simulate(c.verilog, dir, log), 0) << log;
  const int held = c.hdl.architecture == test::kSpeed ? (c.hdl.taps + 1) / 2 : c.hdl.taps;
  for (int k = 0; k < held; ++k) {
    for (const int step : {1, -1}) {
      test::GeneratorInput wrong = in;
      wrong.design.firTaps[static_cast<std::size_t>(k)] += step;
      ASSERT_EQ(WriteHardware(c, wrong, dir), OutputCode::Ok);
      EXPECT_NE(Simulate(c.verilog, dir, log), 0)
          << "tap " << k << " one step " << (step > 0 ? "up" : "down") << " passed:\n"
          << log;
      EXPECT_EQ(log.find("PASS "), std::string::npos) << log;
    }
  }
}

// The 3-tap design of 16-bit coefficients at 8 bits whose step of the middle tap random
// samples missed, and small designs of both architectures and both coefficient widths.
std::vector<BenchCase> OneStepCases() {
  using Q = Quantization;
  using M = FilterModel;
  const HdlCase designs[] = {
      {"", test::kSize, Q::Signed16, 3, 8, M::RaisedCosine, Taps::Designed},
      {"", test::kSpeed, Q::Signed16, 5, 8, M::RaisedCosine, Taps::Designed},
      {"", test::kSize, Q::Signed8, 4, 6, M::Rectangle, Taps::Designed},
  };
  std::vector<BenchCase> cases;
  for (const HdlCase& d : designs) {
    cases.push_back({d, false});
    cases.push_back({d, true});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(SmallDesigns, OneStepErrors, testing::ValuesIn(OneStepCases()),
                         [](const testing::TestParamInfo<BenchCase>& param) {
                           return test::HdlCaseName(param.param.hdl) +
                                  (param.param.verilog ? "Verilog" : "Vhdl");
                         });

}  // namespace
}  // namespace qv
