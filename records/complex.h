// Complex values of two doubles with the exact operations the design engine relies on:
// division by Smith's method and a magnitude that avoids overflow in the squares.
#pragma once

#include <cmath>

namespace qv {

struct Complex {
  double re = 0.0;
  double im = 0.0;

  friend bool operator==(const Complex&, const Complex&) = default;
};

constexpr Complex Add(Complex x, Complex y) { return {x.re + y.re, x.im + y.im}; }
constexpr Complex Subtract(Complex x, Complex y) { return {x.re - y.re, x.im - y.im}; }
constexpr Complex Multiply(Complex x, Complex y) {
  return {x.re * y.re - x.im * y.im, x.re * y.im + x.im * y.re};
}
constexpr Complex Conjugate(Complex x) { return {x.re, -x.im}; }
// x / y by Smith's method: scaled by the larger component of y, so that no intermediate
// overflows. Defined here so that the root search's loop inlines it.
inline Complex Divide(Complex x, Complex y) {
  if (std::abs(y.im) > std::abs(y.re)) {
    const double t = y.re / y.im;
    const double den = y.im + y.re * t;
    return {(x.im + x.re * t) / den, (x.im * t - x.re) / den};
  }
  const double t = y.im / y.re;
  const double den = y.re + y.im * t;
  return {(x.re + t * x.im) / den, (x.im - t * x.re) / den};
}

// |x| as u*sqrt((v/u)^2 + 1) with u the larger of |re| and |im|, v the other.
inline double Magnitude(Complex x) {
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

constexpr Complex operator+(Complex x, Complex y) { return Add(x, y); }
constexpr Complex operator-(Complex x, Complex y) { return Subtract(x, y); }
constexpr Complex operator*(Complex x, Complex y) { return Multiply(x, y); }
constexpr Complex operator*(double s, Complex x) { return {s * x.re, s * x.im}; }
inline Complex operator/(Complex x, Complex y) { return Divide(x, y); }

}  // namespace qv
