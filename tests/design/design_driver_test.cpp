#include "design/design_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "design/iir_design.h"
#include "design/root_finder.h"
#include "design/validation.h"
#include "design_test_support.h"

namespace qv {
namespace {

using design_test::DesignRun;
using design_test::GainDb;
using design_test::kPoleSentinel;
using design_test::Response;
using design_test::RunDesign;

constexpr FilterClass kIir = FilterClass::Iir;
constexpr FilterClass kFir = FilterClass::Fir;
constexpr Quantization kFloat = Quantization::Float;
constexpr Quantization k8 = Quantization::Signed8;
constexpr Quantization k16 = Quantization::Signed16;
using M = FilterModel;
using B = BandType;

TEST(Design, DefaultButterworthLowPass) {
  const DesignRun run = RunDesign(FilterSpec{});
  ASSERT_EQ(run.code, DesignCode::Ok);
  const FilterDesign& d = run.design;
  EXPECT_NEAR(d.numerator[0], 0.0674553, 1e-7);
  EXPECT_NEAR(d.numerator[1], 0.1349106, 1e-7);
  EXPECT_NEAR(d.numerator[2], 0.0674553, 1e-7);
  EXPECT_EQ(d.denominator[0], 1.0);
  EXPECT_NEAR(d.denominator[1], -1.1429805, 1e-7);
  EXPECT_NEAR(d.denominator[2], 0.4128016, 1e-7);
  EXPECT_EQ(d.shift, 0);
  // The gain measured after 32 samples, 4 / b[0] of the unnormalised 1, 2, 1, is 14.824637,
  // within a millionth of the exact DC gain but not equal to it.
  const double exactDc = 4.0 / (1.0 + d.denominator[1] + d.denominator[2]);
  EXPECT_NEAR(1.0 / d.numerator[0], 14.824637, 1e-6);
  EXPECT_NEAR(1.0 / d.numerator[0], exactDc, exactDc * 1e-6);
  EXPECT_NE(1.0 / d.numerator[0], exactDc);
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(std::hypot(run.poles[i].re, run.poles[i].im), 0.6425, 1e-4) << "pole " << i;
  }
  EXPECT_EQ(run.poles[1], Conjugate(run.poles[0]));
}

TEST(Design, DefaultAt16Bits) {
  FilterSpec spec{.quantization = k16};
  const DesignRun run = RunDesign(spec);
  ASSERT_EQ(run.code, DesignCode::Ok);
  EXPECT_EQ(run.design.numerator[0], 8841.0);
  EXPECT_EQ(run.design.numerator[1], 17682.0);
  EXPECT_EQ(run.design.numerator[2], 8841.0);
  EXPECT_EQ(run.design.denominator[0], 16384.0);
  EXPECT_EQ(run.design.denominator[1], -18726.0);
  EXPECT_EQ(run.design.denominator[2], 6763.0);
  EXPECT_EQ(run.design.shift, 3);
}

// A first-order low pass has |a[1]| < 1, so its largest coefficient is a[0] = 1: scaled by
// the full 2^15 (or 2^7) it would be 32768 (128), one more than the word holds.
TEST(Design, LargestCoefficientOneFitsTheWord) {
  for (const Quantization q : {k8, k16}) {
    const DesignRun run = RunDesign(FilterSpec{.filterClass = kIir,
                                               .bandType = B::LowPass,
                                               .model = M::Butterworth,
                                               .order = 1,
                                               .fcut1 = 100,
                                               .fcut2 = 100,
                                               .quantization = q});
    ASSERT_EQ(run.code, DesignCode::Ok);
    const double half = q == k8 ? 64.0 : 16384.0;
    EXPECT_EQ(run.design.denominator[0], half);
    EXPECT_LT(std::abs(run.design.denominator[1]), half);
    EXPECT_LT(std::abs(run.design.numerator[0]), 2.0 * half);
  }
}

struct PropertyCase {
  std::string name;
  FilterSpec spec;
};

std::vector<PropertyCase> PropertyCases() {
  std::vector<PropertyCase> cases;
  const struct {
    const char* name;
    FilterSpec spec;
  } shapes[] = {
      {"IirButterworthLowPass1",
       {.filterClass = kIir,
        .bandType = B::LowPass,
        .model = M::Butterworth,
        .order = 1,
        .fcut1 = 100,
        .fcut2 = 100}},
      {"IirButterworthLowPass6",
       {.filterClass = kIir,
        .bandType = B::LowPass,
        .model = M::Butterworth,
        .order = 6,
        .fcut1 = 200,
        .fcut2 = 200}},
      {"IirChebyshevLowPass3",
       {.filterClass = kIir,
        .bandType = B::LowPass,
        .model = M::Chebyshev,
        .order = 3,
        .fcut1 = 100,
        .fcut2 = 100}},
      {"IirBesselLowPass5",
       {.filterClass = kIir,
        .bandType = B::LowPass,
        .model = M::Bessel,
        .order = 5,
        .fcut1 = 150,
        .fcut2 = 150}},
      {"IirButterworthHighPass2",
       {.filterClass = kIir,
        .bandType = B::HighPass,
        .model = M::Butterworth,
        .order = 2,
        .fcut1 = 100,
        .fcut2 = 100}},
      {"IirChebyshevHighPass3",
       {.filterClass = kIir,
        .bandType = B::HighPass,
        .model = M::Chebyshev,
        .order = 3,
        .fcut1 = 100,
        .fcut2 = 100}},
      {"IirBesselHighPass4",
       {.filterClass = kIir,
        .bandType = B::HighPass,
        .model = M::Bessel,
        .order = 4,
        .fcut1 = 250,
        .fcut2 = 250}},
      {"IirButterworthBandPass2",
       {.filterClass = kIir,
        .bandType = B::BandPass,
        .model = M::Butterworth,
        .order = 2,
        .fcut1 = 100,
        .fcut2 = 200}},
      {"IirChebyshevBandPass3",
       {.filterClass = kIir,
        .bandType = B::BandPass,
        .model = M::Chebyshev,
        .order = 3,
        .fcut1 = 300,
        .fcut2 = 320}},
      {"IirBesselBandPass3",
       {.filterClass = kIir,
        .bandType = B::BandPass,
        .model = M::Bessel,
        .order = 3,
        .fcut1 = 100,
        .fcut2 = 300}},
      {"IirButterworthBandStop2",
       {.filterClass = kIir,
        .bandType = B::BandStop,
        .model = M::Butterworth,
        .order = 2,
        .fcut1 = 100,
        .fcut2 = 300}},
      {"IirChebyshevBandStop4",
       {.filterClass = kIir,
        .bandType = B::BandStop,
        .model = M::Chebyshev,
        .order = 4,
        .fcut1 = 150,
        .fcut2 = 300}},
      {"FirRectangleLowPass",
       {.filterClass = kFir,
        .bandType = B::LowPass,
        .model = M::Rectangle,
        .order = 2,
        .fcut1 = 100,
        .fcut2 = 100,
        .taps = 31}},
      {"FirRectangleHighPassEven",
       {.filterClass = kFir,
        .bandType = B::HighPass,
        .model = M::Rectangle,
        .order = 2,
        .fcut1 = 300,
        .fcut2 = 300,
        .taps = 64}},
      {"FirRectangleBandPass",
       {.filterClass = kFir,
        .bandType = B::BandPass,
        .model = M::Rectangle,
        .order = 2,
        .fcut1 = 100,
        .fcut2 = 350,
        .taps = 101}},
      {"FirRectangleBandStop",
       {.filterClass = kFir,
        .bandType = B::BandStop,
        .model = M::Rectangle,
        .order = 2,
        .fcut1 = 100,
        .fcut2 = 350,
        .taps = 101}},
      {"FirRaisedCosineLowPass",
       {.filterClass = kFir,
        .bandType = B::LowPass,
        .model = M::RaisedCosine,
        .order = 2,
        .fcut1 = 100,
        .fcut2 = 100,
        .taps = 31}},
      {"FirRaisedCosineHighPass",
       {.filterClass = kFir,
        .bandType = B::HighPass,
        .model = M::RaisedCosine,
        .order = 2,
        .fcut1 = 200,
        .fcut2 = 200,
        .taps = 45}},
      {"FirRaisedCosineBandPass",
       {.filterClass = kFir,
        .bandType = B::BandPass,
        .model = M::RaisedCosine,
        .order = 2,
        .fcut1 = 60,
        .fcut2 = 300,
        .taps = 63}},
      {"FirButterworthLowPass",
       {.filterClass = kFir,
        .bandType = B::LowPass,
        .model = M::Butterworth,
        .order = 4,
        .fcut1 = 100,
        .fcut2 = 100,
        .taps = 127}},
      {"FirChebyshevBandPass",
       {.filterClass = kFir,
        .bandType = B::BandPass,
        .model = M::Chebyshev,
        .order = 3,
        .fcut1 = 200,
        .fcut2 = 400,
        .taps = 63}},
      {"FirBesselHighPass",
       {.filterClass = kFir,
        .bandType = B::HighPass,
        .model = M::Bessel,
        .order = 3,
        .fcut1 = 200,
        .fcut2 = 200,
        .taps = 511}},
      {"FirChebyshevBandStop9",
       {.filterClass = kFir,
        .bandType = B::BandStop,
        .model = M::Chebyshev,
        .order = 9,
        .fcut1 = 100,
        .fcut2 = 300,
        .taps = 511}},
  };
  for (const auto& s : shapes) {
    for (const Quantization q : {kFloat, k8, k16}) {
      const char* suffix = q == kFloat ? "Float" : q == k8 ? "At8" : "At16";
      FilterSpec spec = s.spec;
      spec.quantization = q;
      cases.push_back({std::string(s.name) + suffix, spec});
    }
  }
  return cases;
}

// The digital frequency (Hz) of the band centre: the bilinear image of the pre-warped fcenter.
double DigitalCentre(const FilterSpec& spec) {
  return spec.fsample / std::numbers::pi *
         std::atan(std::numbers::pi * spec.fcenter / spec.fsample);
}

// The last of `points` outputs of the design for the reference input of its band type:
// constant (low pass, band stop) or alternating (high pass).
double ReferenceOutput(const FilterSpec& spec, const FilterDesign& d, int points) {
  std::vector<double> u(static_cast<std::size_t>(points));
  std::vector<double> y(u.size(), 0.0);
  for (int t = 0; t < points; ++t) u[t] = (spec.bandType == B::HighPass && t % 2 == 1) ? -1.0 : 1.0;
  for (int t = 0; t < points; ++t) {
    double acc = 0.0;
    if (spec.filterClass == kFir) {
      for (int j = 0; j < spec.taps && j <= t; ++j) acc += d.firTaps[j] * u[t - j];
    } else {
      acc = d.numerator[0] * u[t];
      for (int j = 1; j <= spec.effectiveOrder && j <= t; ++j) {
        acc += d.numerator[j] * u[t - j] - d.denominator[j] * y[t - j];
      }
    }
    y[t] = acc;
  }
  return y.back();
}

class DesignProperties : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(DesignProperties, AcceptedDesignsAreNormalisedStableAndFitTheirWords) {
  const DesignRun run = RunDesign(GetParam().spec);
  if (run.code != DesignCode::Ok) {
    // Quantised designs may be refused, with one of the specified reasons.
    ASSERT_NE(run.spec.quantization, kFloat) << "code " << static_cast<int>(run.code);
    EXPECT_TRUE(run.code == DesignCode::QuantizationNotPossible ||
                run.code == DesignCode::NotStable)
        << static_cast<int>(run.code);
    return;
  }
  const FilterSpec& spec = run.spec;
  const FilterDesign& d = run.design;
  const bool fir = spec.filterClass == kFir;
  const int m = spec.effectiveOrder;

  // The reference input through the normalised float design gives exactly unit output where
  // the gain was measured.
  if (spec.quantization == kFloat && spec.bandType != B::BandPass) {
    EXPECT_NEAR(std::abs(ReferenceOutput(spec, d, run.scale.points)), 1.0, 1e-12);
  }
  // Unit gain at the reference frequency itself: float designs up to the settling of the
  // measurement. A band pass is measured through the spectrum of a sine that rarely falls on
  // a bin, whose peak shows less than the sine's amplitude (at most 3.92 dB less), so the
  // design ends at or somewhat above unit gain at its centre. Quantised designs stay close to
  // the float design of the same specification.
  const double referenceHz = spec.bandType == B::HighPass   ? spec.fsample / 2.0
                             : spec.bandType == B::BandPass ? DigitalCentre(spec)
                                                            : 0.0;
  const double gainDb = GainDb(spec, d, referenceHz);
  if (spec.quantization == kFloat) {
    if (spec.bandType == B::BandPass) {
      EXPECT_GE(gainDb, -0.5);
      EXPECT_LE(gainDb, 4.0);
      EXPECT_GT(referenceHz, spec.fcut1);
      EXPECT_LT(referenceHz, spec.fcut2);
    } else {
      EXPECT_NEAR(gainDb, 0.0, 0.1);
    }
  } else if (spec.bandType != B::BandPass) {
    FilterSpec floatSpec = GetParam().spec;
    floatSpec.quantization = kFloat;
    const DesignRun floatRun = RunDesign(floatSpec);
    ASSERT_EQ(floatRun.code, DesignCode::Ok);
    EXPECT_NEAR(gainDb, GainDb(floatRun.spec, floatRun.design, referenceHz),
                spec.quantization == k16 ? 0.05 : 1.5);
  }

  if (IsIirModel(spec.model)) {
    for (int i = 0; i < m; ++i) {
      EXPECT_LT(run.poles[i].re * run.poles[i].re + run.poles[i].im * run.poles[i].im, 1.0);
    }
  } else {
    for (const Complex& pole : run.poles) EXPECT_EQ(pole, kPoleSentinel);
  }

  if (spec.quantization == kFloat) {
    EXPECT_EQ(d.shift, 0);
    return;
  }
  const double full = spec.quantization == k8 ? 128.0 : 32768.0;
  const auto fits = [full](double v) {
    return v == std::trunc(v) && v >= -full && v <= full - 1.0;
  };
  if (fir) {
    for (int k = 0; k < spec.taps; ++k) EXPECT_TRUE(fits(d.firTaps[k])) << d.firTaps[k];
  } else {
    for (int k = 0; k <= m; ++k) {
      EXPECT_TRUE(fits(d.numerator[k])) << "b" << k << " = " << d.numerator[k];
      EXPECT_TRUE(fits(d.denominator[k])) << "a" << k << " = " << d.denominator[k];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Specifications, DesignProperties, ::testing::ValuesIn(PropertyCases()),
                         [](const auto& test) { return test.param.name; });

// An FIR design with an IIR model keeps the IIR arrays exactly as the IIR design left them,
// and checks and reports the IIR poles.
TEST(Design, FirWithIirModelKeepsTheUnnormalisedIirDesign) {
  FilterSpec spec{.filterClass = kFir,
                  .bandType = B::BandPass,
                  .model = M::Chebyshev,
                  .order = 3,
                  .fcut1 = 100,
                  .fcut2 = 250,
                  .taps = 63,
                  .quantization = k16};
  const DesignRun run = RunDesign(spec);
  ASSERT_EQ(run.code, DesignCode::Ok);
  FilterSpec iirSpec = run.spec;
  FilterDesign iir;
  ASSERT_EQ(DesignIir(iirSpec, iir), 0);
  for (int k = 0; k <= run.spec.effectiveOrder; ++k) {
    EXPECT_EQ(run.design.numerator[k], iir.numerator[k]);
    EXPECT_EQ(run.design.denominator[k], iir.denominator[k]);
  }
  for (int i = 0; i < run.spec.effectiveOrder; ++i) EXPECT_NE(run.poles[i], kPoleSentinel);
}

// Rectangle and raised-cosine band passes are normalised at the centre that the IIR design
// of the same band computes, and store it.
TEST(Design, FirBandPassCentreIsTheIirCentre) {
  for (const M model : {M::Rectangle, M::RaisedCosine}) {
    for (const auto& [fcut1, fcut2, fsample] :
         std::vector<std::array<int, 3>>{{60, 300, 1000}, {1000, 7000, 48000}, {3, 99, 400}}) {
      FilterSpec spec{.filterClass = kFir,
                      .bandType = B::BandPass,
                      .model = model,
                      .order = 2,
                      .fcut1 = fcut1,
                      .fcut2 = fcut2,
                      .fsample = fsample,
                      .taps = 63,
                      .quantization = kFloat};
      spec.fcenter = -1.0;
      const DesignRun run = RunDesign(spec);
      ASSERT_EQ(run.code, DesignCode::Ok);
      FilterSpec iirSpec = FilterSpec{.filterClass = kIir,
                                      .bandType = B::BandPass,
                                      .model = M::Butterworth,
                                      .order = 2,
                                      .fcut1 = fcut1,
                                      .fcut2 = fcut2,
                                      .fsample = fsample,
                                      .taps = 31,
                                      .quantization = kFloat};
      ASSERT_EQ(Validate(iirSpec), ValidationCode::Valid);
      FilterDesign iir;
      ASSERT_EQ(DesignIir(iirSpec, iir), 0);
      EXPECT_EQ(run.spec.fcenter, iirSpec.fcenter) << fcut1 << ".." << fcut2;
    }
  }
}

struct FailureCase {
  std::string name;
  FilterSpec spec;
  DesignCode code;
};

class DesignFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DesignFailures, StopWithTheirCode) {
  const FailureCase& c = GetParam();
  const DesignRun run = RunDesign(c.spec);
  EXPECT_EQ(run.code, c.code);
  const FilterDesign& d = run.design;
  switch (c.code) {
    case DesignCode::GainOutOfRange:  // stops before the normalisation
      EXPECT_EQ(d.numerator[0], 1.0);
      break;
    case DesignCode::QuantizationNotPossible:  // normalised, not quantised
      EXPECT_LT(std::abs(d.numerator[0]), 1.0);
      EXPECT_NE(d.numerator[0], std::trunc(d.numerator[0]));
      break;
    case DesignCode::NotStable:  // judged after quantisation, with the poles written
      EXPECT_EQ(d.denominator[1], std::trunc(d.denominator[1]));
      EXPECT_NE(run.poles[0], kPoleSentinel);
      break;
    default:
      break;
  }
  EXPECT_FALSE(DesignMessage(run.code).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DesignFailures,
    ::testing::Values(
        // The gain of a 19th-order low pass at 1 Hz of 48 kHz is far beyond 1e16.
        FailureCase{"GainOutOfRange",
                    FilterSpec{.filterClass = kIir,
                               .bandType = B::LowPass,
                               .model = M::Butterworth,
                               .order = 19,
                               .fcut1 = 1,
                               .fcut2 = 1,
                               .fsample = 48000,
                               .taps = 31,
                               .quantization = kFloat},
                    DesignCode::GainOutOfRange},
        // Denominator coefficients of an 8th-order low pass reach the hundreds: they do not
        // fit 8 bits at any scale.
        FailureCase{"CoefficientsAboveTheWord",
                    FilterSpec{.filterClass = kIir,
                               .bandType = B::LowPass,
                               .model = M::Butterworth,
                               .order = 8,
                               .fcut1 = 100,
                               .fcut2 = 100,
                               .quantization = k8},
                    DesignCode::QuantizationNotPossible},
        FailureCase{"NumeratorBelowItsRange",
                    FilterSpec{.filterClass = kIir,
                               .bandType = B::BandPass,
                               .model = M::Butterworth,
                               .order = 3,
                               .fcut1 = 10,
                               .fcut2 = 20,
                               .quantization = k16},
                    DesignCode::QuantizationNotPossible},
        FailureCase{"QuantisedPolesOnTheCircle",
                    FilterSpec{.filterClass = kIir,
                               .bandType = B::BandStop,
                               .model = M::Chebyshev,
                               .order = 9,
                               .fcut1 = 100,
                               .fcut2 = 250,
                               .quantization = k16},
                    DesignCode::NotStable},
        // Both cut frequencies fall into bin 51: no bin passes, every tap is 0.
        FailureCase{"NoPassBin",
                    FilterSpec{.filterClass = kFir,
                               .bandType = B::BandPass,
                               .model = M::Rectangle,
                               .order = 2,
                               .fcut1 = 100,
                               .fcut2 = 101,
                               .quantization = kFloat},
                    DesignCode::ZeroGain},
        FailureCase{"NoPassBinQuantised",
                    FilterSpec{.filterClass = kFir,
                               .bandType = B::BandPass,
                               .model = M::Rectangle,
                               .order = 2,
                               .fcut1 = 100,
                               .fcut2 = 101,
                               .quantization = k16},
                    DesignCode::ZeroGain}),
    [](const auto& test) { return test.param.name; });

// Specifications the damped secant search alone refused, although they design stable filters:
// its roots failed to rebuild their polynomial, or a cluster of poles came out beyond the
// circle. They design now, with poles that rebuild the denominator and lie inside the circle.
TEST(DesignDriver, StableDesignsTheSearchAloneRefused) {
  const FilterSpec specs[] = {
      {.filterClass = kIir,
       .bandType = B::BandStop,
       .model = M::Chebyshev,
       .order = 9,
       .fcut1 = 100,
       .fcut2 = 350,
       .quantization = kFloat},
      {.filterClass = kFir,
       .bandType = B::BandStop,
       .model = M::Chebyshev,
       .order = 9,
       .fcut1 = 100,
       .fcut2 = 350,
       .taps = 511,
       .quantization = kFloat},
      {.filterClass = kIir,
       .bandType = B::BandPass,
       .model = M::Butterworth,
       .order = 9,
       .fcut1 = 100,
       .fcut2 = 350,
       .quantization = kFloat},
      {.filterClass = kIir,
       .bandType = B::BandStop,
       .model = M::Butterworth,
       .order = 5,
       .fcut1 = 100,
       .fcut2 = 350,
       .quantization = kFloat},
      {.filterClass = kIir,
       .bandType = B::HighPass,
       .model = M::Butterworth,
       .order = 8,
       .fcut1 = 15,
       .fcut2 = 15,
       .fsample = 2000,
       .quantization = kFloat},
  };
  for (const FilterSpec& spec : specs) {
    const DesignRun run = RunDesign(spec);
    SCOPED_TRACE(std::to_string(spec.order) + " " + std::to_string(spec.fcut1));
    ASSERT_EQ(run.code, DesignCode::Ok);
    const int m = spec.bandType == B::HighPass ? spec.order : 2 * spec.order;
    EXPECT_TRUE(RootsRebuildPolynomial(
        m, std::span<const double>(run.design.denominator).first(m + 1), run.poles));
    for (int i = 0; i < m; ++i) {
      EXPECT_LT(run.poles[i].re * run.poles[i].re + run.poles[i].im * run.poles[i].im, 1.0);
    }
  }
}

TEST(DesignMessage, ExactTexts) {
  const std::vector<std::pair<DesignCode, std::string>> messages{
      {DesignCode::GainOutOfRange,
       "Error: Calculus out of range!\nReduce Fs/Fc or the Filter Order.\n\n"},
      {DesignCode::RootSearchFailed, "Error: The function did not find the roots!\n\n"},
      {DesignCode::QuantizationNotPossible,
       "Error: Quantization not possible!\nReduce Fs/Fc or the Filter Order. Or increase the "
       "quantization coefficients precision\n\n"},
      {DesignCode::NotStable,
       "Error: This filter is not stable!\nReduce Fs/Fc or the Filter Order. Or increase the "
       "quantization coefficients precision\n\n"},
      {DesignCode::ZeroGain,
       "Error: The filter has no gain!\nChange the cut frequencies or the number of taps.\n\n"},
      {DesignCode::RemezFailed,
       "Error: The equiripple design did not converge!\nChange the band edges or the number of "
       "taps.\n\n"},
      {DesignCode::Ok, ""},
      {static_cast<DesignCode>(-7), ""},
      {static_cast<DesignCode>(-20), ""},
  };
  for (const auto& [code, text] : messages)
    EXPECT_EQ(DesignMessage(code), text) << static_cast<int>(code);
}

}  // namespace
}  // namespace qv
