// Simulates generated VHDL in GHDL and compares every output sample with the exact integer
// filter sat_W(floor(sum h[k] x[t-k] / 2^shift)) and its saturation flag. Each case analyses,
// elaborates and runs its design once, feeding impulses, steps and a pseudo-random sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "codegen/resource_estimate.h"
#include "codegen/vhdl_generator.h"
#include "codegen_test_support.h"

namespace qv {
namespace {

constexpr int kSize = static_cast<int>(VhdlArchitecture::Size);
constexpr int kSpeed = static_cast<int>(VhdlArchitecture::Speed);
constexpr const char* kGhdlFlags = " --std=93c -fsynopsys -fexplicit";
constexpr int kRandomSamplesSize = 48;
constexpr int kRandomSamplesSpeed = 400;

enum class Taps { Designed, Extreme };

struct HdlCase {
  const char* name;
  int architecture;
  Quantization quantization;
  int taps;
  int width;  // X_IN and Y_OUT bits
  FilterModel model;
  Taps source;
};

void PrintTo(const HdlCase& c, std::ostream* os) {
  *os << (c.architecture == kSpeed ? "speed" : "size") << " N=" << c.taps << " W=" << c.width;
}

int CoefficientWidth(Quantization q) { return q == Quantization::Signed8 ? 8 : 16; }

// The design of the case: a calculated FIR low pass, or taps alternating between the most
// negative and the most positive coefficient (symmetric for an odd count) that drive every
// width of the datapath to its limit.
test::GeneratorInput MakeInput(const HdlCase& c) {
  if (c.source == Taps::Extreme) {
    const int bits = CoefficientWidth(c.quantization);
    test::GeneratorInput in = test::HandMadeFir({}, c.quantization, bits - 1);
    in.spec.taps = c.taps;
    for (int i = 0; i < c.taps; ++i) {
      in.design.firTaps[i] = (i % 2 == 0) ? -(1 << (bits - 1)) : (1 << (bits - 1)) - 1;
    }
    return in;
  }
  FilterSpec spec;
  spec.filterClass = FilterClass::Fir;
  spec.model = c.model;
  spec.taps = c.taps;
  spec.quantization = c.quantization;
  return test::Calculated(spec);
}

// Full-scale impulses and steps of both signs, each followed by silence, then a
// pseudo-random sequence over the whole signal range.
std::vector<std::int64_t> Stimulus(int taps, int width, int randomCount) {
  const std::int64_t high = (std::int64_t{1} << (width - 1)) - 1;
  const std::int64_t low = -(std::int64_t{1} << (width - 1));
  const int quiet = taps + 2;
  std::vector<std::int64_t> x;
  auto hold = [&x](std::int64_t v, int count) {
    x.insert(x.end(), static_cast<std::size_t>(count), v);
  };
  hold(high, 1);
  hold(0, quiet);
  hold(low, 1);
  hold(0, quiet);
  hold(high, quiet);
  hold(low, quiet);
  hold(0, quiet);
  std::uint32_t state = 12345u;
  const auto span = static_cast<std::uint64_t>(high - low + 1);
  for (int i = 0; i < randomCount; ++i) {
    state = state * 1664525u + 1013904223u;
    x.push_back(low + static_cast<std::int64_t>((state >> 8) % span));
  }
  return x;
}

struct Sample {
  std::int64_t y = 0;
  int saturated = 0;
  friend bool operator==(const Sample&, const Sample&) = default;
};

// The output the hardware must give at sample t: the exact sum, floored by 2^shift, clamped to
// the signal width, with the flag set when it was clamped.
Sample Expected(const std::vector<std::int64_t>& h, int shift, int width,
                const std::vector<std::int64_t>& x, long t) {
  std::int64_t acc = 0;
  for (std::size_t k = 0; k < h.size(); ++k) {
    const long i = t - static_cast<long>(k);
    if (i >= 0 && i < static_cast<long>(x.size())) {
      acc += h[k] * x[static_cast<std::size_t>(i)];
    }
  }
  const std::int64_t high = (std::int64_t{1} << (width - 1)) - 1;
  const std::int64_t low = -(std::int64_t{1} << (width - 1));
  const std::int64_t y = acc >> shift;
  if (y > high) return {high, 1};
  if (y < low) return {low, 1};
  return {y, 0};
}

std::vector<Sample> ReadResponse(const std::string& path) {
  std::vector<Sample> samples;
  std::ifstream file(path);
  Sample s;
  while (file >> s.y >> s.saturated) {
    samples.push_back(s);
  }
  return samples;
}

class GhdlSimulation : public testing::TestWithParam<HdlCase> {};

TEST_P(GhdlSimulation, OutputEqualsTheExactIntegerFilter) {
  const HdlCase& c = GetParam();
  ASSERT_TRUE(test::OnPath("ghdl")) << "ghdl is not on PATH; scripts/install-deps installs it";
  const test::GeneratorInput in = MakeInput(c);
  const bool speed = c.architecture == kSpeed;

  test::ScratchDir dir;
  const EstimateReport estimate = ReportEstimate(in.spec, c.architecture, c.width);
  ASSERT_EQ(
      GenerateVhdlCode(in.spec, in.scale, in.design.denominator, in.design.firTaps, in.design.shift,
                       c.architecture, estimate.HeaderComment(), dir.File("fir.vhd")),
      0);

  // The estimate's latency, in samples, plus the one sample the testbench takes to present
  // an input after it records an output.
  const ResourceEstimate e = EstimateResources(in.spec, c.architecture, c.width);
  ASSERT_TRUE(e.available);
  const long latency = (speed ? e.latencyClocks : e.latencyClocks / (c.taps + 1)) + 1;

  const std::vector<std::int64_t> x =
      Stimulus(c.taps, c.width, speed ? kRandomSamplesSpeed : kRandomSamplesSize);
  {
    std::ofstream stimulus(dir.File("stimulus.txt"));
    for (const std::int64_t v : x) {
      stimulus << v << '\n';
    }
  }
  const std::string bench = speed ? "fir_tb_speed" : "fir_tb_size";
  const std::string command =
      "cd '" + dir.path() + "' && ghdl -a" + kGhdlFlags + " fir.vhd '" QUORVANEL_TESTBENCH_DIR "/" +
      bench + ".vhd' && ghdl -e" + kGhdlFlags + " " + bench + " && ghdl -r" + kGhdlFlags + " " +
      bench + " -gW=" + std::to_string(c.width) + " -gFLUSH=" + std::to_string(latency + 1) +
      " --ieee-asserts=disable > ghdl.log 2>&1";
  const int status = test::RunShell(command + " || { cat ghdl.log >> ghdl.err; exit 1; }");
  const std::string log =
      test::ReadFile(dir.File("ghdl.log")) + test::ReadFile(dir.File("ghdl.err"));
  ASSERT_EQ(status, 0) << "GHDL failed:\n" << log;
  EXPECT_EQ(log.find("assertion"), std::string::npos) << log;

  std::vector<std::int64_t> h;
  for (int k = 0; k < c.taps; ++k) {
    h.push_back(static_cast<std::int64_t>(in.design.firTaps[static_cast<std::size_t>(k)]));
  }
  const std::vector<Sample> out = ReadResponse(dir.File("response.txt"));
  ASSERT_GE(static_cast<long>(out.size()), static_cast<long>(x.size()) + latency);
  int mismatches = 0;
  int saturations = 0;
  for (std::size_t r = 0; r < out.size(); ++r) {
    const Sample want = Expected(h, in.design.shift, c.width, x, static_cast<long>(r) - latency);
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
  for (const int arch : {kSize, kSpeed}) {
    for (const Quantization q : {Quantization::Signed8, Quantization::Signed16}) {
      int m = 0;
      for (const int n : counts) {
        cases.push_back({"", arch, q, n, CoefficientWidth(q), models[m++ % 3], Taps::Designed});
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
  const HdlCase& c = param.param;
  return std::string(c.architecture == kSpeed ? "Speed" : "Size") +
         (c.quantization == Quantization::Signed8 ? "8bit" : "16bit") + "N" +
         std::to_string(c.taps) + "W" + std::to_string(c.width) +
         (c.source == Taps::Extreme ? "Extreme" : "Designed");
}

INSTANTIATE_TEST_SUITE_P(Designs, GhdlSimulation, testing::ValuesIn(Cases()), CaseName);

}  // namespace
}  // namespace qv
