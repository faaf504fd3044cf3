// Complex values of two doubles with the exact operations the design engine relies on:
// division by Smith's method and a magnitude that avoids overflow in the squares.
#pragma once

namespace qv {

struct Complex {
  double re = 0.0;
  double im = 0.0;

  friend bool operator==(const Complex&, const Complex&) = default;
};

constexpr Complex MakeComplex(double re, double im) { return Complex{re, im}; }
constexpr Complex Add(Complex x, Complex y) { return {x.re + y.re, x.im + y.im}; }
constexpr Complex Subtract(Complex x, Complex y) { return {x.re - y.re, x.im - y.im}; }
constexpr Complex Multiply(Complex x, Complex y) {
  return {x.re * y.re - x.im * y.im, x.re * y.im + x.im * y.re};
}
constexpr Complex Conjugate(Complex x) { return {x.re, -x.im}; }
// x / y by Smith's method.
Complex Divide(Complex x, Complex y);
// |x| as u*sqrt((v/u)^2 + 1) with u the larger of |re| and |im|.
double Magnitude(Complex x);

constexpr Complex operator+(Complex x, Complex y) { return Add(x, y); }
constexpr Complex operator-(Complex x, Complex y) { return Subtract(x, y); }
constexpr Complex operator*(Complex x, Complex y) { return Multiply(x, y); }
constexpr Complex operator*(double s, Complex x) { return {s * x.re, s * x.im}; }
inline Complex operator/(Complex x, Complex y) { return Divide(x, y); }

}  // namespace qv
