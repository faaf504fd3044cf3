// Simulates generated VHDL in GHDL and compares every output sample with the exact integer
// filter sat_W(floor(sum h[k] x[t-k] / 2^shift)) and its saturation flag. Each case analyses,
// elaborates and runs its design once, feeding impulses, steps and a pseudo-random sequence.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "codegen/resource_estimate.h"
#include "codegen/vhdl_generator.h"
#include "hdl_test_support.h"

namespace qv {
namespace {

using test::HdlCase;
using test::kSize;
using test::kSpeed;
using test::Sample;
using test::Taps;

constexpr int kRandomSamplesSize = 48;
constexpr int kRandomSamplesSpeed = 400;

class GhdlSimulation : public testing::TestWithParam<HdlCase> {};

TEST_P(GhdlSimulation, OutputEqualsTheExactIntegerFilter) {
  const HdlCase& c = GetParam();
  ASSERT_TRUE(test::OnPath("ghdl")) << "ghdl is not on PATH; scripts/install-deps installs it";
  const test::GeneratorInput in = test::MakeHdlInput(c);
  const bool speed = c.architecture == kSpeed;

  test::ScratchDirectory dir;
  const EstimateReport estimate = ReportEstimate(in.spec, c.architecture, c.width);
  ASSERT_EQ(Write(OutputFormat::Vhdl, in, test::HardwareOptions(c.architecture, c.width),
                  dir.Path("fir.vhd")),
            OutputCode::Ok);

  // The estimate's latency, in samples, plus the one sample the testbench takes to present
  // an input after it records an output.
  const ResourceEstimate e = EstimateResources(in.spec, c.architecture, c.width);
  ASSERT_TRUE(e.available);
  const long latency = (speed ? e.latencyClocks : e.latencyClocks / (c.taps + 1)) + 1;

  const std::vector<std::int64_t> x =
      test::Stimulus(c.taps, c.width, speed ? kRandomSamplesSpeed : kRandomSamplesSize);
  test::WriteStimulus(x, dir.Path("stimulus.txt"));
  const std::string bench = speed ? "fir_tb_speed" : "fir_tb_size";
  const std::string command = "cd '" + dir.Directory() + "' && ghdl -a" + test::kGhdlFlags +
                              " fir.vhd '" QUORVANEL_TESTBENCH_DIR "/" + bench +
                              ".vhd' && ghdl -e" + test::kGhdlFlags + " " + bench + " && ghdl -r" +
                              test::kGhdlFlags + " " + bench + " -gW=" + std::to_string(c.width) +
                              " -gFLUSH=" + std::to_string(latency + 1) +
                              " --ieee-asserts=disable > ghdl.log 2>&1";
  const int status = test::RunShell(command + " || { cat ghdl.log >> ghdl.err; exit 1; }");
  const std::string log =
      test::ReadFile(dir.Path("ghdl.log")) + test::ReadFile(dir.Path("ghdl.err"));
  ASSERT_EQ(status, 0) << "GHDL failed:\n" << log;
  EXPECT_EQ(log.find("assertion"), std::string::npos) << log;

  const std::vector<std::int64_t> h = test::IntegerTaps(in);
  const std::vector<Sample> out = test::ReadResponse(dir.Path("response.txt"));
  ASSERT_GE(static_cast<long>(out.size()), static_cast<long>(x.size()) + latency);
  int mismatches = 0;
  int saturations = 0;
  for (std::size_t r = 0; r < out.size(); ++r) {
    const Sample want =
        test::Expected(h, in.design.shift, c.width, x, static_cast<long>(r) - latency);
    saturations += want.saturated;
    if (!(out[r] == want) && mismatches++ < 5) {
      ADD_FAILURE() << "output " << r << " (input " << static_cast<long>(r) - latency << "): got "
                    << out[r].y << " flag " << out[r].saturated << ", want " << want.y << " flag "
                    << want.saturated;
    }
  }
  EXPECT_EQ(mismatches, 0) << "of " << out.size() << " outputs";
  if (c.source == Taps::Extreme) {
    EXPECT_GT(saturations, 0) << "the extreme taps should drive the output into saturation";
  }
}

std::vector<HdlCase> Cases() {
  std::vector<HdlCase> cases;
  const int counts[] = {3, 5, 7, 9, 31, 101};
  const FilterModel models[] = {FilterModel::Rectangle, FilterModel::RaisedCosine,
                                FilterModel::Butterworth};
  for (const HdlArchitecture arch : {kSize, kSpeed}) {
    for (const Quantization q : {Quantization::Signed8, Quantization::Signed16}) {
      int m = 0;
      for (const int n : counts) {
        cases.push_back(
            {"", arch, q, n, test::CoefficientWidth(q), models[m++ % 3], Taps::Designed});
      }
    }
  }
  cases.push_back(
      {"", kSize, Quantization::Signed16, 30, 16, FilterModel::Rectangle, Taps::Designed});
  cases.push_back(
      {"", kSize, Quantization::Signed8, 8, 12, FilterModel::RaisedCosine, Taps::Designed});
  cases.push_back(
      {"", kSize, Quantization::Signed16, 2, 16, FilterModel::Rectangle, Taps::Designed});
  // A narrow signal whose saturation test reaches far above the output window.
  cases.push_back(
      {"", kSpeed, Quantization::Signed16, 31, 5, FilterModel::RaisedCosine, Taps::Designed});
  cases.push_back(
      {"", kSize, Quantization::Signed16, 9, 16, FilterModel::Rectangle, Taps::Extreme});
  cases.push_back({"", kSpeed, Quantization::Signed8, 9, 8, FilterModel::Rectangle, Taps::Extreme});
  cases.push_back(
      {"", kSpeed, Quantization::Signed16, 11, 10, FilterModel::Rectangle, Taps::Extreme});
  return cases;
}

std::string CaseName(const testing::TestParamInfo<HdlCase>& param) {
  return test::HdlCaseName(param.param);
}

INSTANTIATE_TEST_SUITE_P(Designs, GhdlSimulation, testing::ValuesIn(Cases()), CaseName);

}  // namespace
}  // namespace qv
