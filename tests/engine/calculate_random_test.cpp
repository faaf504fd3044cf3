// Thousands of specifications drawn across every field's whole range, valid and invalid, run
// through Calculate (the sanitizer build watches memory and undefined behaviour): every success
// has finite curves and ranges, every failure exactly one known message.
#include "engine/calculate.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "design/design_driver.h"
#include "design/validation.h"

namespace qv {
namespace {

constexpr int kSpecifications = 5000;
using Int32Limits = std::numeric_limits<std::int32_t>;

class Drawer {
 public:
  explicit Drawer(std::uint32_t seed) : random_(seed) {}

  // A value in [low, high], a notable edge, or any int32: a third each in a wild specification,
  // mostly the first in a tame one.
  std::int32_t Int32(std::int32_t low, std::int32_t high) {
    static constexpr std::int32_t kEdges[] = {Int32Limits::min(),
                                              Int32Limits::min() + 1,
                                              -1000000,
                                              -2,
                                              -1,
                                              0,
                                              1,
                                              2,
                                              3,
                                              9,
                                              10,
                                              19,
                                              20,
                                              31,
                                              32,
                                              511,
                                              512,
                                              1000,
                                              1999999,
                                              2000000,
                                              2000000000,
                                              Int32Limits::max() - 1,
                                              Int32Limits::max()};
    switch (Kind()) {
      case 0:
        return std::uniform_int_distribution<std::int32_t>(low, high)(random_);
      case 1:
        return kEdges[Pick(std::size(kEdges))];
      default:
        return std::uniform_int_distribution<std::int32_t>(Int32Limits::min(),
                                                           Int32Limits::max())(random_);
    }
  }

  // Likewise for reals; "any" is any bit pattern, so infinities, NaNs and denormals come too.
  double Real(double low, double high) {
    static constexpr double kEdges[] = {0.0,
                                        -0.0,
                                        1.0,
                                        -1.0,
                                        1e-300,
                                        1e300,
                                        std::numeric_limits<double>::max(),
                                        -std::numeric_limits<double>::max(),
                                        std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN()};
    switch (Kind()) {
      case 0:
        return std::uniform_real_distribution<double>(low, high)(random_);
      case 1:
        return kEdges[Pick(std::size(kEdges))];
      default:
        return std::bit_cast<double>(std::uniform_int_distribution<std::uint64_t>()(random_));
    }
  }

  template <typename Enum>
  Enum Enumeration(std::int32_t count) {
    return static_cast<Enum>(Pick(wild_ ? 4 : 50) == 0 ? Int32(-1, count)
                                                       : static_cast<std::int32_t>(Pick(count)));
  }

  FilterSpec Spec() {
    wild_ = Pick(2) == 0;
    FilterSpec spec;
    spec.filterClass = Enumeration<FilterClass>(2);
    spec.bandType = Enumeration<BandType>(4);
    spec.model = Enumeration<FilterModel>(5);
    spec.order = Int32(0, 20);
    spec.effectiveOrder = Int32(0, 40);
    spec.rollOff = Real(-0.1, 1.1);
    spec.fsample = Int32(1, 200000);
    spec.fcut1 = Int32(1, spec.fsample > 1 ? spec.fsample / 2 : 1);
    spec.fcut2 = Int32(spec.fcut1, spec.fsample > spec.fcut1 ? spec.fsample : spec.fcut1);
    spec.fcenter = Real(0.0, 100000.0);
    spec.ripple = Real(-1.0, 10.0);
    spec.taps = Int32(1, 512);
    spec.quantization = Enumeration<Quantization>(3);
    return spec;
  }

 private:
  std::size_t Pick(std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
  }

  // 0: within the range, 1: an edge, 2: anything.
  std::size_t Kind() {
    if (wild_) {
      return Pick(3);
    }
    return Pick(40) == 0 ? 1 + Pick(2) : 0;
  }

  std::mt19937 random_;
  bool wild_ = false;
};

bool Finite(const Curve& curve) {
  for (const double value : curve) {
    if (!std::isfinite(value)) {
      return false;
    }
  }
  return true;
}

void ExpectSoundSuccess(const FilterSpec& spec, const DisplayScale& scale, const ResponseSet& r,
                        int index) {
  SCOPED_TRACE("specification " + std::to_string(index));
  EXPECT_GE(scale.points, 1);
  EXPECT_LE(scale.points, kSimulationSamples);
  EXPECT_TRUE(Finite(r.magnitudeDb));
  EXPECT_TRUE(Finite(r.phase));
  EXPECT_TRUE(Finite(r.groupDelay));
  EXPECT_TRUE(Finite(r.impulse));
  EXPECT_TRUE(Finite(r.step));
  for (const double value : {r.magnitudeMinDb, r.magnitudeMaxDb, r.groupDelayMin, r.groupDelayMax,
                             r.impulsePeak, r.stepPeak}) {
    EXPECT_TRUE(std::isfinite(value));
  }
  EXPECT_LE(r.magnitudeMinDb, 0.0);
  EXPECT_LE(r.magnitudeMinDb, r.magnitudeMaxDb);
  EXPECT_LT(r.groupDelayMin, r.groupDelayMax);
  const bool knownUnit = (r.groupDelayUnit == "s" && r.groupDelayFactor == 1.0f) ||
                         (r.groupDelayUnit == "ms" && r.groupDelayFactor == 1000.0f) ||
                         (r.groupDelayUnit == "us" && r.groupDelayFactor == 1000000.0f) ||
                         (r.groupDelayUnit == "ns" && r.groupDelayFactor == 1000000000.0f);
  EXPECT_TRUE(knownUnit) << r.groupDelayUnit << " " << r.groupDelayFactor;
  if (IsIirModel(spec.model)) {
    ASSERT_GE(spec.effectiveOrder, 0);
    ASSERT_LT(spec.effectiveOrder, kMaxCoefficients);
    for (int i = 0; i < spec.effectiveOrder; ++i) {
      EXPECT_TRUE(std::isfinite(r.zeros[i].re) && std::isfinite(r.zeros[i].im)) << "zero " << i;
      EXPECT_LT(r.poles[i].re * r.poles[i].re + r.poles[i].im * r.poles[i].im, 1.0) << "pole " << i;
    }
  }
}

TEST(CalculateRandomTest, EverySpecificationSucceedsSoundlyOrGivesOneMessage) {
  Drawer drawer(0x51ED2024u);
  int successes = 0;
  int validationFailures = 0;
  int designFailures = 0;
  for (int i = 0; i < kSpecifications; ++i) {
    const Calculation calculation = Calculate(drawer.Spec());
    const CalculateOutcome& outcome = calculation.outcome;
    if (outcome.Succeeded()) {
      EXPECT_TRUE(outcome.message.empty());
      ExpectSoundSuccess(calculation.spec, calculation.scale, calculation.responses, i);
      ++successes;
      continue;
    }
    // One message, the one of its code: validation codes are -20 and below, design codes
    // -1 and below down to the validation range.
    const bool validation = outcome.code <= static_cast<int>(ValidationCode::BadRollOff);
    EXPECT_EQ(outcome.message, validation
                                   ? ValidationMessage(static_cast<ValidationCode>(outcome.code))
                                   : DesignMessage(static_cast<DesignCode>(outcome.code)))
        << "specification " << i;
    EXPECT_FALSE(outcome.message.empty()) << "specification " << i << " code " << outcome.code;
    ++(validation ? validationFailures : designFailures);
  }
  // The drawing reaches all three ends, so each was judged many times.
  EXPECT_GT(successes, kSpecifications / 20);
  EXPECT_GT(validationFailures, kSpecifications / 20);
  EXPECT_GT(designFailures, 10);
}

}  // namespace
}  // namespace qv
