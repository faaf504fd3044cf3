#include "engine/calculate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/validation.h"

namespace qv {
namespace {

TEST(CalculateTest, DefaultDesignGivesTheKnownResponses) {
  const Calculation r = Calculate(FilterSpec{});
  const CalculateOutcome& outcome = r.outcome;
  ASSERT_TRUE(outcome.Succeeded());
  EXPECT_EQ(outcome.code, 0);
  EXPECT_TRUE(outcome.message.empty());
  EXPECT_EQ(r.spec.effectiveOrder, 2);
  EXPECT_EQ(r.scale.points, 32);
  EXPECT_NEAR(r.responses.impulsePeak, 0.282, 0.0005);
  EXPECT_NEAR(r.responses.stepPeak, 1.050, 0.0005);
  EXPECT_EQ(r.responses.groupDelayUnit, "ms");
  EXPECT_EQ(r.responses.groupDelayFactor, 1000.0f);
  EXPECT_NEAR(r.responses.groupDelayMin, 0.23e-3, 0.005e-3);
  EXPECT_NEAR(r.responses.groupDelayMax, 2.75e-3, 0.005e-3);
  EXPECT_NEAR(r.responses.magnitudeMinDb, -108.0, 0.5);
  EXPECT_EQ(r.responses.magnitudeDb[0], 0.0);
  // The two poles of the design, inside the unit circle.
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(std::hypot(r.responses.poles[i].re, r.responses.poles[i].im), 0.6425, 0.0005);
  }
}

struct RefusalCase {
  const char* name;
  FilterSpec spec;
  int code;
  const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class ValidationRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ValidationRefusalTest, GivesTheMessageAndTheSpecificationAsGiven) {
  const Calculation r = Calculate(GetParam().spec);
  EXPECT_FALSE(r.Succeeded());
  EXPECT_EQ(r.outcome.code, GetParam().code);
  EXPECT_EQ(r.outcome.message, GetParam().message);
  EXPECT_EQ(r.spec, GetParam().spec);
  EXPECT_EQ(r.scale, DisplayScale{});
  EXPECT_EQ(r.design, FilterDesign{});
  EXPECT_EQ(r.responses, ResponseSet{});
}

INSTANTIATE_TEST_SUITE_P(
    Specs, ValidationRefusalTest,
    ::testing::Values(
        RefusalCase{"OrderTwenty", FilterSpec{.order = 20}, -22,
                    "Filter order must be smaller than 20\n"},
        RefusalCase{"BandPassOrderTen", FilterSpec{.bandType = BandType::BandPass, .order = 10},
                    -21, "Filter order must be smaller than 10 for an band pass or an band stop\n"},
        RefusalCase{"EqualCutFrequencies",
                    FilterSpec{.bandType = BandType::BandPass, .fcut1 = 100, .fcut2 = 100}, -23,
                    "Fc2 must be higher than Fc1\n"},
        RefusalCase{"CutAtHalfTheSampling", FilterSpec{.fcut1 = 500}, -26,
                    "The sampling frequency must be higher than the double of Fcut\n"},
        RefusalCase{"ChebyshevWithoutRipple",
                    FilterSpec{.model = FilterModel::Chebyshev, .ripple = 0.0}, -27,
                    "The band pass ripple must be higher than 0\n"},
        RefusalCase{"TooManyTaps", FilterSpec{.filterClass = FilterClass::Fir, .taps = 512}, -28,
                    "The N Tap value must be equal or lower than 511\n"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct DesignFailureCase {
  const char* name;
  FilterSpec spec;
  DesignCode code;
};

void PrintTo(const DesignFailureCase& c, std::ostream* os) { *os << c.name; }

class DesignFailureTest : public ::testing::TestWithParam<DesignFailureCase> {};

TEST_P(DesignFailureTest, GivesTheDesignMessageWithTheScaleDerivedAndNoCurves) {
  const Calculation r = Calculate(GetParam().spec);
  EXPECT_EQ(r.outcome.code, static_cast<int>(GetParam().code));
  EXPECT_EQ(r.outcome.message, DesignMessage(GetParam().code));
  EXPECT_FALSE(r.outcome.message.empty());
  DisplayScale expectedScale;
  DeriveScale(r.spec, expectedScale);
  EXPECT_EQ(r.scale, expectedScale);
  const ResponseSet none;
  EXPECT_EQ(r.responses.magnitudeDb, none.magnitudeDb);
  EXPECT_EQ(r.responses.groupDelay, none.groupDelay);
  EXPECT_EQ(r.responses.step, none.step);
}

INSTANTIATE_TEST_SUITE_P(
    Specs, DesignFailureTest,
    ::testing::Values(DesignFailureCase{"GainOutOfRange",
                                        FilterSpec{.bandType = BandType::LowPass,
                                                   .order = 19,
                                                   .fcut1 = 1,
                                                   .fcut2 = 51,
                                                   .fsample = 1000000,
                                                   .quantization = Quantization::Float},
                                        DesignCode::GainOutOfRange},
                      DesignFailureCase{"QuantizationNotPossible",
                                        FilterSpec{.bandType = BandType::LowPass,
                                                   .order = 6,
                                                   .fcut1 = 20,
                                                   .fcut2 = 70,
                                                   .fsample = 48000,
                                                   .quantization = Quantization::Signed16},
                                        DesignCode::QuantizationNotPossible},
                      DesignFailureCase{"NotStable",
                                        FilterSpec{.bandType = BandType::HighPass,
                                                   .order = 6,
                                                   .fcut1 = 100,
                                                   .fcut2 = 150,
                                                   .fsample = 1000,
                                                   .quantization = Quantization::Signed8},
                                        DesignCode::NotStable}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

class RepeatedCalculationTest : public ::testing::TestWithParam<FilterSpec> {};

TEST_P(RepeatedCalculationTest, RunningTwiceGivesTheSameDesignAndResponses) {
  const Calculation first = Calculate(GetParam());
  ASSERT_TRUE(first.Succeeded());
  // Again from the normalised specification, after another design has been calculated.
  ASSERT_TRUE(Calculate(FilterSpec{.order = 7}).Succeeded());
  const Calculation second = Calculate(first.spec);
  ASSERT_TRUE(second.Succeeded());
  EXPECT_EQ(second.spec, first.spec);
  EXPECT_EQ(second.scale, first.scale);
  EXPECT_EQ(second.design, first.design);
  EXPECT_EQ(second.responses, first.responses);
}

INSTANTIATE_TEST_SUITE_P(Specs, RepeatedCalculationTest,
                         ::testing::Values(FilterSpec{},
                                           FilterSpec{.filterClass = FilterClass::Iir,
                                                      .bandType = BandType::BandPass,
                                                      .model = FilterModel::Chebyshev,
                                                      .order = 3,
                                                      .fcut1 = 100,
                                                      .fcut2 = 200,
                                                      .quantization = Quantization::Signed16},
                                           FilterSpec{.filterClass = FilterClass::Iir,
                                                      .bandType = BandType::HighPass,
                                                      .model = FilterModel::Bessel,
                                                      .order = 3,
                                                      .fcut1 = 100,
                                                      .fcut2 = 200,
                                                      .quantization = Quantization::Float},
                                           FilterSpec{.filterClass = FilterClass::Fir,
                                                      .bandType = BandType::BandStop,
                                                      .model = FilterModel::RaisedCosine,
                                                      .order = 3,
                                                      .fcut1 = 50,
                                                      .fcut2 = 300,
                                                      .quantization = Quantization::Signed8},
                                           FilterSpec{.filterClass = FilterClass::Fir,
                                                      .bandType = BandType::BandPass,
                                                      .model = FilterModel::Butterworth,
                                                      .order = 3,
                                                      .fcut1 = 100,
                                                      .fcut2 = 200,
                                                      .quantization = Quantization::Float},
                                           FilterSpec{.filterClass = FilterClass::Fir,
                                                      .bandType = BandType::LowPass,
                                                      .model = FilterModel::Rectangle,
                                                      .order = 3,
                                                      .fcut1 = 100,
                                                      .fcut2 = 200,
                                                      .quantization = Quantization::Signed16}));

TEST(CalculateTest, FirWindowModelsHaveNoZerosOrPoles) {
  for (const FilterModel model : {FilterModel::Rectangle, FilterModel::RaisedCosine}) {
    const Calculation r = Calculate(FilterSpec{.filterClass = FilterClass::Fir, .model = model});
    ASSERT_TRUE(r.Succeeded());
    const ResponseSet none;
    EXPECT_EQ(r.responses.zeros, none.zeros);
    EXPECT_EQ(r.responses.poles, none.poles);
  }
}

}  // namespace
}  // namespace qv
