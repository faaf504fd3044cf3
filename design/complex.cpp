#include "design/complex.h"

#include <cmath>

namespace qv {

Complex Divide(Complex x, Complex y) {
  // Smith's method: scale by the larger component of y so that no intermediate overflows.
  if (std::abs(y.im) > std::abs(y.re)) {
    const double t = y.re / y.im;
    const double den = y.im + y.re * t;
    return {(x.im + x.re * t) / den, (x.im * t - x.re) / den};
  }
  const double t = y.im / y.re;
  const double den = y.re + y.im * t;
  return {(x.re + t * x.im) / den, (x.im - t * x.re) / den};
}

double Magnitude(Complex x) {
  const double u = std::abs(x.re);
  const double v = std::abs(x.im);
  if (u == 0.0) return v;
  if (v == 0.0) return u;
  if (u > v) {
    const double r = v / u;
    return u * std::sqrt(r * r + 1.0);
  }
  const double r = u / v;
  return v * std::sqrt(r * r + 1.0);
}

}  // namespace qv
