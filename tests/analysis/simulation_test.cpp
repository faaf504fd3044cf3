#include "analysis/simulation.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/validation.h"
#include "literal_loops.h"

namespace qv {
namespace {

constexpr int kRoom = kSimulationSamples + 88;  // more room than any simulation may write

using Samples = std::array<double, kRoom>;

struct Trace {
  Samples out{};
  double peak = 0.0;
};

double Amplitude(Quantization q) {
  return q == Quantization::Signed8 ? 128.0 : q == Quantization::Signed16 ? 32768.0 : 1.0;
}

// The filter loop as the product describes it.
Trace LiteralIir(const FilterSpec& spec, const std::vector<double>& b, const std::vector<double>& a,
                 int e, int count, bool step) {
  Trace run;
  run.out.fill(-7.0);
  run.peak = reference::LiteralSimulateIir(spec, b, a, e, count, step, run.out);
  return run;
}

Trace LiteralFir(const FilterSpec& spec, const std::vector<double>& h, int e, int count,
                 bool step) {
  count = std::min(count, kSimulationSamples);
  const bool quantized = spec.quantization != Quantization::Float;
  const double s = Amplitude(spec.quantization);
  std::array<double, kSimulationSamples> x{};
  Trace run;
  for (int t = 0; t < count; ++t) {
    for (int j = count - 2; j >= 0; --j) x[j + 1] = x[j];
    x[0] = (step || t == 0) ? s : 0.0;
    double acc = 0.0;
    for (int k = 0; k < spec.taps; ++k) {
      double term = h[k] * x[k];
      if (quantized) term = static_cast<std::int32_t>(term);
      acc += term;
    }
    run.out[t] = acc / std::ldexp(1.0, e) / s;
    if (std::abs(run.out[t]) > run.peak) run.peak = std::abs(run.out[t]);
  }
  return run;
}

Trace Simulated(const FilterSpec& spec, const std::vector<double>& b, const std::vector<double>& a,
                int e, int count, bool step) {
  Trace run;
  run.out.fill(-7.0);
  run.peak = step ? SimulateIirStep(spec, b, a, e, count, run.out)
                  : SimulateIirImpulse(spec, b, a, e, count, run.out);
  return run;
}

Trace SimulatedFir(const FilterSpec& spec, const std::vector<double>& h, int e, int count,
                   bool step) {
  Trace run;
  run.out.fill(-7.0);
  run.peak = step ? SimulateFirStep(spec, h, e, count, run.out)
                  : SimulateFirImpulse(spec, h, e, count, run.out);
  return run;
}

// Bit-for-bit equality, which also tells +0 from -0.
void ExpectIdentical(const Trace& expected, const Trace& actual, int count) {
  const int n = std::min(count, kSimulationSamples);
  for (int t = 0; t < n; ++t) {
    ASSERT_EQ(std::memcmp(&expected.out[t], &actual.out[t], sizeof(double)), 0)
        << "sample " << t << ": " << expected.out[t] << " vs " << actual.out[t];
  }
  EXPECT_EQ(std::memcmp(&expected.peak, &actual.peak, sizeof(double)), 0);
  for (int t = n; t < kRoom; ++t) ASSERT_EQ(actual.out[t], -7.0) << "wrote past " << n;
}

// Step and impulse computed side by side against the literal loop.
void ExpectPairIdentical(const FilterSpec& spec, const std::vector<double>& b,
                         const std::vector<double>& a, int e, int count) {
  SCOPED_TRACE("step and impulse side by side");
  Trace step;
  Trace impulse;
  step.out.fill(-7.0);
  impulse.out.fill(-7.0);
  const IirPeaks peaks = SimulateIirStepAndImpulse(spec, b, a, e, count, step.out, impulse.out);
  step.peak = peaks.step;
  impulse.peak = peaks.impulse;
  ExpectIdentical(LiteralIir(spec, b, a, e, count, true), step, count);
  ExpectIdentical(LiteralIir(spec, b, a, e, count, false), impulse, count);
}

// A designed filter to simulate: the spec, its design and the class's coefficients.
struct Designed {
  FilterSpec spec;
  FilterDesign design;
  std::vector<double> b, a, h;
};

Designed Make(FilterSpec spec) {
  Designed d;
  EXPECT_EQ(Validate(spec), ValidationCode::Valid);
  DisplayScale scale;
  DeriveScale(spec, scale);
  PoleList poles{};
  EXPECT_EQ(Design(spec, scale, d.design, poles), DesignCode::Ok);
  d.spec = spec;
  const auto m = static_cast<std::size_t>(spec.effectiveOrder + 1);
  d.b.assign(d.design.numerator.begin(), d.design.numerator.begin() + m);
  d.a.assign(d.design.denominator.begin(), d.design.denominator.begin() + m);
  d.h.assign(d.design.firTaps.begin(), d.design.firTaps.begin() + spec.taps);
  return d;
}

struct SimulationCase {
  std::string name;
  FilterSpec spec;
};

const Quantization kFloat = Quantization::Float;
const Quantization k8 = Quantization::Signed8;
const Quantization k16 = Quantization::Signed16;
const FilterClass kIir = FilterClass::Iir;
const FilterClass kFir = FilterClass::Fir;

std::vector<SimulationCase> SimulationCases() {
  using M = FilterModel;
  using B = BandType;
  return {
      {"DefaultFloat", FilterSpec{}},
      {"Default16", FilterSpec{.filterClass = kIir,
                               .bandType = B::LowPass,
                               .model = M::Butterworth,
                               .order = 2,
                               .fcut1 = 100,
                               .fcut2 = 100,
                               .quantization = k16}},
      {"Default8", FilterSpec{.filterClass = kIir,
                              .bandType = B::LowPass,
                              .model = M::Butterworth,
                              .order = 2,
                              .fcut1 = 100,
                              .fcut2 = 100,
                              .quantization = k8}},
      {"ChebyshevHighPass16", FilterSpec{.filterClass = kIir,
                                         .bandType = B::HighPass,
                                         .model = M::Chebyshev,
                                         .order = 3,
                                         .fcut1 = 200,
                                         .fcut2 = 200,
                                         .quantization = k16}},
      {"BesselBandPass16", FilterSpec{.filterClass = kIir,
                                      .bandType = B::BandPass,
                                      .model = M::Bessel,
                                      .order = 2,
                                      .fcut1 = 100,
                                      .fcut2 = 250,
                                      .quantization = k16}},
      {"ButterworthBandStopFloat", FilterSpec{.filterClass = kIir,
                                              .bandType = B::BandStop,
                                              .model = M::Butterworth,
                                              .order = 3,
                                              .fcut1 = 100,
                                              .fcut2 = 300,
                                              .quantization = kFloat}},
      {"ButterworthOrder1At8", FilterSpec{.filterClass = kIir,
                                          .bandType = B::LowPass,
                                          .model = M::Butterworth,
                                          .order = 1,
                                          .fcut1 = 300,
                                          .fcut2 = 300,
                                          .quantization = k8}},
      {"RectangleLowPassFloat", FilterSpec{.filterClass = kFir,
                                           .bandType = B::LowPass,
                                           .model = M::Rectangle,
                                           .order = 2,
                                           .fcut1 = 100,
                                           .fcut2 = 100,
                                           .quantization = kFloat}},
      {"RectangleLowPass16", FilterSpec{.filterClass = kFir,
                                        .bandType = B::LowPass,
                                        .model = M::Rectangle,
                                        .order = 2,
                                        .fcut1 = 100,
                                        .fcut2 = 100,
                                        .quantization = k16}},
      {"RaisedCosineHighPass8", FilterSpec{.filterClass = kFir,
                                           .bandType = B::HighPass,
                                           .model = M::RaisedCosine,
                                           .order = 2,
                                           .fcut1 = 150,
                                           .fcut2 = 150,
                                           .taps = 64,
                                           .quantization = k8}},
      {"ButterworthFirBandPass16", FilterSpec{.filterClass = kFir,
                                              .bandType = B::BandPass,
                                              .model = M::Butterworth,
                                              .order = 3,
                                              .fcut1 = 100,
                                              .fcut2 = 200,
                                              .taps = 511,
                                              .quantization = k16}},
      {"ChebyshevFirBandStopFloat", FilterSpec{.filterClass = kFir,
                                               .bandType = B::BandStop,
                                               .model = M::Chebyshev,
                                               .order = 2,
                                               .fcut1 = 100,
                                               .fcut2 = 300,
                                               .taps = 100,
                                               .quantization = kFloat}},
      // The heaviest recursions that quantise: order 18 at 16 bits, 16 and 14 at 8 bits.
      {"HeaviestChebyshevBandStop16", FilterSpec{.filterClass = kIir,
                                                 .bandType = B::BandStop,
                                                 .model = M::Chebyshev,
                                                 .order = 9,
                                                 .fcut1 = 100,
                                                 .fcut2 = 300,
                                                 .quantization = k16}},
      {"HeaviestBesselLowPass8", FilterSpec{.filterClass = kIir,
                                            .bandType = B::LowPass,
                                            .model = M::Bessel,
                                            .order = 16,
                                            .fcut1 = 200,
                                            .fcut2 = 200,
                                            .quantization = k8}},
      {"HeaviestBesselBandPass8", FilterSpec{.filterClass = kIir,
                                             .bandType = B::BandPass,
                                             .model = M::Bessel,
                                             .order = 7,
                                             .fcut1 = 200,
                                             .fcut2 = 350,
                                             .quantization = k8}},
  };
}

class SimulationMatchesLiteralLoop : public ::testing::TestWithParam<SimulationCase> {};

// The simulations index time-ordered buffers and, for FIR filters, use the sparse impulse and
// step; both must reproduce the ageing-history loops exactly, for every sample count.
TEST_P(SimulationMatchesLiteralLoop, BitForBit) {
  const Designed d = Make(GetParam().spec);
  for (const int count : {1, 2, 7, 31, 100, 511, 512, 600}) {
    for (const bool step : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "count " << count << (step ? " step" : " impulse"));
      if (d.spec.filterClass == kFir) {
        if (count < d.spec.taps) continue;  // callers never pass fewer samples than taps
        ExpectIdentical(LiteralFir(d.spec, d.h, d.design.shift, count, step),
                        SimulatedFir(d.spec, d.h, d.design.shift, count, step), count);
      } else {
        ExpectIdentical(LiteralIir(d.spec, d.b, d.a, d.design.shift, count, step),
                        Simulated(d.spec, d.b, d.a, d.design.shift, count, step), count);
      }
    }
    if (d.spec.filterClass == kIir) ExpectPairIdentical(d.spec, d.b, d.a, d.design.shift, count);
  }
}

INSTANTIATE_TEST_SUITE_P(Designs, SimulationMatchesLiteralLoop,
                         ::testing::ValuesIn(SimulationCases()),
                         [](const auto& test) { return test.param.name; });

// Signed zeros in the coefficients and zero terms must not change the sign of any output.
TEST(Simulation, SignedZeroCoefficientsMatchLiteralLoop) {
  FilterSpec spec{.taps = 6};
  const std::vector<double> h{-0.0, 0.0, -0.25, 0.25, -0.0, 0.5};
  for (const Quantization q : {kFloat, k8, k16}) {
    spec.quantization = q;
    for (const bool step : {false, true}) {
      ExpectIdentical(LiteralFir(spec, h, 0, 40, step), SimulatedFir(spec, h, 0, 40, step), 40);
    }
  }
  spec.effectiveOrder = 3;
  const std::vector<double> b{-0.0, 0.0, -0.5, 0.0};
  const std::vector<double> a{1.0, -0.0, 0.25, 0.0};
  for (const Quantization q : {kFloat, k8, k16}) {
    spec.quantization = q;
    for (const bool step : {false, true}) {
      ExpectIdentical(LiteralIir(spec, b, a, 0, 40, step), Simulated(spec, b, a, 0, 40, step), 40);
    }
  }
}

// Quantised recursions whose outputs outgrow the range where whole-number sums are exact (and
// finally overflow): the regrouped sums must hand over to the literal order in time. Lead
// coefficients 1 and 4 take the reciprocal, 3 the division.
TEST(Simulation, OutputsBeyondExactSumsMatchLiteralLoop) {
  FilterSpec spec{.effectiveOrder = 4};
  const std::vector<std::vector<double>> denominators = {
      {1.0, -3.0, 0.5, -0.25, 0.125}, {4.0, 7.0, -30.0, 2.0, 1.0}, {3.0, -1e6, 0.0, 5.0, -2.0}};
  const std::vector<double> b{1000.0, -2000.0, 3000.0, 0.0, -7.0};
  for (const Quantization q : {k8, k16}) {
    spec.quantization = q;
    for (const auto& a : denominators) {
      for (const bool step : {false, true}) {
        ExpectIdentical(LiteralIir(spec, b, a, 3, kSimulationSamples, step),
                        Simulated(spec, b, a, 3, kSimulationSamples, step), kSimulationSamples);
      }
      ExpectPairIdentical(spec, b, a, 3, kSimulationSamples);
    }
  }
}

// Hand-worked integer arithmetic: every product, partial sum and the division by a[0] is cut
// toward zero in an IIR filter; an FIR filter cuts each product only.
struct TruncationCase {
  std::string name;
  FilterClass filterClass;
  Quantization quantization;
  bool step;
  std::vector<double> b, a;     // IIR (b also holds the FIR taps)
  std::vector<double> integer;  // expected outputs in integer units (before 1/s)
};

class QuantizedArithmetic : public ::testing::TestWithParam<TruncationCase> {};

TEST_P(QuantizedArithmetic, CutsTowardZero) {
  const TruncationCase& c = GetParam();
  FilterSpec spec{.effectiveOrder = static_cast<int>(c.b.size()) - 1,
                  .taps = static_cast<int>(c.b.size()),
                  .quantization = c.quantization};
  const int count = static_cast<int>(c.integer.size());
  const double s = Amplitude(c.quantization);
  const Trace run = c.filterClass == kFir ? SimulatedFir(spec, c.b, 0, count, c.step)
                                          : Simulated(spec, c.b, c.a, 0, count, c.step);
  for (int t = 0; t < count; ++t) EXPECT_EQ(run.out[t], c.integer[t] / s) << "sample " << t;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuantizedArithmetic,
    ::testing::Values(
        // 1.3 x 128 = 166.4 -> 166; then 166 + trunc(0.7 x 128 = 89.6) = 255, not 256.
        TruncationCase{"IirProductsAndSums", kIir, k8, true, {1.3, 0.7}, {1.0, 0.0}, {166, 255}},
        // -166.4 -> -166: toward zero, not down.
        TruncationCase{"IirNegativeProduct", kIir, k8, false, {-1.3}, {1.0}, {-166, 0}},
        // 32768 / 3 = 10922.67 -> 10922; then trunc(0.5 x 10922) = 5461 fed back:
        // (0 - 5461) / 3 = -1820.33 -> -1820.
        TruncationCase{"IirDivisionByA0", kIir, k16, false, {1.0, 0.0}, {3.0, 0.5}, {10922, -1820}},
        // 0.7 x 128 = 89.6 -> 89 and -89.6 -> -89; the running sum itself is exact.
        TruncationCase{"FirProducts", kFir, k8, true, {0.7, -0.7}, {}, {89, 0, 0}},
        // 0.3 x 32768 = 9830.4 -> 9830 per product.
        TruncationCase{"FirImpulse", kFir, k16, false, {0.3, -0.3}, {}, {9830, -9830, 0}}),
    [](const auto& test) { return test.param.name; });

TEST(Simulation, FloatFirImpulseIsTheTapsAndStepTheirRunningSum) {
  const Designed d = Make(FilterSpec{.filterClass = kFir,
                                     .bandType = BandType::LowPass,
                                     .model = FilterModel::RaisedCosine,
                                     .order = 2,
                                     .fcut1 = 100,
                                     .fcut2 = 100,
                                     .taps = 45,
                                     .quantization = kFloat});
  const Trace impulse = SimulatedFir(d.spec, d.h, 0, kSimulationSamples, false);
  const Trace step = SimulatedFir(d.spec, d.h, 0, kSimulationSamples, true);
  double largest = 0.0;
  double sum = 0.0;
  for (int t = 0; t < kSimulationSamples; ++t) {
    const double tap = t < d.spec.taps ? d.h[t] : 0.0;
    EXPECT_EQ(impulse.out[t], tap);
    largest = std::max(largest, std::abs(tap));
    sum += tap;
    EXPECT_EQ(step.out[t], sum);
  }
  EXPECT_EQ(impulse.peak, largest);
  EXPECT_NEAR(step.out[kSimulationSamples - 1], 1.0, 1e-12);  // normalised at DC
}

TEST(Simulation, QuantizedFirImpulseIsTruncatedTapsScaledBack) {
  for (const Quantization q : {k8, k16}) {
    const Designed d = Make(FilterSpec{.filterClass = kFir,
                                       .bandType = BandType::HighPass,
                                       .model = FilterModel::Rectangle,
                                       .order = 2,
                                       .fcut1 = 300,
                                       .fcut2 = 300,
                                       .taps = 33,
                                       .quantization = q});
    const double s = Amplitude(q);
    const Trace impulse = SimulatedFir(d.spec, d.h, d.design.shift, kSimulationSamples, false);
    for (int t = 0; t < d.spec.taps; ++t) {
      EXPECT_EQ(impulse.out[t], std::trunc(d.h[t] * s) / std::ldexp(1.0, d.design.shift) / s);
    }
  }
}

TEST(Simulation, QuantizedIirOutputsAreWholeIntegerUnits) {
  for (const Quantization q : {k8, k16}) {
    const Designed d = Make(FilterSpec{.filterClass = kIir,
                                       .bandType = BandType::LowPass,
                                       .model = FilterModel::Chebyshev,
                                       .order = 4,
                                       .fcut1 = 150,
                                       .fcut2 = 150,
                                       .quantization = q});
    const double units = std::ldexp(1.0, d.design.shift) * Amplitude(q);
    for (const bool step : {false, true}) {
      const Trace run = Simulated(d.spec, d.b, d.a, d.design.shift, kSimulationSamples, step);
      for (int t = 0; t < kSimulationSamples; ++t) {
        EXPECT_EQ(run.out[t] * units, std::trunc(run.out[t] * units)) << "sample " << t;
      }
    }
  }
}

TEST(Simulation, StableLowPassStepSettlesAtItsDcGain) {
  FilterSpec spec{.effectiveOrder = 2};
  const std::vector<double> b{0.2, 0.3, 0.1};
  const std::vector<double> a{1.0, -0.5, 0.2};
  const Trace step = Simulated(spec, b, a, 0, kSimulationSamples, true);
  EXPECT_NEAR(step.out[kSimulationSamples - 1], (0.2 + 0.3 + 0.1) / (1.0 - 0.5 + 0.2), 1e-14);
}

}  // namespace
}  // namespace qv
