// The factoring into second-order sections, in double precision: the cascade's frequency
// response equals the design's, the sections are real, stable and ordered by the distance of
// their poles from the unit circle, and an odd order gets exactly one first-order section.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "codegen_test_support.h"
#include "design/second_order_sections.h"

namespace qv {
namespace {

// Extended precision: near a cluster of poles the direct-form polynomial is a cancellation of
// terms far larger than its value.
using Z = std::complex<long double>;

constexpr int kFrequencies = 97;

// sum c[k] w^k for w = z^-1.
Z Polynomial(const double* c, int degree, Z w) {
  Z sum = 0.0L;
  for (int k = degree; k >= 0; --k) sum = sum * w + static_cast<long double>(c[k]);
  return sum;
}

Z At(int f) { return std::polar(1.0L, -std::numbers::pi_v<long double> * f / (kFrequencies - 1)); }

Z Transfer(const FilterDesign& design, int m, Z w) {
  return Polynomial(design.numerator.data(), m, w) / Polynomial(design.denominator.data(), m, w);
}

// The largest distance between two responses on the frequency grid, relative to the peak of
// the design's.
template <typename Response>
long double ResponseDistance(const FilterDesign& design, int m, Response other) {
  long double peak = 0.0L;
  long double distance = 0.0L;
  for (int f = 0; f < kFrequencies; ++f) {
    const Z want = Transfer(design, m, At(f));
    peak = std::max(peak, std::abs(want));
    distance = std::max(distance, std::abs(other(At(f)) - want));
  }
  return distance / peak;
}

// The larger pole magnitude of z^2 + a1 z + a2.
double LargerPoleRadius(const BiquadSection& s) {
  const std::complex<double> root = std::sqrt(std::complex<double>(s.a1 * s.a1 - 4.0 * s.a2));
  return std::max(std::abs((-s.a1 + root) / 2.0), std::abs((-s.a1 - root) / 2.0));
}

FilterSpec IirSpec(BandType band, FilterModel model, int order, int fsample, int fcut1, int fcut2) {
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
      const double before =
          1.0 - LargerPoleRadius(cascade.sections[static_cast<std::size_t>(s - 1)]);
      EXPECT_LE(1.0 - LargerPoleRadius(c), before + 1e-12) << "section " << s;
    }
  }
  EXPECT_EQ(firstOrder, m % 2);
  const long double error = ResponseDistance(in.design, m, [&cascade](Z w) {
    Z product = 1.0L;
    for (int s = 0; s < cascade.count; ++s) {
      const BiquadSection& c = cascade.sections[static_cast<std::size_t>(s)];
      const auto wide = [](double v) { return static_cast<long double>(v); };
      product *= (wide(c.b0) + w * (wide(c.b1) + w * wide(c.b2))) /
                 (1.0L + w * (wide(c.a1) + w * wide(c.a2)));
    }
    return product;
  });
  // What the stored doubles leave open: the response moved by one unit in the last place of
  // each denominator coefficient. Crowded poles of the highest orders make that large.
  FilterDesign nudged = in.design;
  for (int k = 1; k <= m; ++k) {
    double& a = nudged.denominator[static_cast<std::size_t>(k)];
    a = std::nextafter(a, k % 2 == 0 ? HUGE_VAL : -HUGE_VAL);
  }
  const long double open =
      ResponseDistance(in.design, m, [&nudged, m](Z w) { return Transfer(nudged, m, w); });
  EXPECT_LE(error, std::max(1e-7L, 10 * open)) << "left open by the coefficients: " << open;
}

INSTANTIATE_TEST_SUITE_P(
    Designs, Sections,
    testing::Values(IirSpec(BandType::LowPass, FilterModel::Butterworth, 1, 1000, 100, 0),
                    IirSpec(BandType::LowPass, FilterModel::Bessel, 19, 1000, 200, 0),
                    IirSpec(BandType::HighPass, FilterModel::Chebyshev, 8, 48000, 3000, 0),
                    IirSpec(BandType::BandPass, FilterModel::Butterworth, 5, 1000, 100, 200),
                    IirSpec(BandType::BandStop, FilterModel::Chebyshev, 9, 1000, 100, 200),
                    IirSpec(BandType::BandStop, FilterModel::Butterworth, 9, 48000, 4000, 15000),
                    IirSpec(BandType::BandStop, FilterModel::Chebyshev, 9, 91670, 37274, 41857),
                    IirSpec(BandType::HighPass, FilterModel::Chebyshev, 18, 4702, 1841, 0),
                    IirSpec(BandType::LowPass, FilterModel::Bessel, 16, 48450, 3516, 0)));

// Designs with zeros of their own in the stop band: {band, model, order, fs, edges, Rp, As}.
INSTANTIATE_TEST_SUITE_P(
    SchemeDesigns, Sections,
    testing::Values(
        test::SchemeSpec(BandType::LowPass, FilterModel::Elliptic, 9, 48000, 4000, 0, 0.1, 80.0),
        test::SchemeSpec(BandType::HighPass, FilterModel::ChebyshevII, 6, 48000, 3000, 0, 1, 50),
        test::SchemeSpec(BandType::BandPass, FilterModel::Elliptic, 5, 1000, 100, 200, 1, 40),
        test::SchemeSpec(BandType::BandStop, FilterModel::ChebyshevII, 7, 8000, 1000, 2500, 0.5,
                         60),
        test::SchemeSpec(BandType::BandStop, FilterModel::Elliptic, 9, 44100, 3000, 9000, 0.2,
                         70)));

}  // namespace
}  // namespace qv
