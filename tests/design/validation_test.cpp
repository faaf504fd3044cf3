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
  ValidationCode code;
};

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

const ValidationCase kCases[] = {
    {"Defaults", FilterSpec{}, ValidationCode::Valid},
    {"LowPassOrder19", FilterSpec{.order = 19}, ValidationCode::Valid},
    {"LowPassOrder20", FilterSpec{.order = 20}, ValidationCode::OrderTooHigh},
    {"BandPassOrder9", FilterSpec{.bandType = BandType::BandPass, .order = 9},
     ValidationCode::Valid},
    {"BandPassOrder10", FilterSpec{.bandType = BandType::BandPass, .order = 10},
     ValidationCode::BandOrderTooHigh},
    {"BandOrderHugeDoesNotOverflow", FilterSpec{.bandType = BandType::BandStop, .order = kIntMax},
     ValidationCode::BandOrderTooHigh},
    {"RectangleIgnoresOrder",
     FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::Rectangle, .order = 50},
     ValidationCode::Valid},
    {"RaisedCosineAlphaAboveOne",
     FilterSpec{
         .filterClass = FilterClass::Fir, .model = FilterModel::RaisedCosine, .rollOff = 1.01},
     ValidationCode::BadRollOff},
    {"RaisedCosineAlphaNegativeBeforeBandCheck",
     FilterSpec{.filterClass = FilterClass::Fir,
                .bandType = BandType::BandPass,
                .model = FilterModel::RaisedCosine,
                .rollOff = -0.1,
                .fcut1 = 100,
                .fcut2 = 100},
     ValidationCode::BadRollOff},
    {"BandPassEqualCutsBeforeFrequencyChecks",
     FilterSpec{.bandType = BandType::BandPass, .fcut1 = 100, .fcut2 = 100, .fsample = 10},
     ValidationCode::Fc2NotAboveFc1},
    {"RaisedCosineLowPassAtQuarterFs",
     FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::RaisedCosine, .fcut1 = 250},
     ValidationCode::RaisedCosineFsTooLow},
    {"RaisedCosineBandFc1NotBelowQuarterOfSum",
     FilterSpec{.filterClass = FilterClass::Fir,
                .bandType = BandType::BandPass,
                .model = FilterModel::RaisedCosine,
                .fcut1 = 100,
                .fcut2 = 300},
     ValidationCode::RaisedCosineFc1TooHigh},
    {"LowPassAtHalfFs", FilterSpec{.fcut1 = 500}, ValidationCode::FsNotAboveTwiceFcut},
    {"LowPassStaleFc2AboveHalfFs", FilterSpec{.fcut2 = 600}, ValidationCode::FsNotAboveTwiceFcut},
    {"IirBandPassIgnoresFsInClassicChecks",
     FilterSpec{.bandType = BandType::BandPass, .fcut1 = 100, .fcut2 = 200, .fsample = 1000},
     ValidationCode::Valid},
    {"ChebyshevRippleZero", FilterSpec{.model = FilterModel::Chebyshev, .ripple = 0.0},
     ValidationCode::RippleNotPositive},
    {"ChebyshevRippleNan", FilterSpec{.model = FilterModel::Chebyshev, .ripple = kNan},
     ValidationCode::RippleNotPositive},
    {"ButterworthIgnoresRipple", FilterSpec{.ripple = -3.0}, ValidationCode::Valid},
    {"Fir511Taps", FilterSpec{.filterClass = FilterClass::Fir, .taps = 511}, ValidationCode::Valid},
    {"Fir512Taps", FilterSpec{.filterClass = FilterClass::Fir, .taps = 512},
     ValidationCode::TooManyTaps},
    {"IirIgnoresTaps", FilterSpec{.taps = 100000}, ValidationCode::Valid},
    // What the classic checks let through but no design can be made of.
    {"UnknownBand", FilterSpec{.bandType = static_cast<BandType>(7)},
     ValidationCode::UnknownEnumeration},
    {"UnknownModel", FilterSpec{.model = static_cast<FilterModel>(-1)},
     ValidationCode::UnknownEnumeration},
    {"UnknownClass", FilterSpec{.filterClass = static_cast<FilterClass>(2)},
     ValidationCode::UnknownEnumeration},
    {"UnknownQuantization", FilterSpec{.quantization = static_cast<Quantization>(3)},
     ValidationCode::UnknownEnumeration},
    {"IirWithRectangle", FilterSpec{.model = FilterModel::Rectangle},
     ValidationCode::FirModelForIir},
    {"RaisedCosineAlphaNan",
     FilterSpec{
         .filterClass = FilterClass::Fir, .model = FilterModel::RaisedCosine, .rollOff = kNan},
     ValidationCode::BadRollOff},
    {"FsZero", FilterSpec{.fcut1 = -5, .fcut2 = -5, .fsample = 0}, ValidationCode::FsNotPositive},
    {"FsNegativeBand", FilterSpec{.bandType = BandType::BandPass, .fsample = -1000},
     ValidationCode::FsNotPositive},
    {"Fc1Zero", FilterSpec{.fcut1 = 0, .fcut2 = 0}, ValidationCode::CutNotPositive},
    {"BandFc1Negative", FilterSpec{.bandType = BandType::BandStop, .fcut1 = -10, .fcut2 = 5},
     ValidationCode::CutNotPositive},
    {"BandBothNegative", FilterSpec{.bandType = BandType::BandStop, .fcut1 = -10, .fcut2 = -5},
     ValidationCode::CutNotPositive},
    {"OrderZero", FilterSpec{.order = 0}, ValidationCode::OrderNotPositive},
    {"OrderMostNegative", FilterSpec{.order = kIntMin}, ValidationCode::OrderNotPositive},
    {"FirTapsZero", FilterSpec{.filterClass = FilterClass::Fir, .taps = 0},
     ValidationCode::TapsNotPositive},
    {"RectangleIgnoresNegativeOrder",
     FilterSpec{.filterClass = FilterClass::Fir, .model = FilterModel::Rectangle, .order = -3},
     ValidationCode::Valid},
    {"BandFc2AtHalfFs", FilterSpec{.bandType = BandType::BandPass, .fcut2 = 500},
     ValidationCode::FsNotAboveTwiceFc2},
    {"BandFc2JustBelowHalfFs", FilterSpec{.bandType = BandType::BandPass, .fcut2 = 499},
     ValidationCode::Valid},
    {"BandFc2HugeDoesNotOverflow", FilterSpec{.bandType = BandType::BandStop, .fcut2 = kIntMax},
     ValidationCode::FsNotAboveTwiceFc2},
    {"RaisedCosineBandUpperTransitionReachesHalfFs",
     FilterSpec{.filterClass = FilterClass::Fir,
                .bandType = BandType::BandPass,
                .model = FilterModel::RaisedCosine,
                .rollOff = 0.5,
                .fcut1 = 100,
                .fcut2 = 450},
     ValidationCode::RaisedCosineBandTooHigh},
    {"RaisedCosineBandUpperTransitionBelowHalfFs",
     FilterSpec{.filterClass = FilterClass::Fir,
                .bandType = BandType::BandPass,
                .model = FilterModel::RaisedCosine,
                .rollOff = 0.5,
                .fcut1 = 100,
                .fcut2 = 449},
     ValidationCode::Valid},
};

// Field by field, reals by their bits, so that a NaN compares equal to itself.
bool SameBits(const FilterSpec& a, const FilterSpec& b) {
  const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
  return a.filterClass == b.filterClass && a.bandType == b.bandType && a.model == b.model &&
         a.order == b.order && a.effectiveOrder == b.effectiveOrder &&
         bits(a.rollOff) == bits(b.rollOff) && a.fcut1 == b.fcut1 && a.fcut2 == b.fcut2 &&
         a.fsample == b.fsample && bits(a.fcenter) == bits(b.fcenter) &&
         bits(a.ripple) == bits(b.ripple) && a.taps == b.taps && a.quantization == b.quantization;
}

class ValidationTable : public testing::TestWithParam<ValidationCase> {};

TEST_P(ValidationTable, GivesTheFirstFailingCode) {
  FilterSpec spec = GetParam().spec;
  const FilterSpec before = spec;
  const ValidationCode code = Validate(spec);
  EXPECT_EQ(code, GetParam().code);
  if (code != ValidationCode::Valid) {
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
  FilterSpec low{.order = 7, .fcut2 = 350};
  ASSERT_EQ(Validate(low), ValidationCode::Valid);
  EXPECT_EQ(low.effectiveOrder, 7);
  EXPECT_EQ(low.fcut2, low.fcut1);

  FilterSpec band{.bandType = BandType::BandStop, .order = 4};
  ASSERT_EQ(Validate(band), ValidationCode::Valid);
  EXPECT_EQ(band.effectiveOrder, 8);
  EXPECT_EQ(band.fcut2, 350);
}

TEST(Validation, MessagesAreExact) {
  const std::pair<ValidationCode, const char*> expected[] = {
      {ValidationCode::BadRollOff, "Alpha for a Raised Cosine filter must be between 0 and 1\n"},
      {ValidationCode::BandOrderTooHigh,
       "Filter order must be smaller than 10 for an band pass or an band stop\n"},
      {ValidationCode::OrderTooHigh, "Filter order must be smaller than 20\n"},
      {ValidationCode::Fc2NotAboveFc1, "Fc2 must be higher than Fc1\n"},
      {ValidationCode::RaisedCosineFsTooLow,
       "The sampling frequency must be higher than the quadruple of Fcenter\n"},
      {ValidationCode::RaisedCosineFc1TooHigh, "Fc1 must be lower than the half of Fcenter\n"},
      {ValidationCode::FsNotAboveTwiceFcut,
       "The sampling frequency must be higher than the double of Fcut\n"},
      {ValidationCode::RippleNotPositive, "The band pass ripple must be higher than 0\n"},
      {ValidationCode::TooManyTaps, "The N Tap value must be equal or lower than 511\n"},
  };
  for (const auto& [code, text] : expected)
    EXPECT_EQ(ValidationMessage(code), text) << static_cast<int>(code);
  EXPECT_EQ(ValidationMessage(ValidationCode::Valid), "");
  EXPECT_EQ(ValidationMessage(static_cast<ValidationCode>(-19)), "");
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
    if (Validate(spec) != ValidationCode::Valid) continue;
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

const ScaleCase kScaleCases[] = {
    {"Defaults", FilterSpec{}, 32, 0.125f, 0.125, "ms", "Hz", 1},
    {"Butterworth48k",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 1000,
                .fcut2 = 1000,
                .fsample = 48000},
     64, 0.25f, 0.25 / 48000 * 1000, "ms", "KHz", 1000},
    {"Chebyshev48k",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Chebyshev,
                .fcut1 = 1000,
                .fcut2 = 1000,
                .fsample = 48000},
     256, 1.0f, 1.0 / 48000 * 1000, "ms", "KHz", 1000},
    {"BandPassBelowTwiceSum",
     FilterSpec{.bandType = BandType::BandPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 100,
                .fcut2 = 400,
                .fsample = 1000},
     32, 0.125f, 0.125, "ms", "Hz", 1},
    {"LimitedTo512",
     FilterSpec{.bandType = BandType::BandStop,
                .model = FilterModel::Chebyshev,
                .fcut1 = 1,
                .fcut2 = 2,
                .fsample = 2000000000},
     512, 2.0f, 2.0 / 2e9 * 1e9, "ns", "Hz", 1},
    {"Fs2000StaysHz",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 100,
                .fcut2 = 100,
                .fsample = 2000},
     32, 0.125f, 0.125 / 2000 * 1000, "ms", "Hz", 1},
    {"Fs2001IsKHz",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 100,
                .fcut2 = 100,
                .fsample = 2001},
     32, 0.125f, 0.125 / 2001 * 1000, "ms", "KHz", 1000},
    {"Fs1999999StaysHz",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 100000,
                .fcut2 = 100000,
                .fsample = 1999999},
     32, 0.125f, 0.125 / 1999999 * 1e6, "us", "Hz", 1},
    {"Fs2000000StaysHz",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 100000,
                .fcut2 = 100000,
                .fsample = 2000000},
     32, 0.125f, 0.125 / 2e6 * 1e6, "us", "Hz", 1},
    {"Fs3MIsMHz",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 100000,
                .fcut2 = 100000,
                .fsample = 3000000},
     32, 0.125f, 0.125 / 3e6 * 1e6, "us", "MHz", 1000000},
    {"Fs2000000001IsGHz",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 100000000,
                .fcut2 = 100000000,
                .fsample = 2000000001},
     32, 0.125f, 0.125 / 2000000001.0 * 1e9, "ns", "GHz", 1000000000},
    {"SlowSamplingStaysSeconds",
     FilterSpec{.bandType = BandType::LowPass,
                .model = FilterModel::Butterworth,
                .fcut1 = 1,
                .fcut2 = 1,
                .fsample = 10},
     32, 0.125f, 0.0125, "s", "Hz", 1},
};

class ScaleTable : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleTable, DerivesPointsAndUnits) {
  const ScaleCase& c = GetParam();
  FilterSpec spec = c.spec;
  ASSERT_EQ(Validate(spec), ValidationCode::Valid);
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
  FilterSpec spec{.filterClass = FilterClass::Fir, .taps = 511};
  ASSERT_EQ(Validate(spec), ValidationCode::Valid);
  DisplayScale scale;
  DeriveScale(spec, scale);
  EXPECT_EQ(scale.points, 511);
  EXPECT_EQ(scale.columnStep, 511 * 0.00390625f);
}

TEST(DisplayScale, TimeStepIsComputedInSinglePrecision) {
  FilterSpec spec{.bandType = BandType::LowPass,
                  .model = FilterModel::Butterworth,
                  .fcut1 = 1000,
                  .fcut2 = 1000,
                  .fsample = 48000};
  ASSERT_EQ(Validate(spec), ValidationCode::Valid);
  DisplayScale scale;
  DeriveScale(spec, scale);
  const float expected = (0.25f / 48000.0f) * 1000;
  EXPECT_EQ(scale.timeStep, expected);
}

}  // namespace
}  // namespace qv
