// Roots of a real polynomial by a damped complex secant iteration with deflation, checked
// against the polynomial they came from, with the companion matrix's eigenvalues behind it.
#pragma once

#include <span>

#include "records/complex.h"

namespace qv {

inline constexpr double kRootTolerance = 1e-10;  // acceptance threshold on |p(x)|
inline constexpr int kRootsNotFound = -2;
// Roots are the polynomial's when, multiplied out, they rebuild its coefficients (made monic)
// within this share of the largest of them.
inline constexpr double kRebuildTolerance = 1e-9;

// Finds the `degree` roots of coef[0]*x^degree + coef[1]*x^(degree-1) + ... + coef[degree].
//   degree: 1..19; coef: at least degree + 1 values, highest power first.
//   roots:  at least degree + 1 places: a complex root found last stores its conjugate one
//           place beyond the degree. Roots come out in the order found, each complex root
//           (|im/re| > 0.001) directly followed by its conjugate.
//   tol:    absolute threshold on |p| at the start of the accepted step (1e-10 everywhere).
// Roots the search finds that rebuild the polynomial (RootsRebuildPolynomial) are kept as
// found. When the search fails, or its roots do not rebuild the polynomial, the roots are
// those of FindRootsRobust; the places from the degree on are then left as they were.
// Returns 0, or kRootsNotFound (-2) when neither method finds roots that rebuild the
// polynomial, or the arguments do not describe a polynomial of degree 1..19 with room for its
// roots.
int FindRoots(int degree, std::span<const double> coef, std::span<Complex> roots, double tol);

// The companion-matrix roots (design/companion_roots.h), Newton-polished where that keeps
// them rebuilding the polynomial, into roots[0..degree-1]; kRootsNotFound and `roots`
// untouched when they do not rebuild it. Real roots are real, complex ones exact conjugate
// pairs.
int FindRootsRobust(int degree, std::span<const double> coef, std::span<Complex> roots);

// True when roots[0..degree-1] multiplied out give coef[k] / coef[0] for every k within
// kRebuildTolerance times the largest |coef[k] / coef[0]| (imaginary parts included).
bool RootsRebuildPolynomial(int degree, std::span<const double> coef,
                            std::span<const Complex> roots);

}  // namespace qv
