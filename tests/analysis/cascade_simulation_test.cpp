// The integer arithmetic of a fixed-point section cascade on hand-made sections, whose outputs
// follow by hand; the end-cycle search against a plain search that remembers every state;
// the exact stability test against the roots' magnitudes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "analysis/cascade_roots.h"
#include "analysis/cascade_simulation.h"

namespace qv {
namespace {

// One 16-bit section with postShift 1: its coefficients are the true ones times 2^14.
FixedPointCascade OneSection(FixedPointSection section, int wordBits = 16, int postShift = 1) {
  FixedPointCascade c;
  c.wordBits = wordBits;
  c.postShift = postShift;
  c.count = 1;
  c.sections[0] = section;
  return c;
}

std::vector<std::int32_t> Filter(const FixedPointCascade& c, const std::vector<std::int32_t>& input,
                                 int& saturations) {
  CascadeState state;
  std::vector<std::int32_t> out;
  for (const std::int32_t x : input) out.push_back(RunCascadeSample(c, state, x, saturations));
  return out;
}

struct ArithmeticCase {
  const char* name;
  FixedPointCascade cascade;
  std::vector<std::int32_t> input;
  std::vector<std::int32_t> output;
  int saturations;
};

void PrintTo(const ArithmeticCase& c, std::ostream* os) { *os << c.name; }

class CascadeArithmetic : public testing::TestWithParam<ArithmeticCase> {};

TEST_P(CascadeArithmetic, GivesTheOutputsWorkedByHand) {
  int saturations = 0;
  EXPECT_EQ(Filter(GetParam().cascade, GetParam().input, saturations), GetParam().output);
  EXPECT_EQ(saturations, GetParam().saturations);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CascadeArithmetic,
    testing::Values(
        // b0 = 0.5: 3 * 8192 / 16384 = 1.5 -> 1 and -1.5 -> -2 (the low bits discarded).
        ArithmeticCase{"ShiftRoundsTowardMinusInfinity",
                       OneSection({8192, 0, 0, 0, 0}),
                       {3, -3, 1, -1},
                       {1, -2, 0, -1},
                       0},
        // b0 = 1.5 lifts full scale beyond the word both ways; 21845 * 1.5 = 32767.5 just fits.
        ArithmeticCase{"OutputSaturates",
                       OneSection({24576, 0, 0, 0, 0}),
                       {32767, -32768, 21845, -21846},
                       {32767, -32768, 32767, -32768},
                       3},
        // y[t] = x[t] + 1.5 y[t-1]: the state holds 32767, not the 49150 the sum would make.
        ArithmeticCase{"StateHoldsTheSaturatedOutput",
                       OneSection({16384, 0, 0, 24576, 0}),
                       {20000, 20000, 0},
                       {20000, 32767, 32767},
                       2},
        // b1 and b2 take the inputs one and two samples back; a2 = -0.5 adds the output two
        // back: y[2] = -100 - 50, y[3] = -25, y[4] = 75.
        ArithmeticCase{"HistoryTaps",
                       OneSection({16384, 8192, -16384, 0, -8192}),
                       {100, 0, 0, 0, 0},
                       {100, 50, -150, -25, 75},
                       0},
        // Two sections: the second filters the first's output.
        ArithmeticCase{"SectionsInSeries",
                       [] {
                         FixedPointCascade c = OneSection({8192, 0, 0, 0, 0});
                         c.count = 2;
                         c.sections[1] = {16384, 16384, 0, 0, 0};
                         return c;
                       }(),
                       {100, 0, 0},
                       {50, 50, 0},
                       0},
        // 8 bits, postShift 0: b0 = 0.75 as 96 / 128; the word is -128..127.
        ArithmeticCase{"EightBitWord",
                       OneSection({96, 0, 0, 0, 0}, 8, 0),
                       {127, -128, 5, -5},
                       {95, -96, 3, -4},
                       0}),
    [](const testing::TestParamInfo<ArithmeticCase>& param) { return param.param.name; });

// The cycle the zero-input cascade falls into after an impulse, by remembering every state.
CascadeBehaviour PlainEndCycle(const FixedPointCascade& c) {
  CascadeState state;
  int ignored = 0;
  RunCascadeSample(c, state, CascadeFullScale(c), ignored);
  std::map<std::vector<std::int32_t>, int> seen;
  for (int t = 0;; ++t) {
    std::vector<std::int32_t> key;
    for (const auto& s : state.sections) key.insert(key.end(), s.begin(), s.end());
    if (const auto found = seen.find(key); found != seen.end()) {
      CascadeBehaviour b;
      const int period = t - found->second;
      bool zero = true;
      for (const std::int32_t v : key) zero = zero && v == 0;
      if (zero) return b;
      b.settles = false;
      b.cyclePeriod = period;
      for (int i = 0; i < period; ++i) {
        b.cycleAmplitude =
            std::max(b.cycleAmplitude, std::abs(RunCascadeSample(c, state, 0, ignored)));
      }
      return b;
    }
    seen.emplace(key, t);
    RunCascadeSample(c, state, 0, ignored);
  }
}

// Random stable sections of low resolution fall into all kinds of cycles: constant outputs,
// oscillations, and the all-zero state.
TEST(CascadeEndCycle, MatchesASearchThatRemembersEveryState) {
  std::mt19937 random(11);
  int cycles = 0;
  int settled = 0;
  for (int n = 0; n < 300; ++n) {
    FixedPointCascade c;
    c.wordBits = 8;
    c.postShift = 1;
    c.count = std::uniform_int_distribution<int>(1, 3)(random);
    for (int k = 0; k < c.count; ++k) {
      std::uniform_int_distribution<std::int32_t> any(-64, 63);
      // Stable: |a2| < 64 and |a1| < 64 - a2 with the feedback added.
      const std::int32_t a2 = std::uniform_int_distribution<std::int32_t>(-63, 63)(random);
      const std::int32_t a1 =
          std::uniform_int_distribution<std::int32_t>(-(63 - a2), 63 - a2)(random);
      c.sections[static_cast<std::size_t>(k)] = {any(random), any(random), any(random), a1, a2};
    }
    ASSERT_TRUE(CascadeIsStable(c));
    std::array<double, 64> step{};
    std::array<double, 64> impulse{};
    const CascadeBehaviour found = SimulateCascadeStepAndImpulse(c, 64, step, impulse).behaviour;
    CascadeBehaviour want = PlainEndCycle(c);
    want.saturated = found.saturated;
    EXPECT_EQ(found.settles, want.settles) << n;
    EXPECT_EQ(found.cyclePeriod, want.cyclePeriod) << n;
    EXPECT_EQ(found.cycleAmplitude, want.cycleAmplitude) << n;
    (want.settles ? settled : cycles) += 1;
  }
  EXPECT_GT(cycles, 10);
  EXPECT_GT(settled, 10);
}

// The exact triangle test agrees with the magnitudes of the roots CascadeRoots computes, away
// from the circle's rounding.
TEST(CascadeStability, TriangleTestAgreesWithThePoles) {
  std::mt19937 random(5);
  for (int n = 0; n < 2000; ++n) {
    std::uniform_int_distribution<std::int32_t> any(-32768, 32767);
    const FixedPointCascade c =
        OneSection({any(random), any(random), any(random), any(random), any(random)});
    std::array<Complex, 2> zeros{};
    std::array<Complex, 2> poles{};
    ASSERT_TRUE(CascadeRoots(c, 2, zeros, poles));
    const double largest = std::max(Magnitude(poles[0]), Magnitude(poles[1]));
    if (std::abs(largest - 1.0) < 1e-9) continue;
    EXPECT_EQ(CascadeIsStable(c), largest < 1.0) << n;
    // The poles are the roots of z^2 - (a1 / S) z - (a2 / S).
    for (const Complex& p : poles) {
      const Complex value =
          p * p - (c.sections[0].a1 / 16384.0) * p - Complex{c.sections[0].a2 / 16384.0, 0.0};
      EXPECT_LT(Magnitude(value), 1e-9 * std::max(1.0, Magnitude(p) * Magnitude(p))) << n;
    }
  }
}

}  // namespace
}  // namespace qv
