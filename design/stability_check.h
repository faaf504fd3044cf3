// Stability check: the digital poles of a designed IIR denominator, all inside the unit
// circle.
#pragma once

#include <span>

#include "design/design_driver.h"
#include "records/filter_spec.h"

namespace qv {

// The `order` (1..19) roots of a[0] x^order + a[1] x^(order-1) + ... + a[order] into `poles`
// (room for order + 1: a complex root found last may add its conjugate at poles[order]), as
// the stability verdict takes them: the verified roots of FindRoots, except that when one of
// them lies near or beyond the unit circle, where the search may place roots of a cluster too
// far out or in, the companion-matrix roots decide whenever their verdict differs. Returns
// DesignCode::Ok or DesignCode::RootSearchFailed (-2), which a caller that only shows the poles
// may ignore.
DesignCode FindPoles(int order, std::span<const double> a, std::span<Complex> poles);

// Finds the poles of design.denominator (FindPoles) into `poles`. Returns DesignCode::Ok,
// DesignCode::RootSearchFailed (-2) when no root search finds them, or DesignCode::NotStable (-4)
// when a pole has re^2 + im^2 >= 1.
[[nodiscard]] DesignCode CheckStability(int order, const FilterDesign& design, PoleList& poles);

}  // namespace qv
