#include "design/cauer_prototype.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "design/elliptic_functions.h"

namespace qv {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTiny = 1e-12;  // below it an sn value is the zero of an odd order

double PowerRatioMinusOne(double db) { return std::expm1(0.1 * db * std::numbers::ln10); }

Complex ToComplex(std::complex<double> c) { return {c.real(), c.imag()}; }

}  // namespace

void ChebyshevIIPrototype(int n, double rippleDb, double attenuationDb, ZeroPolePrototype& proto) {
  const double stopPower = PowerRatioMinusOne(attenuationDb);
  const double mu = std::asinh(std::sqrt(stopPower)) / n;
  // The loss reaches Rp at this fraction of the stop-band edge; dividing by it moves that
  // point to 1 rad/s.
  const double passEdge =
      1.0 / std::cosh(std::acosh(std::sqrt(stopPower / PowerRatioMinusOne(rippleDb))) / n);
  proto.zeroCount = 0;
  proto.poleCount = 0;
  for (int i = -n + 1; i < n; i += 2) {
    if (i != 0) {
      const double s = std::sin(i * kPi / (2.0 * n));
      proto.zeros[proto.zeroCount++] = {0.0, 1.0 / (s * passEdge)};
    }
    const std::complex<double> unit = -std::exp(std::complex<double>(0.0, kPi * i / (2.0 * n)));
    const std::complex<double> pole(std::sinh(mu) * unit.real(), std::cosh(mu) * unit.imag());
    proto.poles[proto.poleCount++] = ToComplex(1.0 / pole / passEdge);
  }
}

void EllipticPrototype(int n, double rippleDb, double attenuationDb, ZeroPolePrototype& proto) {
  proto.zeroCount = 0;
  proto.poleCount = 0;
  const double epsSquared = PowerRatioMinusOne(rippleDb);
  if (n == 1) {
    proto.poles[proto.poleCount++] = {-std::sqrt(1.0 / epsSquared), 0.0};
    return;
  }
  const double eps = std::sqrt(epsSquared);
  const double m1 = epsSquared / PowerRatioMinusOne(attenuationDb);
  const double m = EllipticDegree(n, m1);
  const double capK = EllipticK(m);
  const double k1 = EllipticK(m1);
  const double r = InverseJacobiSc(1.0 / eps, m1);
  const double v0 = capK * r / (n * k1);
  const JacobiValues v = JacobiElliptic(v0, 1.0 - m);
  for (int j = 1 - n % 2; j < n; j += 2) {
    const JacobiValues u = JacobiElliptic(j * capK / n, m);
    if (std::abs(u.sn) > kTiny) {
      const double zero = 1.0 / (std::sqrt(m) * u.sn);
      proto.zeros[proto.zeroCount++] = {0.0, zero};
      proto.zeros[proto.zeroCount++] = {0.0, -zero};
    }
    const double den = 1.0 - (u.dn * v.sn) * (u.dn * v.sn);
    const Complex pole{-(u.cn * u.dn * v.sn * v.cn) / den, -(u.sn * v.dn) / den};
    proto.poles[proto.poleCount++] = pole;
    if (std::abs(pole.im) > kTiny * std::hypot(pole.re, pole.im)) {
      proto.poles[proto.poleCount++] = Conjugate(pole);
    }
  }
}

}  // namespace qv
