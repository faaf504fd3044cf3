// Jacobi elliptic functions and complete elliptic integrals of the first kind, by the
// arithmetic-geometric mean and Landen's transformation, in double precision. Parameters are
// m = k^2; the complementary parameter is passed on its own where m lies near 1.
#pragma once

namespace qv {

// K(m) for 0 <= m < 1 given its complementary parameter m1 = 1 - m (> 0): pi / (2 AGM(1, sqrt m1)).
double EllipticKFromComplement(double m1);

// K(m) for 0 <= m < 1.
double EllipticK(double m);

struct JacobiValues {
  double sn = 0.0;
  double cn = 0.0;
  double dn = 0.0;
};

// sn, cn and dn of the real argument `u` at parameter 0 <= m <= 1.
JacobiValues JacobiElliptic(double u, double m);

// The real v with sc(v | m) = sn / cn = `w`, for w >= 0 and 0 <= m < 1 (the inverse that places
// the poles of an elliptic filter).
double InverseJacobiSc(double w, double m);

// The parameter m of the elliptic filter of order `n` whose discrimination parameter is m1
// (the degree equation, solved through the nomes).
double EllipticDegree(int n, double m1);

// The inverse: the discrimination parameter m1 that order `n` reaches at the parameter m
// (1 / selectivity^2), given with its complement 1 - m, which keeps its digits near m = 1.
double EllipticDiscrimination(int n, double m, double mComplement);

}  // namespace qv
