// Simulates generated Verilog in Icarus Verilog and compares every output sample with the exact
// integer filter sat_W(floor(sum h[k] x[t-k] / 2^shift)) and its saturation flag; for some
// designs the VHDL of the same design runs in GHDL with the same inputs, and the two traces of
// Y_OUT, SATURATION_ERR and NEW_SAMPLE must agree on every clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "codegen/resource_estimate.h"
#include "codegen/verilog_generator.h"
#include "hdl_test_support.h"

namespace qv {
namespace {

using test::HdlCase;
using test::kSize;
using test::kSpeed;
using test::Sample;
using test::Taps;

constexpr int kRandomSamplesSize = 48;
constexpr int kRandomSamplesSpeed = 200;

struct VerilogCase {
  HdlCase hdl;
  bool againstGhdl;
};

void PrintTo(const VerilogCase& c, std::ostream* os) { test::PrintTo(c.hdl, os); }

struct TraceLine {
  Sample sample;
  int newSample = 0;
  friend bool operator==(const TraceLine&, const TraceLine&) = default;
};

std::vector<TraceLine> ReadTrace(const std::string& path) {
  std::vector<TraceLine> lines;
  std::ifstream file(path);
  TraceLine line;
  while (file >> line.sample.y >> line.sample.saturated >> line.newSample) {
    lines.push_back(line);
  }
  return lines;
}

// Runs the trace bench of the architecture on the hardware file in `dir` (fir.v or fir.vhd);
// returns the simulator's exit status, with its output in `log`.
int RunTrace(const test::ScratchDirectory& dir, bool verilog, bool speed, int width, long flush,
             std::string& log) {
  const std::string bench = speed ? "fir_trace_speed" : "fir_trace_size";
  const std::string generics = std::to_string(width) + " FLUSH=" + std::to_string(flush);
  std::string command = "cd '" + dir.Directory() + "' && ";
  if (verilog) {
    command += "iverilog -g2005 -o trace.vvp -P " + bench + ".W=" + std::to_string(width) + " -P " +
               bench + ".FLUSH=" + std::to_string(flush) + " fir.v '" +
               QUORVANEL_TESTBENCH_DIR "/" + bench + ".v' && vvp -n trace.vvp";
  } else {
    command += "ghdl -a" + std::string(test::kGhdlFlags) + " fir.vhd '" +
               QUORVANEL_TESTBENCH_DIR "/" + bench + ".vhd' && ghdl -e" + test::kGhdlFlags + " " +
               bench + " && ghdl -r" + test::kGhdlFlags + " " + bench +
               " -gW=" + std::to_string(width) + " -gFLUSH=" + std::to_string(flush) +
               " --ieee-asserts=disable";
  }
  const int status = test::RunShell(command + " > sim.log 2>&1");
  log = test::ReadFile(dir.Path("sim.log"));
  return status;
}

class IcarusSimulation : public testing::TestWithParam<VerilogCase> {};

TEST_P(IcarusSimulation, OutputEqualsTheExactIntegerFilterAndTheVhdl) {
  const HdlCase& c = GetParam().hdl;
  ASSERT_TRUE(test::OnPath("iverilog"))
      << "iverilog is not on PATH; scripts/install-deps installs it";
  const test::GeneratorInput in = test::MakeHdlInput(c);
  const bool speed = c.architecture == kSpeed;

  test::ScratchDirectory verilogDir;
  const EstimateReport estimate = ReportEstimate(in.spec, c.architecture, c.width);
  ASSERT_EQ(Write(OutputFormat::Verilog, in, test::HardwareOptions(c.architecture, c.width),
                  verilogDir.Path("fir.v")),
            OutputCode::Ok);
  // The estimate's latency, in samples, plus the one sample the bench takes to present an
  // input after it reads an output.
  const ResourceEstimate e = EstimateResources(in.spec, c.architecture, c.width);
  ASSERT_TRUE(e.available);
  const long latency = (speed ? e.latencyClocks : e.latencyClocks / (c.taps + 1)) + 1;
  const std::vector<std::int64_t> x =
      test::Stimulus(c.taps, c.width, speed ? kRandomSamplesSpeed : kRandomSamplesSize);
  test::WriteStimulus(x, verilogDir.Path("stimulus.txt"));

  std::string log;
  ASSERT_EQ(RunTrace(verilogDir, true, speed, c.width, latency + 1, log), 0)
      << "Icarus Verilog failed:\n"
      << log;
  const std::vector<TraceLine> trace = ReadTrace(verilogDir.Path("trace.txt"));

  const std::vector<std::int64_t> h = test::IntegerTaps(in);
  long r = 0;
  int mismatches = 0;
  int saturations = 0;
  for (const TraceLine& line : trace) {
    if (line.newSample == 0) {
      continue;
    }
    const Sample want = test::Expected(h, in.design.shift, c.width, x, r - latency);
    saturations += want.saturated;
    if (!(line.sample == want) && mismatches++ < 5) {
      ADD_FAILURE() << "output " << r << " (input " << r - latency << "): got " << line.sample.y
                    << " flag " << line.sample.saturated << ", want " << want.y << " flag "
                    << want.saturated;
    }
    ++r;
  }
  EXPECT_GE(r, static_cast<long>(x.size()) + latency);
  EXPECT_EQ(mismatches, 0) << "of " << r << " outputs";
  if (c.source == Taps::Extreme) {
    EXPECT_GT(saturations, 0) << "the extreme taps should drive the output into saturation";
  }
  if (!GetParam().againstGhdl) {
    return;
  }

  ASSERT_TRUE(test::OnPath("ghdl")) << "ghdl is not on PATH; scripts/install-deps installs it";
  test::ScratchDirectory vhdlDir;
  ASSERT_EQ(Write(OutputFormat::Vhdl, in, test::HardwareOptions(c.architecture, c.width),
                  vhdlDir.Path("fir.vhd")),
            OutputCode::Ok);
  test::WriteStimulus(x, vhdlDir.Path("stimulus.txt"));
  ASSERT_EQ(RunTrace(vhdlDir, false, speed, c.width, latency + 1, log), 0) << "GHDL failed:\n"
                                                                           << log;
  const std::vector<TraceLine> vhdlTrace = ReadTrace(vhdlDir.Path("trace.txt"));
  ASSERT_EQ(vhdlTrace.size(), trace.size()) << "clocks simulated";
  for (std::size_t clock = 0; clock < trace.size(); ++clock) {
    ASSERT_EQ(trace[clock], vhdlTrace[clock])
        << "clock " << clock << ": Verilog " << trace[clock].sample.y << " "
        << trace[clock].sample.saturated << " " << trace[clock].newSample << ", VHDL "
        << vhdlTrace[clock].sample.y << " " << vhdlTrace[clock].sample.saturated << " "
        << vhdlTrace[clock].newSample;
  }
}

std::vector<VerilogCase> Cases() {
  using Q = Quantization;
  using M = FilterModel;
  return {
      {{"", kSize, Q::Signed8, 3, 8, M::Rectangle, Taps::Designed}, true},
      {{"", kSize, Q::Signed8, 2, 12, M::Rectangle, Taps::Designed}, false},
      {{"", kSize, Q::Signed16, 31, 16, M::RaisedCosine, Taps::Designed}, false},
      {{"", kSize, Q::Signed16, 101, 24, M::Butterworth, Taps::Designed}, false},
      {{"", kSize, Q::Signed16, 9, 16, M::Rectangle, Taps::Extreme}, true},
      {{"", kSize, Q::Signed8, 8, 12, M::RaisedCosine, Taps::Extreme}, false},
      {{"", kSpeed, Q::Signed8, 5, 8, M::RaisedCosine, Taps::Designed}, false},
      {{"", kSpeed, Q::Signed16, 31, 12, M::Butterworth, Taps::Designed}, true},
      {{"", kSpeed, Q::Signed8, 101, 16, M::Rectangle, Taps::Designed}, false},
      {{"", kSpeed, Q::Signed16, 31, 4, M::RaisedCosine, Taps::Designed}, false},
      {{"", kSpeed, Q::Signed8, 9, 8, M::Rectangle, Taps::Extreme}, false},
      {{"", kSpeed, Q::Signed16, 11, 24, M::Rectangle, Taps::Extreme}, true},
  };
}

INSTANTIATE_TEST_SUITE_P(Designs, IcarusSimulation, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<VerilogCase>& param) {
                           return test::HdlCaseName(param.param.hdl) +
                                  (param.param.againstGhdl ? "AndGhdl" : "");
                         });

}  // namespace
}  // namespace qv
