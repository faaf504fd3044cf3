// The factoring into second-order sections, in double precision: the cascade's frequency
// response equals the design's, the sections are real, stable and ordered by the distance of
// their poles from the unit circle, and an odd order gets exactly one first-order section.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include "codegen/second_order_sections.h"
#include "codegen_test_support.h"

namespace qv {
namespace {

using Z = std::complex<double>;

// sum c[k] w^k for w = z^-1.
Z Polynomial(const double* c, int degree, Z w) {
  Z sum = 0.0;
  for (int k = degree; k >= 0; --k) sum = sum * w + c[k];
  return sum;
}

// The larger pole magnitude of z^2 + a1 z + a2.
double LargerPoleRadius(const BiquadSection& s) {
  const Z root = std::sqrt(Z(s.a1 * s.a1 - 4.0 * s.a2));
  return std::max(std::abs((-s.a1 + root) / 2.0), std::abs((-s.a1 - root) / 2.0));
}

FilterSpec IirSpec(BandType band, FilterModel model, int order, int fsample, int fcut1,
                   int fcut2) {
  FilterSpec spec;
  spec.bandType = band;
  spec.model = model;
  spec.order = order;
  spec.fsample = fsample;
  spec.fcut1 = fcut1;
  spec.fcut2 = fcut2;
  return spec;
}

class Sections : public testing::TestWithParam<FilterSpec> {};

TEST_P(Sections, CascadeIsTheDesignsTransferFunction) {
  const test::GeneratorInput in = test::Calculated(GetParam());
  SectionCascade cascade;
  ASSERT_TRUE(SplitIntoSections(in.spec, in.design.numerator, in.design.denominator, cascade));
  const int m = in.spec.effectiveOrder;
  EXPECT_EQ(cascade.count, (m + 1) / 2);
  int firstOrder = 0;
  for (int s = 0; s < cascade.count; ++s) {
    const BiquadSection& c = cascade.sections[static_cast<std::size_t>(s)];
    firstOrder += c.a2 == 0.0 && c.b2 == 0.0 ? 1 : 0;
    EXPECT_LT(LargerPoleRadius(c), 1.0) << "section " << s;
    if (s > 0) {
      const double before = 1.0 - LargerPoleRadius(cascade.sections[static_cast<std::size_t>(s - 1)]);
      EXPECT_LE(1.0 - LargerPoleRadius(c), before + 1e-12) << "section " << s;
    }
  }
  EXPECT_EQ(firstOrder, m % 2);
  constexpr int kFrequencies = 97;
  double peak = 0.0;
  double error = 0.0;
  for (int f = 0; f < kFrequencies; ++f) {
    const Z w = std::polar(1.0, -M_PI * f / (kFrequencies - 1));
    const Z want = Polynomial(in.design.numerator.data(), m, w) /
                   Polynomial(in.design.denominator.data(), m, w);
    Z got = 1.0;
    for (int s = 0; s < cascade.count; ++s) {
      const BiquadSection& c = cascade.sections[static_cast<std::size_t>(s)];
      got *= (c.b0 + w * (c.b1 + w * c.b2)) / (1.0 + w * (c.a1 + w * c.a2));
    }
    peak = std::max(peak, std::abs(want));
    error = std::max(error, std::abs(got - want));
  }
  // An order-18 polynomial loses about eight digits to its own conditioning.
  EXPECT_LE(error / peak, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Designs, Sections,
    testing::Values(IirSpec(BandType::LowPass, FilterModel::Butterworth, 1, 1000, 100, 0),
                    IirSpec(BandType::LowPass, FilterModel::Bessel, 19, 1000, 200, 0),
                    IirSpec(BandType::HighPass, FilterModel::Chebyshev, 8, 48000, 3000, 0),
                    IirSpec(BandType::BandPass, FilterModel::Butterworth, 5, 1000, 100, 200),
                    IirSpec(BandType::BandStop, FilterModel::Chebyshev, 9, 1000, 100, 200),
                    IirSpec(BandType::BandStop, FilterModel::Butterworth, 9, 48000, 4000, 15000)));

}  // namespace
}  // namespace qv
