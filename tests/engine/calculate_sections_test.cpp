// Calculate with the structure Sections: quantised IIR designs become the fixed-point cascade
// and draw its integer simulation; every other design is the one the direct form gives, and a
// direct-form run after a sections run on the same records leaves no cascade behind.
#include <gtest/gtest.h>

#include <array>

#include "analysis/cascade_roots.h"
#include "analysis/cascade_simulation.h"
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

}  // namespace
}  // namespace qv
