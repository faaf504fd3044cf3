#include "design/root_finder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/iir_prototype.h"
#include "design/validation.h"
#include "literal_loops.h"
#include "records/filter_spec.h"

namespace qv {
namespace {

TEST(Complex, DivideTakesSmithsBranches) {
  // |im| > |re|: first branch.
  EXPECT_EQ(Divide({1, 0}, {0, 1}), (Complex{0, -1}));
  // otherwise: second branch.
  EXPECT_EQ(Divide({1, 0}, {2, 0}), (Complex{0.5, 0}));
  const Complex q = Divide({3, 4}, {1, -2});  // (3+4i)/(1-2i) = -1 + 2i
  EXPECT_DOUBLE_EQ(q.re, -1.0);
  EXPECT_DOUBLE_EQ(q.im, 2.0);
  // Smith's method keeps huge operands finite where the naive formula overflows.
  const Complex big = Divide({1e300, 1e300}, {1e300, 1e300});
  EXPECT_DOUBLE_EQ(big.re, 1.0);
  EXPECT_DOUBLE_EQ(big.im, 0.0);
}

TEST(Complex, MagnitudeAvoidsOverflow) {
  EXPECT_EQ(Magnitude({3, 4}), 5.0);
  EXPECT_EQ(Magnitude({0, 0}), 0.0);
  EXPECT_EQ(Magnitude({0, -2}), 2.0);
  EXPECT_EQ(Magnitude({-7, 0}), 7.0);
  EXPECT_DOUBLE_EQ(Magnitude({3e300, 4e300}), 5e300);
}

std::vector<Complex> Roots(const std::vector<double>& coef, int expectedResult = 0) {
  std::array<Complex, kMaxCoefficients> roots{};
  const int degree = static_cast<int>(coef.size()) - 1;
  EXPECT_EQ(FindRoots(degree, coef, roots, kRootTolerance), expectedResult);
  return {roots.begin(), roots.begin() + degree};
}

TEST(FindRoots, ConjugatePairFollowsItsPartner) {
  const auto roots = Roots({1, 0, 1});
  EXPECT_NEAR(std::abs(roots[0].im), 1.0, 1e-9);
  EXPECT_NEAR(roots[0].re, 0.0, 1e-9);
  EXPECT_EQ(roots[1], Conjugate(roots[0]));
}

TEST(FindRoots, RealRootsAreAccurateToTheTolerance) {
  // (x - 0.5)(x + 0.25) = x^2 - 0.25x - 0.125
  const auto roots = Roots({1, -0.25, -0.125});
  const double a = std::min(roots[0].re, roots[1].re);
  const double b = std::max(roots[0].re, roots[1].re);
  // |p'| is 0.75 at both roots.
  EXPECT_NEAR(a, -0.25, 2e-10);
  EXPECT_NEAR(b, 0.5, 2e-10);
  EXPECT_LE(std::abs(roots[0].im), 1e-3 * std::abs(roots[0].re));
}

TEST(FindRoots, ToleranceIsAbsolute) {
  // The same roots, coefficients scaled by 1e3: the residual must still fall to 1e-10, which
  // takes the roots a thousand times closer than for the unscaled polynomial.
  const auto roots = Roots({1e3, -0.25e3, -0.125e3});
  // |p'| = 750 at both roots, so |p| <= 1e-10 bounds the error by about 1.3e-13.
  for (const Complex& r : roots) {
    EXPECT_LT(std::min(std::abs(r.re - 0.5), std::abs(r.re + 0.25)), 1e-12);
  }
}

TEST(FindRoots, RecoversKnownPolynomials) {
  struct Case {
    std::vector<double> coef;
    std::vector<Complex> roots;
  };
  const Case cases[] = {
      {{2, -1}, {{0.5, 0}}},
      {{1, -6, 11, -6}, {{1, 0}, {2, 0}, {3, 0}}},
      {{1, 0, 0, 0, -1}, {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}},
      {{1, -2, 2}, {{1, 1}, {1, -1}}},
  };
  for (const Case& c : cases) {
    const auto found = Roots(c.coef);
    for (const Complex& expected : c.roots) {
      double nearest = 1e300;
      for (const Complex& r : found)
        nearest = std::min(nearest, std::hypot(r.re - expected.re, r.im - expected.im));
      EXPECT_LT(nearest, 1e-8) << expected.re << " " << expected.im;
    }
  }
}

TEST(FindRoots, ConjugateOfTheLastRootMayUseThePlaceBeyondTheDegree) {
  // x^3 + x^2 + x + 1: roots -1 and +-i. Whichever comes last, its conjugate lands at index
  // 3 or earlier, never outside the caller's room of degree + 1 places.
  std::array<Complex, 4> roots{};
  const std::array<double, 4> coef{1, 1, 1, 1};
  EXPECT_EQ(FindRoots(3, coef, roots, kRootTolerance), 0);
  int complexCount = 0;
  for (int i = 0; i < 3; ++i) complexCount += std::abs(roots[i].im) > 0.5 ? 1 : 0;
  EXPECT_GE(complexCount, 2);
}

TEST(FindRoots, CompanionRootsAnswerWhereTheSearchAcceptsNone) {
  // Coefficients so large that |p| can never fall to 1e-10 in double precision: the search
  // fails, and the eigenvalues of the companion matrix give the roots 1 and 2, real.
  const auto roots = Roots({1e30, -3e30, 2e30});
  const double low = std::min(roots[0].re, roots[1].re);
  const double high = std::max(roots[0].re, roots[1].re);
  EXPECT_NEAR(low, 1.0, 1e-12);
  EXPECT_NEAR(high, 2.0, 1e-12);
  EXPECT_EQ(roots[0].im, 0.0);
  EXPECT_EQ(roots[1].im, 0.0);
}

TEST(FindRoots, FailsOnlyWhenNoMethodFindsTheRoots) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  Roots({1, nan, 1}, kRootsNotFound);
  Roots({1, 1, std::numeric_limits<double>::infinity()}, kRootsNotFound);
  // Arguments that do not describe a polynomial of degree 1..19.
  std::array<Complex, kMaxCoefficients> roots{};
  const std::array<double, 2> coef{1, 1};
  EXPECT_EQ(FindRoots(0, coef, roots, kRootTolerance), kRootsNotFound);
  EXPECT_EQ(FindRoots(2, coef, roots, kRootTolerance), kRootsNotFound);
}

TEST(FindRoots, FirstDegreeConvergesLinearlyToTheExactRoot) {
  // With the damping 0.1 each step removes a tenth of the error, yet the result is accepted
  // only at |p| <= 1e-10.
  const auto roots = Roots({1, -0.3});
  EXPECT_NEAR(roots[0].re, 0.3, 1e-10);
}

// Polynomials with complex coefficients, lowest power first.
using ComplexPolynomial = std::vector<Complex>;

ComplexPolynomial Times(const ComplexPolynomial& p, const ComplexPolynomial& factor) {
  ComplexPolynomial product(p.size() + factor.size() - 1);
  for (std::size_t i = 0; i < p.size(); ++i) {
    for (std::size_t j = 0; j < factor.size(); ++j)
      product[i + j] = product[i + j] + p[i] * factor[j];
  }
  return product;
}

// The real parts, highest power first, as FindRoots takes them.
std::vector<double> RealPartsHighestFirst(const ComplexPolynomial& p) {
  std::vector<double> coef;
  for (auto it = p.rbegin(); it != p.rend(); ++it) coef.push_back(it->re);
  return coef;
}

std::vector<double> FromRoots(const std::vector<Complex>& roots) {
  ComplexPolynomial p{{1.0, 0.0}};
  for (const Complex& r : roots) p = Times(p, {{-r.re, -r.im}, {1.0, 0.0}});
  return RealPartsHighestFirst(p);
}

struct PolynomialCase {
  std::string name;
  std::vector<double> coef;
};

// The polynomials the engine hands to the root search: the high-pass reciprocals and the
// band-pass and band-stop quadratics of every prototype, the digital denominators of designs
// of every band type, and clustered roots of every degree.
std::vector<PolynomialCase> PolynomialTable() {
  std::vector<PolynomialCase> table;
  const auto prototype = [](int model, int n) {
    PoleArray poles{};
    if (model == 0) ButterworthPrototype(n, poles);
    if (model == 1) ChebyshevPrototype(n, 0.5, poles);
    if (model == 2) BesselPrototype(n, poles);
    return poles;
  };
  for (int model = 0; model < 3; ++model) {
    for (int n = 1; n <= kMaxOrder; ++n) {
      const PoleArray p = prototype(model, n);
      std::vector<Complex> reciprocals;
      for (int k = 0; k < n; ++k) reciprocals.push_back(Divide({1.0, 0.0}, p[k]));
      table.push_back(
          {"HighPass" + std::to_string(model) + "_" + std::to_string(n), FromRoots(reciprocals)});
      if (n > kMaxBandOrder) continue;
      for (const double q : {0.7, 3.0, 12.0}) {
        for (const bool stop : {false, true}) {
          ComplexPolynomial poly{{1.0, 0.0}};
          for (int k = 0; k < n; ++k) {
            const Complex pole = stop ? Divide({1.0, 0.0}, p[k]) : p[k];
            poly =
                Times(poly, {{1.0, 0.0}, Complex{0.0, 0.0} - Divide(pole, {q, 0.0}), {1.0, 0.0}});
          }
          table.push_back({std::string(stop ? "BandStop" : "BandPass") + std::to_string(model) +
                               "_" + std::to_string(n) + "_q" + std::to_string(q),
                           RealPartsHighestFirst(poly)});
        }
      }
    }
  }
  for (int band = 0; band < 4; ++band) {
    FilterSpec spec{.bandType = static_cast<BandType>(band),
                    .model = FilterModel::Chebyshev,
                    .order = band < 2 ? kMaxOrder : kMaxBandOrder,
                    .fcut1 = 100,
                    .fcut2 = 300};
    EXPECT_EQ(Validate(spec), ValidationCode::Valid);
    DisplayScale scale;
    DeriveScale(spec, scale);
    FilterDesign design;
    PoleList poles{};
    static_cast<void>(Design(spec, scale, design, poles));
    table.push_back({"Denominator" + std::to_string(band),
                     std::vector<double>(design.denominator.begin(),
                                         design.denominator.begin() + spec.effectiveOrder + 1)});
  }
  for (int degree = 1; degree <= kMaxOrder; ++degree) {
    // Conjugate pairs 0.001 rad apart near the unit circle, and a real root for odd degrees.
    std::vector<Complex> clustered;
    for (int pair = 0; pair < degree / 2; ++pair) {
      const double angle = 0.3 + 1e-3 * pair;
      clustered.push_back({0.99 * std::cos(angle), 0.99 * std::sin(angle)});
      clustered.push_back(Conjugate(clustered.back()));
    }
    if (degree % 2 == 1) clustered.push_back({0.95, 0.0});
    table.push_back({"Clustered" + std::to_string(degree), FromRoots(clustered)});
  }
  return table;
}

// Wherever the literal search finds roots that rebuild their polynomial, FindRoots (which
// carries p(x_a) over from the previous step) gives them bit for bit, in the same places.
// Everywhere else it gives roots that rebuild the polynomial: real, or exact conjugate pairs.
TEST(FindRoots, MatchesTheLiteralLoopBitForBitWhereItsRootsHold) {
  int kept = 0;
  int replaced = 0;
  for (const PolynomialCase& c : PolynomialTable()) {
    SCOPED_TRACE(c.name);
    const int degree = static_cast<int>(c.coef.size()) - 1;
    ASSERT_GE(degree, 1);
    std::array<Complex, kMaxCoefficients + 1> expected{};
    std::array<Complex, kMaxCoefficients + 1> actual{};
    expected.fill({-7.0, -7.0});
    actual.fill({-7.0, -7.0});
    const int literal = reference::LiteralFindRoots(degree, c.coef, expected, kRootTolerance);
    ASSERT_EQ(FindRoots(degree, c.coef, actual, kRootTolerance), 0);
    if (literal == 0 && RootsRebuildPolynomial(degree, c.coef, expected)) {
      ++kept;
      EXPECT_EQ(std::memcmp(expected.data(), actual.data(), sizeof expected), 0);
      continue;
    }
    ++replaced;
    EXPECT_TRUE(RootsRebuildPolynomial(degree, c.coef, actual));
    for (int i = 0; i < degree; ++i) {
      if (actual[i].im == 0.0) continue;
      ASSERT_LT(i + 1, degree);
      EXPECT_EQ(actual[i + 1], Conjugate(actual[i]));
      ++i;
    }
  }
  // The table holds both kinds: the tight clusters defeat the search.
  EXPECT_GT(kept, 0);
  EXPECT_GT(replaced, 0);
}

}  // namespace
}  // namespace qv
