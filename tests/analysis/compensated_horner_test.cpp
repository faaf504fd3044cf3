// The compensated Horner sum against values known exactly: (z - w)^n expanded for w = +-1, its
// coefficients signed binomials (exact in double), at points a power of two away from the
// root, where the terms cancel by twenty and more digits.
#include "analysis/compensated_horner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace qv {
namespace {

struct CrowdCase {
  const char* name;
  int n;                            // order of the root
  long double root;                 // w = +-1
  std::complex<long double> point;  // z = w + d, d a power of two times 1, j or 1 + j
};

// The coefficients of (z - w)^n, index = power.
std::vector<double> Expanded(int n, long double w) {
  std::vector<double> c(static_cast<std::size_t>(n) + 1, 0.0);
  long double binomial = 1.0L;
  for (int k = 0; k <= n; ++k) {
    // c_k = C(n, k) (-w)^(n - k)
    c[static_cast<std::size_t>(k)] =
        static_cast<double>(binomial * std::pow(-w, static_cast<long double>(n - k)));
    binomial = binomial * (n - k) / (k + 1);
  }
  return c;
}

class CompensatedHornerTable : public ::testing::TestWithParam<CrowdCase> {};

TEST_P(CompensatedHornerTable, RecoversTheCancelledValue) {
  const CrowdCase& t = GetParam();
  const std::vector<double> c = Expanded(t.n, t.root);
  std::complex<long double> exact = 1.0L;
  for (int k = 0; k < t.n; ++k) exact *= t.point - t.root;
  const std::complex<long double> value = CompensatedHorner(c, t.point);
  EXPECT_LT(std::abs(value - exact), 1e-9L * std::abs(exact)) << t.name;
  // Plain Horner in the same precision is far off: the case does test the compensation.
  std::complex<long double> plain = 0.0L;
  for (std::size_t k = c.size(); k-- > 0;) plain = plain * t.point + static_cast<long double>(c[k]);
  EXPECT_GT(std::abs(plain - exact), 1e-3L * std::abs(exact)) << t.name;
}

INSTANTIATE_TEST_SUITE_P(
    Crowds, CompensatedHornerTable,
    ::testing::Values(CrowdCase{"RealNearOne", 8, 1.0L, {1.0L + 0x1p-10L, 0.0L}},
                      CrowdCase{"ImaginaryStepFromOne", 8, 1.0L, {1.0L, 0x1p-10L}},
                      CrowdCase{"NearMinusOne", 6, -1.0L, {-1.0L, -0x1p-12L}},
                      CrowdCase{"DiagonalStep", 7, 1.0L, {1.0L + 0x1p-11L, 0x1p-11L}}),
    [](const ::testing::TestParamInfo<CrowdCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qv
