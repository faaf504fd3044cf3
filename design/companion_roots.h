// Roots of a real polynomial as the eigenvalues of its companion matrix: a backward-stable
// method that depends on no start point and no deflated polynomial, so that it also holds
// for clusters of roots near the unit circle.
#pragma once

#include <span>

#include "records/complex.h"

namespace qv {

// Finds the `degree` roots of coef[0]*x^degree + ... + coef[degree] (degree 1..19, highest
// power first, finite, coef[0] != 0) into roots[0..degree-1], in two forms: `roots` as the
// eigenvalues give them and `polished` after Newton steps on the polynomial itself (each kept
// only where it lowers |p|). In both, real roots have an imaginary part of exactly 0 and
// complex roots come as exact conjugate pairs, each directly after its partner. Returns 0, or
// -2 for arguments that describe no such polynomial or eigenvalues that do not converge.
// Allocates nothing.
int FindRootsCompanion(int degree, std::span<const double> coef, std::span<Complex> roots,
                       std::span<Complex> polished);

}  // namespace qv
