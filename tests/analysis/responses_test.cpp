#include "analysis/responses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "analysis/display_spectrum.h"
#include "analysis/zero_placement.h"

namespace qv {
namespace {

struct GoldenCase {
  const char* name;
  int filterClass, bandType, model, order, effectiveOrder, fsample, taps;
  float columnStep;
  std::vector<double> b, a, h;
  double impulsePeak, stepPeak, magnitudeMinDb, magnitudeMaxDb, groupDelayMin, groupDelayMax;
  const char* unit;
  float factor;
  Curve magnitudeDb, phase, groupDelay, impulse, step;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

const std::vector<GoldenCase>& GoldenCases() {
  static const std::vector<GoldenCase> cases = {
#include "responses_golden.inc"
  };
  return cases;
}

struct Inputs {
  FilterSpec spec;
  DisplayScale scale;
  FilterDesign design;
};

Inputs FromGolden(const GoldenCase& c) {
  Inputs in;
  in.spec = FilterSpec{.filterClass = static_cast<FilterClass>(c.filterClass),
                       .bandType = static_cast<BandType>(c.bandType),
                       .model = static_cast<FilterModel>(c.model),
                       .order = c.order,
                       .effectiveOrder = c.effectiveOrder,
                       .fsample = c.fsample,
                       .taps = c.taps};
  in.scale.columnStep = c.columnStep;
  std::copy(c.b.begin(), c.b.end(), in.design.numerator.begin());
  std::copy(c.a.begin(), c.a.end(), in.design.denominator.begin());
  std::copy(c.h.begin(), c.h.end(), in.design.firTaps.begin());
  return in;
}

ResponseSet Compute(const Inputs& in, ResponseSet responses = {}) {
  ComputeResponses(in.spec, in.scale, in.design, responses);
  return responses;
}

void ExpectCurveNear(const Curve& got, const Curve& expected, double tolerance,
                     const std::string& what) {
  for (int k = 0; k < kDisplayPoints; ++k) {
    ASSERT_NEAR(got[k], expected[k], tolerance) << what << " at point " << k;
  }
}

// Levels far below the reference are rounding noise of the transform; they only have to stay
// that far down.
constexpr double kNoiseLevelDb = -150.0;

void ExpectLevelNear(double got, double expected, const std::string& what) {
  if (expected < kNoiseLevelDb) {
    EXPECT_LT(got, kNoiseLevelDb) << what;
  } else {
    EXPECT_NEAR(got, expected, 1e-6) << what;
  }
}

// Angles compared on the circle: -pi and pi are the same phase.
void ExpectPhaseNear(const Curve& got, const Curve& expected) {
  for (int k = 0; k < kDisplayPoints; ++k) {
    const double difference = std::remainder(got[k] - expected[k], 2.0 * std::numbers::pi);
    ASSERT_NEAR(difference, 0.0, 1e-9) << "phase at point " << k;
  }
}

class GoldenResponsesTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenResponsesTest, MatchesAnIndependentComputation) {
  const GoldenCase& c = GetParam();
  const ResponseSet r = Compute(FromGolden(c));
  EXPECT_NEAR(r.impulsePeak, c.impulsePeak, 1e-12 * c.impulsePeak);
  EXPECT_NEAR(r.stepPeak, c.stepPeak, 1e-12 * c.stepPeak);
  ExpectLevelNear(r.magnitudeMinDb, c.magnitudeMinDb, "magnitudeMinDb");
  ExpectLevelNear(r.magnitudeMaxDb, c.magnitudeMaxDb, "magnitudeMaxDb");
  for (int k = 0; k < kDisplayPoints; ++k) {
    ExpectLevelNear(r.magnitudeDb[k], c.magnitudeDb[k], "magnitude at point " + std::to_string(k));
  }
  ExpectPhaseNear(r.phase, c.phase);
  ExpectCurveNear(r.impulse, c.impulse, 1e-12, "impulse");
  ExpectCurveNear(r.step, c.step, 1e-12, "step");
  if (c.filterClass == static_cast<int>(FilterClass::Fir) && c.taps >= kFirTapDelayFrom) {
    // The golden phase differences hold the delay of long linear-phase filters; the delay
    // comes from the taps instead: (N - 1)/2 samples at every point.
    Curve expected{};
    expected.fill((c.taps - 1) / 2.0 / c.fsample);
    ExpectCurveNear(r.groupDelay, expected, 1e-9, "group delay");
    EXPECT_EQ(r.groupDelayUnit, std::string_view("ms"));
    EXPECT_NEAR(r.groupDelayMin, expected[0] - 0.002e-3, 1e-9);
    EXPECT_NEAR(r.groupDelayMax, expected[0] + 0.002e-3, 1e-9);
    return;
  }
  EXPECT_EQ(r.groupDelayUnit, c.unit);
  EXPECT_EQ(r.groupDelayFactor, c.factor);
  // Two phases of 1e-9 rad each, over the angular step between points.
  const double delayTolerance = 2e-9 / ((c.fsample / 2) * std::numbers::pi / 128.0);
  EXPECT_NEAR(r.groupDelayMin, c.groupDelayMin, delayTolerance);
  EXPECT_NEAR(r.groupDelayMax, c.groupDelayMax, delayTolerance);
  ExpectCurveNear(r.groupDelay, c.groupDelay, delayTolerance, "group delay");
}

INSTANTIATE_TEST_SUITE_P(Designs, GoldenResponsesTest, ::testing::ValuesIn(GoldenCases()),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ResponsesTest, LowPassIsReferencedToZeroHertzAndBandPassToItsLargestGain) {
  for (const GoldenCase& c : GoldenCases()) {
    const ResponseSet r = Compute(FromGolden(c));
    if (c.bandType == static_cast<int>(BandType::LowPass)) {
      EXPECT_EQ(r.magnitudeDb[0], 0.0) << c.name;
      EXPECT_GE(r.magnitudeMaxDb, 0.0) << c.name;
    } else if (c.bandType == static_cast<int>(BandType::HighPass)) {
      EXPECT_EQ(r.magnitudeDb[127], 0.0) << c.name;
    } else {
      EXPECT_EQ(r.magnitudeMaxDb, 0.0) << c.name;
    }
    EXPECT_LE(r.magnitudeMinDb, 0.0) << c.name;
  }
}

// A filter that only delays by `delay` samples: flat 0 dB, a constant group delay.
Inputs PureDelay(int delay, int fsample) {
  Inputs in;
  in.spec = FilterSpec{.filterClass = FilterClass::Fir,
                       .model = FilterModel::Rectangle,
                       .fsample = fsample,
                       .taps = delay + 1};
  in.scale.columnStep = static_cast<float>(in.spec.taps) / 256.0f;
  in.design.firTaps[delay] = 1.0;
  return in;
}

struct UnitCase {
  int fsample;
  const char* unit;
  float factor;
};

class GroupDelayUnitTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(GroupDelayUnitTest, FlatDelayIsShownInItsUnitWithANarrowBand) {
  const UnitCase& c = GetParam();
  const ResponseSet r = Compute(PureDelay(15, c.fsample));
  const double delay = 15.0 / c.fsample;
  for (int k = 0; k < kDisplayPoints; ++k) {
    ASSERT_NEAR(r.groupDelay[k], delay, 1e-9 * delay) << k;
  }
  EXPECT_EQ(r.groupDelayUnit, c.unit);
  EXPECT_EQ(r.groupDelayFactor, c.factor);
  // Two thousandths of the unit on either side, as a single-precision value.
  const double band = static_cast<double>(0.002f / c.factor);
  EXPECT_NEAR(r.groupDelayMax - delay, band, 1e-6 * band);
  EXPECT_NEAR(delay - r.groupDelayMin, band, 1e-6 * band);
}

INSTANTIATE_TEST_SUITE_P(Units, GroupDelayUnitTest,
                         ::testing::Values(UnitCase{10, "s", 1.0f}, UnitCase{1000, "ms", 1000.0f},
                                           UnitCase{1000000, "us", 1000000.0f},
                                           UnitCase{1000000000, "ns", 1000000000.0f}));

TEST(ResponsesTest, SteepPhaseHoldsTheValueOfPointZeroUntilTheFirstWrap) {
  // 40 samples of delay: the phase falls by more than pi/8 per point, so only the points where
  // it wraps through -pi compute a delay; the phase of point k + 1 wraps first where
  // (k + 1) * step exceeds pi.
  const double step = 2.0 * std::numbers::pi * 40.0 / 512.0;
  const int firstWrap = static_cast<int>(std::ceil(std::numbers::pi / step)) - 1;
  for (const double carried : {0.0, 0.123}) {
    ResponseSet previous;
    previous.groupDelay[0] = carried;
    const ResponseSet r = Compute(PureDelay(40, 1000), previous);
    for (int k = 0; k < firstWrap; ++k) {
      EXPECT_EQ(r.groupDelay[k], carried) << k;
    }
    for (int k = firstWrap; k < kDisplayPoints; ++k) {
      EXPECT_NEAR(r.groupDelay[k], 0.040, 1e-12) << k;
    }
  }
}

// h = [0.5, -0.5]: |H| = sin(pi k / 512) at point k, nothing at 0 Hz.
Inputs Difference(BandType band) {
  Inputs in;
  in.spec = FilterSpec{.filterClass = FilterClass::Fir,
                       .bandType = band,
                       .model = FilterModel::Rectangle,
                       .taps = 2};
  in.scale.columnStep = 2.0f / 256.0f;
  in.design.firTaps[0] = 0.5;
  in.design.firTaps[1] = -0.5;
  return in;
}

struct ReferenceCase {
  BandType band;
  int referencePoint;  // where the curve reaches 0 dB
};

class ReferenceGainTest : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceGainTest, MagnitudeIsRelativeToTheBandsReferenceAndFloored) {
  const ReferenceCase& c = GetParam();
  const ResponseSet r = Compute(Difference(c.band));
  const double reference = std::sin(std::numbers::pi * c.referencePoint / 512.0);
  EXPECT_EQ(r.magnitudeDb[0], -300.0);
  EXPECT_EQ(r.magnitudeMinDb, -300.0);
  for (int k = 1; k < kDisplayPoints; ++k) {
    ASSERT_NEAR(r.magnitudeDb[k],
                20.0 * std::log10(std::sin(std::numbers::pi * k / 512.0) / reference), 1e-9)
        << k;
  }
  EXPECT_NEAR(r.magnitudeMaxDb, r.magnitudeDb[255], 1e-12);
}

// A low pass without gain at 0 Hz falls back to its largest gain, like the band types.
INSTANTIATE_TEST_SUITE_P(Bands, ReferenceGainTest,
                         ::testing::Values(ReferenceCase{BandType::LowPass, 255},
                                           ReferenceCase{BandType::HighPass, 127},
                                           ReferenceCase{BandType::BandPass, 255},
                                           ReferenceCase{BandType::BandStop, 255}));

struct PhaseStartCase {
  double previous;  // phase[0] before the calculation
  bool follows;     // whether it takes the value of point 1
};

class PhaseStartTest : public ::testing::TestWithParam<PhaseStartCase> {};

TEST_P(PhaseStartTest, PointZeroFollowsPointOneOnlyAcrossAJump) {
  // The difference filter's phase at point 1 is just below pi/2.
  ResponseSet previous;
  previous.phase[0] = GetParam().previous;
  const ResponseSet r = Compute(Difference(BandType::HighPass), previous);
  EXPECT_NEAR(r.phase[1], std::numbers::pi / 2 - std::numbers::pi / 512.0, 1e-12);
  EXPECT_EQ(r.phase[0], GetParam().follows ? r.phase[1] : GetParam().previous);
}

INSTANTIATE_TEST_SUITE_P(Starts, PhaseStartTest,
                         ::testing::Values(PhaseStartCase{0.0, true}, PhaseStartCase{1.4, false},
                                           PhaseStartCase{1.9, false}, PhaseStartCase{-1.0, true},
                                           PhaseStartCase{1.0, true}));

TEST(ResponsesTest, FilterWithoutOutputHasFiniteFlatCurves) {
  Inputs in = PureDelay(4, 1000);
  in.design.firTaps[4] = 0.0;
  ResponseSet previous;
  previous.impulse.fill(0.5);
  const ResponseSet r = Compute(in, previous);
  EXPECT_EQ(r.impulsePeak, 0.0);
  EXPECT_EQ(r.stepPeak, 0.0);
  for (int k = 0; k < kDisplayPoints; ++k) {
    ASSERT_EQ(r.impulse[k], 0.0);
    ASSERT_EQ(r.step[k], 0.0);
    ASSERT_EQ(r.magnitudeDb[k], -300.0);
    ASSERT_TRUE(std::isfinite(r.phase[k]));
    ASSERT_EQ(r.groupDelay[k], 0.0);
  }
  EXPECT_EQ(r.magnitudeMinDb, -300.0);
  EXPECT_EQ(r.magnitudeMaxDb, -300.0);
  EXPECT_EQ(r.groupDelayUnit, "ns");
  EXPECT_GT(r.groupDelayMax, 0.0);
  EXPECT_LT(r.groupDelayMin, 0.0);
}

// y(t) = 0.99 y(t-1) + x(t): the impulse response 0.99^t tells which sample each point shows.
Inputs Decay(float columnStep) {
  Inputs in;
  in.spec = FilterSpec{.order = 1, .effectiveOrder = 1};
  in.scale.columnStep = columnStep;
  in.design.numerator[0] = 1.0;
  in.design.denominator[0] = 1.0;
  in.design.denominator[1] = -0.99;
  return in;
}

class TimeMappingTest : public ::testing::TestWithParam<int> {};

TEST_P(TimeMappingTest, PointKShowsSampleTruncKTimesColumnStep) {
  const int points = GetParam();
  const ResponseSet r = Compute(Decay(static_cast<float>(points) / 256.0f));
  EXPECT_NEAR(r.impulsePeak, 1.0, 1e-15);
  const double settled = (1.0 - std::pow(0.99, 512)) / 0.01;  // the step's last, largest value
  EXPECT_NEAR(r.stepPeak, settled, 1e-9);
  for (int k = 0; k < kDisplayPoints; ++k) {
    const int sample = k * points / 256;
    ASSERT_NEAR(r.impulse[k], std::pow(0.99, sample), 1e-12) << k;
    ASSERT_NEAR(r.step[k], (1.0 - std::pow(0.99, sample + 1)) / 0.01 / settled, 1e-12) << k;
  }
}

INSTANTIATE_TEST_SUITE_P(AnalysisLengths, TimeMappingTest, ::testing::Values(5, 32, 100, 256, 512));

TEST(ResponsesTest, ZerosArePlacedForTheAnalogModelsOnlyAndPolesNeverTouched) {
  const Complex marker{7.0, -7.0};
  for (const FilterModel model : {FilterModel::Butterworth, FilterModel::Bessel,
                                  FilterModel::Rectangle, FilterModel::RaisedCosine}) {
    Inputs in = PureDelay(3, 1000);
    in.spec.model = model;
    in.spec.bandType = BandType::BandPass;
    in.spec.order = 3;
    in.spec.effectiveOrder = 6;
    ResponseSet previous;
    previous.zeros.fill(marker);
    previous.poles.fill(marker);
    const ResponseSet r = Compute(in, previous);
    std::array<Complex, kMaxCoefficients> expected;
    expected.fill(marker);
    if (IsIirModel(model)) {
      PlaceIirZeros(in.spec, expected);
    }
    EXPECT_EQ(r.zeros, expected) << static_cast<int>(model);
    EXPECT_EQ(r.poles, previous.poles) << static_cast<int>(model);
  }
}

}  // namespace
}  // namespace qv
