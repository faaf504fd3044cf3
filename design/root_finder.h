// Roots of a real polynomial by a damped complex secant iteration with deflation.
#pragma once

#include <span>

#include "records/complex.h"

namespace qv {

inline constexpr double kRootTolerance = 1e-10;  // acceptance threshold on |p(x)|
inline constexpr int kRootsNotFound = -2;

// Finds the `degree` roots of coef[0]*x^degree + coef[1]*x^(degree-1) + ... + coef[degree].
//   degree: 1..19; coef: at least degree + 1 values, highest power first.
//   roots:  at least degree + 1 places: a complex root found last stores its conjugate one
//           place beyond the degree. Roots come out in the order found, each complex root
//           (|im/re| > 0.001) directly followed by its conjugate.
//   tol:    absolute threshold on |p| at the start of the accepted step (1e-10 everywhere).
// Returns 0, or kRootsNotFound (-2) when a root is not accepted within 1000 iterations or the
// arguments do not describe a polynomial of degree 1..19 with room for its roots; roots found
// before a failure are already stored.
int FindRoots(int degree, std::span<const double> coef, std::span<Complex> roots, double tol);

}  // namespace qv
