#include "design/iir_prototype.h"

#include <cmath>
#include <numbers>

#include "design/bessel_table.h"

namespace qv {

void ButterworthPrototype(int n, PoleArray& poles) {
  const double pi = std::numbers::pi;
  for (int k = 0; k < n; ++k) {
    const double theta = pi / (2 * n) + pi / 2 + k * pi / n;
    poles[k] = {std::cos(theta), std::sin(theta)};
  }
}

void ChebyshevPrototype(int n, double rippleDb, PoleArray& poles) {
  ButterworthPrototype(n, poles);
  const double c = 1.0 / std::sqrt(std::pow(10.0, rippleDb * 0.1) - 1.0);
  const double v = std::log(c + std::sqrt(c * c + 1.0)) / n;
  const double sinhV = (std::exp(v) - std::exp(-v)) / 2;
  const double coshV = (std::exp(v) + std::exp(-v)) / 2;
  for (int k = 0; k < n; ++k) {
    poles[k].re *= sinhV;
    poles[k].im *= coshV;
  }
}

void BesselPrototype(int n, PoleArray& poles) {
  const auto row = BesselRow(n);
  for (int k = 0; k < n; ++k) poles[k] = row[k];
}

}  // namespace qv
