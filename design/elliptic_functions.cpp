#include "design/elliptic_functions.h"

#include <cmath>
#include <numbers>

namespace qv {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kAgmSteps = 16;  // the means agree to the last bit after at most six steps
constexpr double kMachineEpsilon = 1.11022302462515654042e-16;
constexpr double kNearOne = 0.9999999999;  // parameters above it use the hyperbolic form
constexpr double kNearZero = 1e-9;         // parameters below it use the circular form
constexpr int kNomeTerms = 7;              // terms of the nome series of the degree equation

double Agm(double a, double b) {
  for (int step = 0; step < kAgmSteps && a != b; ++step) {
    const double mean = 0.5 * (a + b);
    b = std::sqrt(a * b);
    a = mean;
  }
  return a;
}

// The nome q = exp(-pi K'(m) / K(m)) of parameter m, given with its complement 1 - m.
double Nome(double m, double mComplement) {
  return std::exp(-kPi * EllipticKFromComplement(m) / EllipticKFromComplement(mComplement));
}

// The parameter m whose nome is `q`, by the theta series.
double ParameterOfNome(double q) {
  double numerator = 0.0;
  double denominator = 1.0;
  for (int j = 0; j <= kNomeTerms; ++j) {
    numerator += std::pow(q, j * (j + 1));
    denominator += 2.0 * std::pow(q, (j + 1) * (j + 1));
  }
  const double ratio = numerator / denominator;
  return 16.0 * q * ratio * ratio * ratio * ratio;
}

}  // namespace

double EllipticKFromComplement(double m1) { return kPi / (2.0 * Agm(1.0, std::sqrt(m1))); }

double EllipticK(double m) { return EllipticKFromComplement(1.0 - m); }

JacobiValues JacobiElliptic(double u, double m) {
  if (m < kNearZero) {
    const double t = std::sin(u);
    const double b = std::cos(u);
    const double ai = 0.25 * m * (u - t * b);
    return {t - ai * b, b + ai * t, 1.0 - 0.5 * m * t * t};
  }
  if (m >= kNearOne) {
    double ai = 0.25 * (1.0 - m);
    const double b = std::cosh(u);
    const double t = std::tanh(u);
    const double phi = 1.0 / b;
    const double twon = b * std::sinh(u);
    const double sn = t + ai * (twon - u) / (b * b);
    ai *= t * phi;
    return {sn, phi - ai * (twon - u), phi + ai * (twon + u)};
  }
  // Descending Landen transformation, then back up through the angles.
  double a[kAgmSteps + 1]{};
  double c[kAgmSteps + 1]{};
  a[0] = 1.0;
  c[0] = std::sqrt(m);
  double b = std::sqrt(1.0 - m);
  double twon = 1.0;
  int i = 0;
  while (std::abs(c[i] / a[i]) > kMachineEpsilon && i < kAgmSteps) {
    const double ai = a[i];
    ++i;
    c[i] = 0.5 * (ai - b);
    const double t = std::sqrt(ai * b);
    a[i] = 0.5 * (ai + b);
    b = t;
    twon *= 2.0;
  }
  double phi = twon * a[i] * u;
  double previous = phi;
  for (; i > 0; --i) {
    const double t = c[i] * std::sin(phi) / a[i];
    previous = phi;
    phi = 0.5 * (std::asin(t) + phi);
  }
  const double cn = std::cos(phi);
  return {std::sin(phi), cn, cn / std::cos(phi - previous)};
}

double InverseJacobiSc(double w, double m) {
  // sc(v | m) = w is sn(i v | m) = i w; along the imaginary axis Landen's descending moduli
  // keep every value imaginary, so only its imaginary part y is carried.
  double k = std::sqrt(m);
  double y = w;
  double product = 1.0;
  for (int step = 0; step < kAgmSteps && k != 0.0; ++step) {
    const double kPrime = std::sqrt((1.0 - k) * (1.0 + k));
    const double next = (1.0 - kPrime) / (1.0 + kPrime);
    y = 2.0 * y / ((1.0 + next) * (1.0 + std::sqrt(1.0 + k * k * y * y)));
    product *= 1.0 + next;
    k = next;
  }
  return product * std::asinh(y);
}

double EllipticDegree(int n, double m1) {
  return ParameterOfNome(std::pow(Nome(m1, 1.0 - m1), 1.0 / n));
}

double EllipticDiscrimination(int n, double m, double mComplement) {
  return ParameterOfNome(std::pow(Nome(m, mComplement), n));
}

}  // namespace qv
