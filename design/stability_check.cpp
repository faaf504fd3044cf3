#include "design/stability_check.h"

#include <algorithm>
#include <array>

#include "design/root_finder.h"

namespace qv {
namespace {

// Poles this close to the circle (squared radius) have their verdict confirmed by the
// companion-matrix roots: the secant search accepts a root of a cluster within a residual of
// 1e-10, which can leave it a few hundredths from the true pole.
constexpr double kNearCircle = 0.9;

bool AllInside(std::span<const Complex> poles) {
  for (const Complex& p : poles) {
    if (p.re * p.re + p.im * p.im >= 1.0) return false;
  }
  return true;
}

bool AnyNearCircle(std::span<const Complex> poles) {
  for (const Complex& p : poles) {
    if (p.re * p.re + p.im * p.im >= kNearCircle) return true;
  }
  return false;
}

}  // namespace

int FindPoles(int order, std::span<const double> a, std::span<Complex> poles) {
  if (order < 1 || order >= kMaxCoefficients || a.size() < static_cast<std::size_t>(order) + 1 ||
      poles.size() < static_cast<std::size_t>(order) + 1) {
    return kRootSearchFailed;
  }
  const auto coef = a.first(static_cast<std::size_t>(order) + 1);
  if (FindRoots(order, coef, poles, kRootTolerance) != 0) return kRootSearchFailed;
  const auto found = poles.first(static_cast<std::size_t>(order));
  if (!AnyNearCircle(found)) return 0;
  std::array<Complex, kMaxCoefficients> robust{};
  if (FindRootsRobust(order, coef, robust) != 0) return 0;
  const auto robustPoles = std::span<const Complex>(robust).first(found.size());
  if (AllInside(robustPoles) != AllInside(found)) {
    std::copy(robustPoles.begin(), robustPoles.end(), found.begin());
  }
  return 0;
}

int CheckStability(int order, const FilterDesign& design, PoleList& poles) {
  if (FindPoles(order, design.denominator, poles) != 0) return kRootSearchFailed;
  return AllInside(std::span<const Complex>(poles).first(static_cast<std::size_t>(order)))
             ? kDesignOk
             : kNotStable;
}

}  // namespace qv
