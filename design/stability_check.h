// Stability check: the digital poles of a designed IIR denominator, all inside the unit
// circle.
#pragma once

#include "design/design_driver.h"
#include "records/filter_spec.h"

namespace qv {

// Finds the `order` (1..19) roots of a[0] x^order + a[1] x^(order-1) + ... + a[order] from
// design.denominator into `poles` (a complex root found last may add its conjugate at
// poles[order]). Returns kDesignOk, kRootSearchFailed (-2) when the root search fails, or
// kNotStable (-4) when a pole has re^2 + im^2 >= 1.
int CheckStability(int order, const FilterDesign& design, PoleList& poles);

}  // namespace qv
