#include "analysis/cascade_roots.h"

#include <cmath>
#include <cstdint>

namespace qv {
namespace {

// 2^(wordBits - 1 - postShift): the integer that stands for 1.
double Unit(const FixedPointCascade& cascade) {
  return std::ldexp(1.0, cascade.wordBits - 1 - cascade.postShift);
}

// The roots of c0 z^2 + c1 z + c2 (c0 != 0), each complex pair upper root first. The
// coefficients are whole numbers below 2^17, so the discriminant is exact.
void QuadraticRoots(double c0, double c1, double c2, Complex& first, Complex& second) {
  const double discriminant = c1 * c1 - 4.0 * c0 * c2;
  if (discriminant >= 0.0) {
    // The root of the larger magnitude first, the other from the product, so that neither
    // loses digits by cancellation.
    const double q = -0.5 * (c1 + std::copysign(std::sqrt(discriminant), c1));
    first = {q / c0, 0.0};
    second = {q != 0.0 ? c2 / q : 0.0, 0.0};
  } else {
    const double re = -c1 / (2.0 * c0);
    const double im = std::sqrt(-discriminant) / (2.0 * c0);
    first = {re, std::abs(im)};
    second = {re, -std::abs(im)};
  }
}

}  // namespace

bool CascadeIsStable(const FixedPointCascade& cascade) {
  const auto unit = static_cast<std::int64_t>(Unit(cascade));
  for (int s = 0; s < cascade.count && s < kMaxSections; ++s) {
    const FixedPointSection& c = cascade.sections[static_cast<std::size_t>(s)];
    // z^2 - (a1 / S) z - (a2 / S): stable when |a2| < S and |a1| < S - a2.
    const std::int64_t a1 = c.a1;
    const std::int64_t a2 = c.a2;
    if (!(std::abs(a2) < unit && std::abs(a1) < unit - a2)) return false;
  }
  return true;
}

bool CascadeRoots(const FixedPointCascade& cascade, int order, std::span<Complex> zeros,
                  std::span<Complex> poles) {
  if (order < 1 || cascade.count != (order + 1) / 2 || cascade.count > kMaxSections ||
      zeros.size() < static_cast<std::size_t>(order) ||
      poles.size() < static_cast<std::size_t>(order)) {
    return false;
  }
  const double unit = Unit(cascade);
  std::size_t next = 0;
  for (int s = 0; s < cascade.count; ++s) {
    const FixedPointSection& c = cascade.sections[static_cast<std::size_t>(s)];
    if (s == 0 && order % 2 == 1) {
      zeros[next] = c.b0 != 0 ? Complex{-static_cast<double>(c.b1) / c.b0, 0.0} : Complex{};
      poles[next] = {c.a1 / unit, 0.0};
      ++next;
      continue;
    }
    if (c.b0 != 0) {
      QuadraticRoots(c.b0, c.b1, c.b2, zeros[next], zeros[next + 1]);
    } else {
      zeros[next] = c.b1 != 0 ? Complex{-static_cast<double>(c.b2) / c.b1, 0.0} : Complex{};
      zeros[next + 1] = {};
    }
    QuadraticRoots(unit, -static_cast<double>(c.a1), -static_cast<double>(c.a2), poles[next],
                   poles[next + 1]);
    next += 2;
  }
  return true;
}

}  // namespace qv
