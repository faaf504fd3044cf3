#include "design/stability_check.h"

#include <span>

#include "design/root_finder.h"

namespace qv {

int CheckStability(int order, const FilterDesign& design, PoleList& poles) {
  if (order < 1 || order >= kMaxCoefficients) return kRootSearchFailed;
  const auto a = std::span<const double>(design.denominator).first(order + 1);
  if (FindRoots(order, a, poles, kRootTolerance) != 0) return kRootSearchFailed;
  for (int i = 0; i < order; ++i) {
    if (poles[i].re * poles[i].re + poles[i].im * poles[i].im >= 1.0) return kNotStable;
  }
  return kDesignOk;
}

}  // namespace qv
