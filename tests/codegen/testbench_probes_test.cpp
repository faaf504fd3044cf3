// The probe windows against the exact integer model of the hardware: for designs of both
// architectures and coefficient widths, from 2 to 511 taps and signals of 4 to 32 bits, every
// coefficient the hardware holds, one step up and one step down, changes some output of the
// windows, wherever any input can show it: for designs small enough, every possible window is
// tried to find out (a 3-tap design of 16-bit coefficients, shift 16, at 4 or 6 bits has no
// input at all that shows its middle tap one step off). The simulators prove the same of whole
// testbenches (testbench_simulation_test).
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "codegen/hdl_model.h"
#include "codegen/testbench_probes.h"
#include "hdl_test_support.h"

namespace qv {
namespace {

using test::HdlCase;
using test::Taps;

// Designs with at most this many possible windows are searched through for the steps any
// input can show.
constexpr std::int64_t kMaxEnumeratedWindows = std::int64_t{1} << 20;

std::int64_t ModelOutput(const std::vector<std::int32_t>& rom, const HdlCase& c, int shift,
                         std::span<const std::int32_t> x, long t) {
  return HdlModelOutput(rom, c.architecture, shift, c.width, x, t).y;
}

// Whether some window of N samples shows `wrong` against `rom`; true without looking when there
// are too many windows to try.
bool AnyInputShows(const std::vector<std::int32_t>& rom, const std::vector<std::int32_t>& wrong,
                   const HdlCase& c, int shift) {
  const std::int64_t values = std::int64_t{1} << c.width;
  std::int64_t windows = 1;
  for (int k = 0; k < c.taps; ++k) {
    windows *= values;
    if (windows > kMaxEnumeratedWindows) {
      return true;
    }
  }
  std::vector<std::int32_t> x(static_cast<std::size_t>(c.taps));
  for (std::int64_t index = 0; index < windows; ++index) {
    std::int64_t rest = index;
    for (std::int32_t& sample : x) {
      sample = static_cast<std::int32_t>(rest % values - values / 2);
      rest /= values;
    }
    if (ModelOutput(rom, c, shift, x, c.taps - 1) != ModelOutput(wrong, c, shift, x, c.taps - 1)) {
      return true;
    }
  }
  return false;
}

class ProbeWindows : public testing::TestWithParam<HdlCase> {};

TEST_P(ProbeWindows, ShowEveryCoefficientOneStepOff) {
  const HdlCase& c = GetParam();
  const test::GeneratorInput in = test::MakeHdlInput(c);
  std::vector<std::int32_t> rom(static_cast<std::size_t>(c.taps));
  for (std::size_t k = 0; k < rom.size(); ++k) {
    rom[k] = HdlCoefficient(in.design.firTaps[k], c.quantization);
  }
  std::vector<std::int32_t> x(static_cast<std::size_t>(kMaxProbeWindows * c.taps));
  const int count = MakeProbeWindows(rom, c.architecture, in.design.shift, c.width, x);
  ASSERT_GT(count, 0);
  ASSERT_EQ(count % c.taps, 0);
  ASSERT_LE(count, kMaxProbeWindows * c.taps);
  x.resize(static_cast<std::size_t>(count));
  const std::int32_t high = static_cast<std::int32_t>((std::int64_t{1} << (c.width - 1)) - 1);
  for (const std::int32_t sample : x) {
    ASSERT_LE(sample, high);
    ASSERT_GE(sample, -high - 1);
  }

  const int held = c.architecture == test::kSpeed ? (c.taps + 1) / 2 : c.taps;
  for (int k = 0; k < held; ++k) {
    for (const int step : {1, -1}) {
      std::vector<std::int32_t> wrong = rom;
      wrong[static_cast<std::size_t>(k)] += step;  // speed: the model reads it for the mirror too
      bool shown = false;
      for (long t = c.taps - 1; t < count && !shown; t += c.taps) {
        shown = ModelOutput(rom, c, in.design.shift, x, t) !=
                ModelOutput(wrong, c, in.design.shift, x, t);
      }
      EXPECT_EQ(shown, AnyInputShows(rom, wrong, c, in.design.shift))
          << "coefficient " << k << " one step " << (step > 0 ? "up" : "down");
    }
  }
}

std::vector<HdlCase> Cases() {
  using Q = Quantization;
  using M = FilterModel;
  std::vector<HdlCase> cases;
  cases.push_back({"", test::kSpeed, Q::Signed8, 3, 4, M::RaisedCosine, Taps::Designed});
  cases.push_back({"", test::kSpeed, Q::Signed16, 3, 6, M::Rectangle, Taps::Designed});
  for (const int width : {4, 6, 8, 12, 16, 24, 32}) {
    cases.push_back({"", test::kSize, Q::Signed16, 3, width, M::RaisedCosine, Taps::Designed});
    cases.push_back({"", test::kSize, Q::Signed8, 2, width, M::Rectangle, Taps::Designed});
    cases.push_back({"", test::kSpeed, Q::Signed16, 31, width, M::RaisedCosine, Taps::Designed});
    cases.push_back({"", test::kSpeed, Q::Signed8, 9, width, M::Butterworth, Taps::Designed});
    cases.push_back({"", test::kSize, Q::Signed16, 100, width, M::Chebyshev, Taps::Designed});
    cases.push_back({"", test::kSize, Q::Signed16, 511, width, M::RaisedCosine, Taps::Designed});
    cases.push_back({"", test::kSpeed, Q::Signed16, 511, width, M::Rectangle, Taps::Designed});
    cases.push_back({"", test::kSpeed, Q::Signed8, 7, width, M::Rectangle, Taps::Extreme});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Designs, ProbeWindows, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<HdlCase>& param) {
                           return test::HdlCaseName(param.param);
                         });

}  // namespace
}  // namespace qv
