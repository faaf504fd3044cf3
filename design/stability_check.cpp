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

DesignCode FindPoles(int order, std::span<const double> a, std::span<Complex> poles) {
  if (order < 1 || order >= kMaxCoefficients || a.size() < static_cast<std::size_t>(order) + 1 ||
      poles.size() < static_cast<std::size_t>(order) + 1) {
    return DesignCode::RootSearchFailed;
  }
  const auto coef = a.first(static_cast<std::size_t>(order) + 1);
  if (FindRoots(order, coef, poles, kRootTolerance) != 0) return DesignCode::RootSearchFailed;
  const auto found = poles.first(static_cast<std::size_t>(order));
  if (!AnyNearCircle(found)) return DesignCode::Ok;
  std::array<Complex, kMaxCoefficients> robust{};
  if (FindRootsRobust(order, coef, robust) != 0) return DesignCode::Ok;
  const auto robustPoles = std::span<const Complex>(robust).first(found.size());
  if (AllInside(robustPoles) != AllInside(found)) {
    std::copy(robustPoles.begin(), robustPoles.end(), found.begin());
  }
  return DesignCode::Ok;
}

DesignCode CheckStability(int order, const FilterDesign& design, PoleList& poles) {
  if (FindPoles(order, design.denominator, poles) != DesignCode::Ok)
    return DesignCode::RootSearchFailed;
  return AllInside(std::span<const Complex>(poles).first(static_cast<std::size_t>(order)))
             ? DesignCode::Ok
             : DesignCode::NotStable;
}

}  // namespace qv
