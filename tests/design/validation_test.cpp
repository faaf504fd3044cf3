#include "design/validation.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "design/display_scale.h"

namespace qv {
namespace {

struct ValidationCase {
  const char* name;
  FilterSpec spec;
  int code;
};

FilterSpec With(void (*change)(FilterSpec&)) {
  FilterSpec spec;
  change(spec);
  return spec;
}

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

const ValidationCase kCases[] = {
    {"Defaults", FilterSpec{}, kValid},
    {"LowPassOrder19", With([](FilterSpec& s) { s.order = 19; }), kValid},
    {"LowPassOrder20", With([](FilterSpec& s) { s.order = 20; }), kOrderTooHigh},
    {"BandPassOrder9", With([](FilterSpec& s) { s.bandType = BandType::BandPass; s.order = 9; }),
     kValid},
    {"BandPassOrder10",
     With([](FilterSpec& s) { s.bandType = BandType::BandPass; s.order = 10; }),
     kBandOrderTooHigh},
    {"BandOrderHugeDoesNotOverflow",
     With([](FilterSpec& s) { s.bandType = BandType::BandStop; s.order = kIntMax; }),
     kBandOrderTooHigh},
    {"RectangleIgnoresOrder",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::Rectangle; s.order = 50;
     }),
     kValid},
    {"RaisedCosineAlphaAboveOne",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::RaisedCosine; s.rollOff = 1.01;
     }),
     kBadRollOff},
    {"RaisedCosineAlphaNegativeBeforeBandCheck",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::RaisedCosine; s.rollOff = -0.1;
       s.bandType = BandType::BandPass; s.fcut2 = s.fcut1;
     }),
     kBadRollOff},
    {"BandPassEqualCutsBeforeFrequencyChecks",
     With([](FilterSpec& s) {
       s.bandType = BandType::BandPass; s.fcut2 = s.fcut1; s.fsample = 10;
     }),
     kFc2NotAboveFc1},
    {"RaisedCosineLowPassAtQuarterFs",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::RaisedCosine; s.fcut1 = 250;
     }),
     kRaisedCosineFsTooLow},
    {"RaisedCosineBandFc1NotBelowQuarterOfSum",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::RaisedCosine;
       s.bandType = BandType::BandPass; s.fcut1 = 100; s.fcut2 = 300;
     }),
     kRaisedCosineFc1TooHigh},
    {"LowPassAtHalfFs", With([](FilterSpec& s) { s.fcut1 = 500; }), kFsNotAboveTwiceFcut},
    {"LowPassStaleFc2AboveHalfFs", With([](FilterSpec& s) { s.fcut2 = 600; }),
     kFsNotAboveTwiceFcut},
    {"IirBandPassIgnoresFsInClassicChecks",
     With([](FilterSpec& s) {
       s.bandType = BandType::BandPass; s.fcut1 = 100; s.fcut2 = 200; s.fsample = 1000;
     }),
     kValid},
    {"ChebyshevRippleZero",
     With([](FilterSpec& s) { s.model = FilterModel::Chebyshev; s.ripple = 0.0; }),
     kRippleNotPositive},
    {"ChebyshevRippleNan",
     With([](FilterSpec& s) { s.model = FilterModel::Chebyshev; s.ripple = kNan; }),
     kRippleNotPositive},
    {"ButterworthIgnoresRipple", With([](FilterSpec& s) { s.ripple = -3.0; }), kValid},
    {"Fir511Taps",
     With([](FilterSpec& s) { s.filterClass = FilterClass::Fir; s.taps = 511; }), kValid},
    {"Fir512Taps",
     With([](FilterSpec& s) { s.filterClass = FilterClass::Fir; s.taps = 512; }), kTooManyTaps},
    {"IirIgnoresTaps", With([](FilterSpec& s) { s.taps = 100000; }), kValid},
    // What the classic checks let through but no design can be made of.
    {"UnknownBand", With([](FilterSpec& s) { s.bandType = static_cast<BandType>(7); }),
     kUnknownEnumeration},
    {"UnknownModel", With([](FilterSpec& s) { s.model = static_cast<FilterModel>(-1); }),
     kUnknownEnumeration},
    {"UnknownClass", With([](FilterSpec& s) { s.filterClass = static_cast<FilterClass>(2); }),
     kUnknownEnumeration},
    {"UnknownQuantization",
     With([](FilterSpec& s) { s.quantization = static_cast<Quantization>(3); }),
     kUnknownEnumeration},
    {"IirWithRectangle", With([](FilterSpec& s) { s.model = FilterModel::Rectangle; }),
     kFirModelForIir},
    {"RaisedCosineAlphaNan",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::RaisedCosine; s.rollOff = kNan;
     }),
     kBadRollOff},
    {"FsZero", With([](FilterSpec& s) { s.fsample = 0; s.fcut1 = -5; s.fcut2 = -5; }),
     kFsNotPositive},
    {"FsNegativeBand",
     With([](FilterSpec& s) { s.bandType = BandType::BandPass; s.fsample = -1000; }),
     kFsNotPositive},
    {"Fc1Zero", With([](FilterSpec& s) { s.fcut1 = 0; s.fcut2 = 0; }), kCutNotPositive},
    {"BandFc1Negative",
     With([](FilterSpec& s) { s.bandType = BandType::BandStop; s.fcut1 = -10; s.fcut2 = 5; }),
     kCutNotPositive},
    {"BandBothNegative",
     With([](FilterSpec& s) { s.bandType = BandType::BandStop; s.fcut1 = -10; s.fcut2 = -5; }),
     kCutNotPositive},
    {"OrderZero", With([](FilterSpec& s) { s.order = 0; }), kOrderNotPositive},
    {"OrderMostNegative", With([](FilterSpec& s) { s.order = kIntMin; }), kOrderNotPositive},
    {"FirTapsZero",
     With([](FilterSpec& s) { s.filterClass = FilterClass::Fir; s.taps = 0; }), kTapsNotPositive},
    {"RectangleIgnoresNegativeOrder",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::Rectangle; s.order = -3;
     }),
     kValid},
    {"BandFc2AtHalfFs",
     With([](FilterSpec& s) { s.bandType = BandType::BandPass; s.fcut2 = 500; }),
     kFsNotAboveTwiceFc2},
    {"BandFc2JustBelowHalfFs",
     With([](FilterSpec& s) { s.bandType = BandType::BandPass; s.fcut2 = 499; }), kValid},
    {"BandFc2HugeDoesNotOverflow",
     With([](FilterSpec& s) { s.bandType = BandType::BandStop; s.fcut2 = kIntMax; }),
     kFsNotAboveTwiceFc2},
    {"RaisedCosineBandUpperTransitionReachesHalfFs",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::RaisedCosine;
       s.bandType = BandType::BandPass; s.fcut1 = 100; s.fcut2 = 450; s.rollOff = 0.5;
     }),
     kRaisedCosineBandTooHigh},
    {"RaisedCosineBandUpperTransitionBelowHalfFs",
     With([](FilterSpec& s) {
       s.filterClass = FilterClass::Fir; s.model = FilterModel::RaisedCosine;
       s.bandType = BandType::BandPass; s.fcut1 = 100; s.fcut2 = 449; s.rollOff = 0.5;
     }),
     kValid},
};

// Field by field, reals by their bits, so that a NaN compares equal to itself.
bool SameBits(const FilterSpec& a, const FilterSpec& b) {
  const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
  return a.filterClass == b.filterClass && a.bandType == b.bandType && a.model == b.model &&
         a.order == b.order && a.effectiveOrder == b.effectiveOrder &&
         bits(a.rollOff) == bits(b.rollOff) && a.fcut1 == b.fcut1 && a.fcut2 == b.fcut2 &&
         a.fsample == b.fsample && bits(a.fcenter) == bits(b.fcenter) &&
         bits(a.ripple) == bits(b.ripple) && a.taps == b.taps &&
         a.quantization == b.quantization;
}

class ValidationTable : public testing::TestWithParam<ValidationCase> {};

TEST_P(ValidationTable, GivesTheFirstFailingCode) {
  FilterSpec spec = GetParam().spec;
  const FilterSpec before = spec;
  const int code = Validate(spec);
  EXPECT_EQ(code, GetParam().code);
  if (code != kValid) {
    EXPECT_TRUE(SameBits(spec, before)) << "a failure must leave the record untouched";
    EXPECT_FALSE(ValidationMessage(code).empty());
    EXPECT_EQ(ValidationMessage(code).back(), '\n');
  }
}

INSTANTIATE_TEST_SUITE_P(Specs, ValidationTable, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ValidationCase>& p) {
                           return std::string(p.param.name);
                         });

TEST(Validation, NormalisesEffectiveOrderAndSecondCut) {
  FilterSpec low;
  low.order = 7;
  low.fcut2 = 350;
  ASSERT_EQ(Validate(low), kValid);
  EXPECT_EQ(low.effectiveOrder, 7);
  EXPECT_EQ(low.fcut2, low.fcut1);

  FilterSpec band;
  band.bandType = BandType::BandStop;
  band.order = 4;
  ASSERT_EQ(Validate(band), kValid);
  EXPECT_EQ(band.effectiveOrder, 8);
  EXPECT_EQ(band.fcut2, 350);
}

TEST(Validation, MessagesAreExact) {
  const std::pair<int, const char*> expected[] = {
      {kBadRollOff, "Alpha for a Raised Cosine filter must be between 0 and 1\n"},
      {kBandOrderTooHigh, "Filter order must be smaller than 10 for an band pass or an band stop\n"},
      {kOrderTooHigh, "Filter order must be smaller than 20\n"},
      {kFc2NotAboveFc1, "Fc2 must be higher than Fc1\n"},
      {kRaisedCosineFsTooLow,
       "The sampling frequency must be higher than the quadruple of Fcenter\n"},
      {kRaisedCosineFc1TooHigh, "Fc1 must be lower than the half of Fcenter\n"},
      {kFsNotAboveTwiceFcut, "The sampling frequency must be higher than the double of Fcut\n"},
      {kRippleNotPositive, "The band pass ripple must be higher than 0\n"},
      {kTooManyTaps, "The N Tap value must be equal or lower than 511\n"},
  };
  for (const auto& [code, text] : expected) EXPECT_EQ(ValidationMessage(code), text) << code;
  EXPECT_EQ(ValidationMessage(kValid), "");
  EXPECT_EQ(ValidationMessage(-19), "");
}

// Every int32 input must validate without undefined behaviour (the sanitizer build judges),
// and whatever passes must be one the scale derivation can work with.
TEST(Validation, RandomSpecificationsNeverOverflow) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::int32_t> any(kIntMin, kIntMax);
  std::uniform_int_distribution<std::int32_t> small(-2, 6);
  for (int i = 0; i < 20000; ++i) {
    FilterSpec spec;
    spec.filterClass = static_cast<FilterClass>(small(random) % 3);
    spec.bandType = static_cast<BandType>(small(random));
    spec.model = static_cast<FilterModel>(small(random));
    spec.quantization = static_cast<Quantization>(small(random) % 4);
    const bool wide = i % 2 == 0;
    std::uniform_int_distribution<std::int32_t> modest(-100, 100000);
    spec.order = wide ? any(random) : small(random) * 3;
    spec.fcut1 = wide ? any(random) : modest(random);
    spec.fcut2 = wide ? any(random) : modest(random);
    spec.fsample = wide ? any(random) : modest(random) * 10;
    spec.taps = wide ? any(random) : modest(random) % 600;
    spec.rollOff = std::uniform_real_distribution<double>(-0.5, 1.5)(random);
    spec.ripple = std::uniform_real_distribution<double>(-1.0, 5.0)(random);
    if (Validate(spec) != kValid) continue;
    DisplayScale scale;
    DeriveScale(spec, scale);
    EXPECT_GE(scale.points, 1);
    EXPECT_LE(scale.points, kMaxTaps + 1);
    EXPECT_TRUE(std::isfinite(scale.timeStep));
    EXPECT_GT(spec.fsample, 0);
    EXPECT_GT(spec.fcut1, 0);
  }
}

struct ScaleCase {
  const char* name;
  FilterSpec spec;
  int points;
  float columnStep;
  double timeStep;  // in timeUnit
  const char* timeUnit;
  const char* freqUnit;
  int freqDivisor;
};

FilterSpec ScaleSpec(FilterModel model, BandType band, int fsample, int fcut1, int fcut2) {
  FilterSpec spec;
  spec.model = model;
  spec.bandType = band;
  spec.fsample = fsample;
  spec.fcut1 = fcut1;
  spec.fcut2 = fcut2;
  return spec;
}

const ScaleCase kScaleCases[] = {
    {"Defaults", FilterSpec{}, 32, 0.125f, 0.125, "ms", "Hz", 1},
    {"Butterworth48k", ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 48000, 1000, 1000),
     64, 0.25f, 0.25 / 48000 * 1000, "ms", "KHz", 1000},
    {"Chebyshev48k", ScaleSpec(FilterModel::Chebyshev, BandType::LowPass, 48000, 1000, 1000), 256,
     1.0f, 1.0 / 48000 * 1000, "ms", "KHz", 1000},
    {"BandPassBelowTwiceSum",
     ScaleSpec(FilterModel::Butterworth, BandType::BandPass, 1000, 100, 400), 32, 0.125f, 0.125,
     "ms", "Hz", 1},
    {"LimitedTo512", ScaleSpec(FilterModel::Chebyshev, BandType::BandStop, 2000000000, 1, 2), 512,
     2.0f, 2.0 / 2e9 * 1e9, "ns", "Hz", 1},
    {"Fs2000StaysHz", ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 2000, 100, 100), 32,
     0.125f, 0.125 / 2000 * 1000, "ms", "Hz", 1},
    {"Fs2001IsKHz", ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 2001, 100, 100), 32,
     0.125f, 0.125 / 2001 * 1000, "ms", "KHz", 1000},
    {"Fs1999999StaysHz",
     ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 1999999, 100000, 100000), 32, 0.125f,
     0.125 / 1999999 * 1e6, "us", "Hz", 1},
    {"Fs2000000StaysHz",
     ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 2000000, 100000, 100000), 32, 0.125f,
     0.125 / 2e6 * 1e6, "us", "Hz", 1},
    {"Fs3MIsMHz", ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 3000000, 100000, 100000),
     32, 0.125f, 0.125 / 3e6 * 1e6, "us", "MHz", 1000000},
    {"Fs2000000001IsGHz",
     ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 2000000001, 100000000, 100000000), 32,
     0.125f, 0.125 / 2000000001.0 * 1e9, "ns", "GHz", 1000000000},
    {"SlowSamplingStaysSeconds",
     ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 10, 1, 1), 32, 0.125f, 0.0125, "s",
     "Hz", 1},
};

class ScaleTable : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleTable, DerivesPointsAndUnits) {
  const ScaleCase& c = GetParam();
  FilterSpec spec = c.spec;
  ASSERT_EQ(Validate(spec), kValid);
  DisplayScale scale;
  DeriveScale(spec, scale);
  EXPECT_EQ(scale.points, c.points);
  EXPECT_EQ(scale.columnStep, c.columnStep);
  EXPECT_NEAR(scale.timeStep, c.timeStep, 1e-6 * c.timeStep);
  EXPECT_EQ(scale.timeUnit, c.timeUnit);
  EXPECT_EQ(scale.freqUnit, c.freqUnit);
  EXPECT_EQ(scale.freqDivisor, c.freqDivisor);
}

INSTANTIATE_TEST_SUITE_P(Specs, ScaleTable, testing::ValuesIn(kScaleCases),
                         [](const testing::TestParamInfo<ScaleCase>& p) {
                           return std::string(p.param.name);
                         });

TEST(DisplayScale, FirPointsAreTheTapCount) {
  FilterSpec spec;
  spec.filterClass = FilterClass::Fir;
  spec.taps = 511;
  ASSERT_EQ(Validate(spec), kValid);
  DisplayScale scale;
  DeriveScale(spec, scale);
  EXPECT_EQ(scale.points, 511);
  EXPECT_EQ(scale.columnStep, 511 * 0.00390625f);
}

TEST(DisplayScale, TimeStepIsComputedInSinglePrecision) {
  FilterSpec spec = ScaleSpec(FilterModel::Butterworth, BandType::LowPass, 48000, 1000, 1000);
  ASSERT_EQ(Validate(spec), kValid);
  DisplayScale scale;
  DeriveScale(spec, scale);
  const float expected = (0.25f / 48000.0f) * 1000;
  EXPECT_EQ(scale.timeStep, expected);
}

}  // namespace
}  // namespace qv
