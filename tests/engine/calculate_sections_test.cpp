// Calculate with the structure Sections: quantised IIR designs become the fixed-point cascade
// and draw its integer simulation; every other design is the one the direct form gives, and a
// direct-form run after a sections run on the same records leaves no cascade behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/cascade_roots.h"
#include "analysis/cascade_simulation.h"
#include "design/scheme_check.h"
#include "engine/calculate.h"

namespace qv {
namespace {

using Outcome = Calculation;

Outcome Calculated(const FilterSpec& spec) { return Calculate(spec); }

FilterSpec Spec(FilterClass filterClass, FilterModel model, BandType band, Quantization q) {
  FilterSpec spec;
  spec.filterClass = filterClass;
  spec.model = model;
  spec.bandType = band;
  spec.quantization = q;
  spec.order = 3;
  spec.fcut2 = 300;
  return spec;
}

class StructureIgnored : public testing::TestWithParam<FilterSpec> {};

// Float and FIR designs have no fixed-point sections: the structure changes nothing.
TEST_P(StructureIgnored, SectionsGiveTheDirectFormsDesign) {
  FilterSpec sections = GetParam();
  sections.structure = IirStructure::Sections;
  const Outcome direct = Calculated(GetParam());
  const Outcome other = Calculated(sections);
  EXPECT_EQ(direct.outcome.code, other.outcome.code);
  EXPECT_TRUE(direct.design == other.design);
  EXPECT_TRUE(direct.responses == other.responses);
}

INSTANTIATE_TEST_SUITE_P(Designs, StructureIgnored,
                         testing::Values(Spec(FilterClass::Iir, FilterModel::Chebyshev,
                                              BandType::LowPass, Quantization::Float),
                                         Spec(FilterClass::Iir, FilterModel::Bessel,
                                              BandType::BandStop, Quantization::Float),
                                         Spec(FilterClass::Fir, FilterModel::Butterworth,
                                              BandType::LowPass, Quantization::Signed16),
                                         Spec(FilterClass::Fir, FilterModel::RaisedCosine,
                                              BandType::HighPass, Quantization::Signed8)));

TEST(CalculateSections, DrawsTheCascadesSimulationAndRoots) {
  for (const Quantization q : {Quantization::Signed8, Quantization::Signed16}) {
    FilterSpec spec = Spec(FilterClass::Iir, FilterModel::Chebyshev, BandType::BandPass, q);
    spec.structure = IirStructure::Sections;
    const Outcome r = Calculated(spec);
    ASSERT_TRUE(r.outcome.Succeeded()) << r.outcome.message;
    ASSERT_EQ(r.design.cascade.count, 3);
    EXPECT_EQ(r.design.cascade.wordBits, q == Quantization::Signed8 ? 8 : 16);
    EXPECT_EQ(r.design.shift, 0);

    std::array<Complex, kMaxCoefficients> zeros{};
    std::array<Complex, kMaxCoefficients> poles{};
    ASSERT_TRUE(CascadeRoots(r.design.cascade, 6, zeros, poles));
    for (std::size_t k = 0; k < 6; ++k) {
      EXPECT_EQ(r.responses.zeros[k], zeros[k]) << k;
      EXPECT_EQ(r.responses.poles[k], poles[k]) << k;
    }

    std::array<double, kSimulationSamples> step{};
    std::array<double, kSimulationSamples> impulse{};
    const CascadeResponsePeaks peaks =
        SimulateCascadeStepAndImpulse(r.design.cascade, kSimulationSamples, step, impulse);
    EXPECT_EQ(r.responses.impulsePeak, peaks.impulse);
    EXPECT_EQ(r.responses.stepPeak, peaks.step);
    EXPECT_TRUE(r.responses.cascade == peaks.behaviour);
    // Point 255 shows sample trunc(255 * columnStep) of the simulation.
    const auto last = static_cast<std::size_t>(255.0f * r.scale.columnStep);
    EXPECT_EQ(r.responses.impulse[255], impulse[last] / peaks.impulse);

    // The same records calculated again in the direct form keep no trace of the cascade.
    FilterSpec direct = r.spec;
    direct.structure = IirStructure::Direct;
    const Outcome again = Calculated(direct);
    ASSERT_TRUE(again.Succeeded());
    EXPECT_TRUE(again.responses.cascade == CascadeBehaviour{});
  }
}

// A narrow low pass at 8 bits: its first section's numerator is far below one step of the
// word, so the cascade cannot be quantised; at 16 bits it can.
TEST(CalculateSections, NumeratorsBelowTheWordAreRefused) {
  FilterSpec spec =
      Spec(FilterClass::Iir, FilterModel::Butterworth, BandType::LowPass, Quantization::Signed8);
  spec.structure = IirStructure::Sections;
  spec.order = 4;
  spec.fsample = 48000;
  spec.fcut1 = 200;
  const Outcome narrow = Calculated(spec);
  EXPECT_EQ(narrow.outcome.code, -3);
  EXPECT_EQ(narrow.outcome.message.rfind("Error: Quantization not possible!", 0), 0u);
  spec.quantization = Quantization::Signed16;
  EXPECT_TRUE(Calculated(spec).outcome.Succeeded());
}

// The sections multiplied out into one direct-form float design, coefficient by coefficient.
FilterDesign MultipliedOut(const FixedPointCascade& cascade) {
  const double unit = std::ldexp(1.0, cascade.wordBits - 1 - cascade.postShift);
  FilterDesign design;
  design.numerator[0] = 1.0;
  design.denominator[0] = 1.0;
  int degree = 0;
  for (int i = 0; i < cascade.count; ++i) {
    const FixedPointSection& s = cascade.sections[static_cast<std::size_t>(i)];
    const std::array<double, 3> b{s.b0 / unit, s.b1 / unit, s.b2 / unit};
    const std::array<double, 3> a{1.0, -s.a1 / unit, -s.a2 / unit};
    const int width = s.b2 == 0 && s.a2 == 0 ? 1 : 2;
    for (int k = degree + width; k >= 0; --k) {
      double num = 0.0;
      double den = 0.0;
      for (int j = 0; j <= std::min(k, width); ++j) {
        if (k - j > degree) continue;
        num += b[static_cast<std::size_t>(j)] * design.numerator[static_cast<std::size_t>(k - j)];
        den += a[static_cast<std::size_t>(j)] * design.denominator[static_cast<std::size_t>(k - j)];
      }
      design.numerator[static_cast<std::size_t>(k)] = num;
      design.denominator[static_cast<std::size_t>(k)] = den;
    }
    degree += width;
  }
  return design;
}

// The verdict of a cascade is that of its quantised sections, not of the float design they
// were made from: the same check of the sections multiplied out. At 8 bits the coefficients
// move the pass-band ripple by tenths of a dB.
TEST(CalculateSections, SchemeVerdictIsTheQuantisedSections) {
  struct Case {
    BandType band;
    FilterModel model;
    Quantization quantization;
    int order;
    double pass1, pass2, stop1, stop2, attenuation;
  };
  constexpr Case kCases[] = {
      {BandType::LowPass, FilterModel::Elliptic, Quantization::Signed8, 4, 6000, 0, 8000, 0, 60},
      {BandType::LowPass, FilterModel::Elliptic, Quantization::Signed16, 6, 4000, 0, 5000, 0, 70},
      {BandType::BandPass, FilterModel::ChebyshevII, Quantization::Signed8, 4, 6000, 9000, 4000,
       12000, 60},
      {BandType::HighPass, FilterModel::Butterworth, Quantization::Signed16, 5, 9000, 0, 3000, 0,
       50},
  };
  int floatDiffers = 0;
  for (const Case& c : kCases) {
    FilterSpec spec = Spec(FilterClass::Iir, c.model, c.band, c.quantization);
    spec.structure = IirStructure::Sections;
    spec.order = c.order;
    spec.fsample = 48000;
    spec.ripple = 0.5;
    spec.fcut1 = static_cast<std::int32_t>(c.pass1);
    spec.fcut2 = static_cast<std::int32_t>(c.pass2);
    spec.scheme = {.active = true,
                   .pass1 = c.pass1,
                   .pass2 = c.pass2,
                   .stop1 = c.stop1,
                   .stop2 = c.stop2,
                   .attenuation = c.attenuation};
    SCOPED_TRACE(testing::Message() << "model " << static_cast<int>(c.model) << " band "
                                    << static_cast<int>(c.band) << " order " << c.order);
    const Outcome sections = Calculated(spec);
    ASSERT_TRUE(sections.Succeeded()) << sections.outcome.message;
    FilterSpec direct = sections.spec;
    direct.structure = IirStructure::Direct;
    direct.quantization = Quantization::Float;
    const SchemeCheck want = CheckAgainstScheme(direct, MultipliedOut(sections.design.cascade));
    const SchemeCheck& got = sections.outcome.scheme;
    ASSERT_TRUE(got.checked);
    EXPECT_EQ(got.meets, want.meets);
    EXPECT_NEAR(got.passLossDb, want.passLossDb, 1e-6);
    EXPECT_NEAR(got.stopAttenuationDb, want.stopAttenuationDb, 1e-6);
    const SchemeCheck asFloat = CheckAgainstScheme(direct, sections.design);
    floatDiffers += std::abs(asFloat.passLossDb - got.passLossDb) > 0.1 ? 1 : 0;
  }
  EXPECT_GE(floatDiffers, 1);
}

}  // namespace
}  // namespace qv
