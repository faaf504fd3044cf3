#include "design/quantization.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "design/design_driver.h"

namespace qv {
namespace {

struct QuantizationCase {
  std::string name;
  FilterClass filterClass;
  Quantization quantization;
  std::vector<double> b;  // IIR numerator, or the FIR taps
  std::vector<double> a;  // IIR denominator
  DesignCode code;
};

FilterSpec SpecFor(const QuantizationCase& c) {
  return FilterSpec{.filterClass = c.filterClass,
                    .effectiveOrder = static_cast<int>(std::max(c.b.size(), c.a.size())) - 1,
                    .taps = static_cast<int>(c.b.size()),
                    .quantization = c.quantization};
}

FilterDesign DesignFor(const QuantizationCase& c) {
  FilterDesign design;
  design.shift = -99;
  std::copy(c.b.begin(), c.b.end(),
            c.filterClass == FilterClass::Fir ? design.firTaps.begin() : design.numerator.begin());
  std::copy(c.a.begin(), c.a.end(), design.denominator.begin());
  return design;
}

double Largest(const std::vector<double>& values) {
  double largest = 0.0;
  for (const double v : values) largest = std::max(largest, std::abs(v));
  return largest;
}

class Quantize : public ::testing::TestWithParam<QuantizationCase> {};

// Whatever the coefficients, a quantised design uses the largest scale that keeps every value
// inside the signed word, -F..F-1, and holds the coefficients cut toward zero at that scale.
TEST_P(Quantize, LargestScaleThatFitsTheWord) {
  const QuantizationCase& c = GetParam();
  const FilterSpec spec = SpecFor(c);
  const FilterDesign before = DesignFor(c);
  FilterDesign design = before;
  ASSERT_EQ(QuantizeDesign(spec, design), c.code);
  if (c.code != DesignCode::Ok) {
    // A refused design keeps its normalised coefficients, bit for bit.
    EXPECT_EQ(std::memcmp(&design, &before, sizeof design), 0);
    return;
  }
  const double full = c.quantization == Quantization::Signed8 ? 128.0 : 32768.0;
  const bool fir = c.filterClass == FilterClass::Fir;
  // The scale of the denominator (IIR) or the taps (FIR), and of the IIR numerator.
  const int e =
      fir ? design.shift : static_cast<int>(std::round(std::log2(design.denominator[0] / c.a[0])));
  const int numeratorScale = fir ? e : e + design.shift;
  const double largest = fir ? Largest(c.b) : std::max(Largest(c.b), Largest(c.a));
  EXPECT_LT(std::ldexp(largest, e), full);
  EXPECT_GE(std::ldexp(largest, e + 1), full);
  if (!fir) {
    EXPECT_LT(std::ldexp(Largest(c.b), numeratorScale), full);
    EXPECT_GE(std::ldexp(Largest(c.b), numeratorScale + 1), full);
    for (std::size_t k = 0; k < c.a.size(); ++k) {
      EXPECT_EQ(design.denominator[k], std::trunc(std::ldexp(c.a[k], e))) << "a" << k;
    }
  }
  const double* scaled = fir ? design.firTaps.data() : design.numerator.data();
  for (std::size_t k = 0; k < c.b.size(); ++k) {
    EXPECT_EQ(scaled[k], std::trunc(std::ldexp(c.b[k], numeratorScale))) << "b/h " << k;
    EXPECT_GE(scaled[k], -full);
    EXPECT_LE(scaled[k], full - 1.0);
  }
}

constexpr FilterClass kIir = FilterClass::Iir;
constexpr FilterClass kFir = FilterClass::Fir;
constexpr Quantization k8 = Quantization::Signed8;
constexpr Quantization k16 = Quantization::Signed16;
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, Quantize,
    ::testing::Values(
        QuantizationCase{"DefaultDesign16",
                         kIir,
                         k16,
                         {0.06745527606, 0.1349105521, 0.06745527606},
                         {1.0, -1.142980503, 0.4128015981},
                         DesignCode::Ok},
        QuantizationCase{"DefaultDesign8",
                         kIir,
                         k8,
                         {0.06745527606, 0.1349105521, 0.06745527606},
                         {1.0, -1.142980503, 0.4128015981},
                         DesignCode::Ok},
        // a[0] = 1 is the largest: 2^15 x 1 would be 32768.
        QuantizationCase{"LeadingOne16", kIir, k16, {0.2, 0.2}, {1.0, -0.6}, DesignCode::Ok},
        QuantizationCase{"LeadingOne8", kIir, k8, {0.2, 0.2}, {1.0, -0.6}, DesignCode::Ok},
        // The numerator's own largest value a power of two at its scale.
        QuantizationCase{
            "NumeratorPowerOfTwo", kIir, k16, {0.125, -0.0625}, {1.0, -0.3}, DesignCode::Ok},
        QuantizationCase{"NegativePowerOfTwoTap", kFir, k16, {0.1, -0.5, 0.1}, {}, DesignCode::Ok},
        QuantizationCase{"QuarterTap8", kFir, k8, {0.25, 0.1, -0.2}, {}, DesignCode::Ok},
        QuantizationCase{"OrdinaryTaps16", kFir, k16, {0.01, 0.3, 0.01}, {}, DesignCode::Ok},
        // Largest tap 2^-9 at 8 bits: log2(128 / M) = 16 exceeds 15.
        QuantizationCase{"TinyTaps8",
                         kFir,
                         k8,
                         {std::ldexp(1.0, -9), 0.001},
                         {},
                         DesignCode::QuantizationNotPossible},
        QuantizationCase{
            "JustLargeEnoughTaps8", kFir, k8, {std::ldexp(1.002, -9), 0.001}, {}, DesignCode::Ok},
        QuantizationCase{"TinyTaps16",
                         kFir,
                         k16,
                         {std::ldexp(1.0, -17)},
                         {},
                         DesignCode::QuantizationNotPossible},
        QuantizationCase{
            "JustLargeEnoughTaps16", kFir, k16, {std::ldexp(1.002, -17)}, {}, DesignCode::Ok},
        // A numerator more than 2^15 below the denominator needs e2 > 15 at 16 bits.
        QuantizationCase{"NumeratorTooSmall16",
                         kIir,
                         k16,
                         {1e-5, 1e-5},
                         {1.0, -0.9},
                         DesignCode::QuantizationNotPossible},
        // Coefficients beyond the word: 150 would need a negative exponent at 8 bits.
        QuantizationCase{"CoefficientAboveWord8",
                         kIir,
                         k8,
                         {0.01, 0.01},
                         {1.0, -150.0, 60.0},
                         DesignCode::QuantizationNotPossible},
        QuantizationCase{"CoefficientFarAboveWord8",
                         kIir,
                         k8,
                         {0.01},
                         {1.0, 300.0},
                         DesignCode::QuantizationNotPossible},
        QuantizationCase{"CoefficientAboveWord16",
                         kIir,
                         k16,
                         {0.5},
                         {1.0, 40000.0},
                         DesignCode::QuantizationNotPossible},
        QuantizationCase{"AllTapsZero", kFir, k16, {0.0, 0.0, -0.0}, {}, DesignCode::ZeroGain},
        QuantizationCase{
            "NotANumber", kFir, k16, {0.5, kNan}, {}, DesignCode::QuantizationNotPossible}),
    [](const auto& test) { return test.param.name; });

TEST(Quantize, FloatKeepsTheCoefficientsAndClearsTheShift) {
  const QuantizationCase c{"", kIir, Quantization::Float, {0.3, 0.2}, {1.0, -0.5}, DesignCode::Ok};
  const FilterDesign before = DesignFor(c);
  FilterDesign design = before;
  ASSERT_EQ(QuantizeDesign(SpecFor(c), design), DesignCode::Ok);
  EXPECT_EQ(design.shift, 0);
  EXPECT_EQ(design.numerator, before.numerator);
  EXPECT_EQ(design.denominator, before.denominator);
}

}  // namespace
}  // namespace qv
