#include "literal_loops.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace qv::reference {

namespace {

using Coefficients = std::array<Complex, kMaxCoefficients + 1>;

Complex Evaluate(const Coefficients& c, int degree, Complex x) {
  Complex sum{};
  Complex power{1.0, 0.0};
  for (int k = 0; k <= degree; ++k) {
    sum = sum + c[k] * power;
    power = power * x;
  }
  return sum;
}

void Deflate(Coefficients& c, int& degree, Complex root) {
  Coefficients quotient{};
  for (int k = degree; k >= 1; --k) {
    quotient[k - 1] = c[k];
    c[k - 1] = c[k - 1] + root * c[k];
  }
  c = quotient;
  --degree;
}

// Cut toward zero through a 64-bit integer (a negative fraction becomes +0); every double
// beyond 2^52 is whole already.
double Whole(double v) {
  constexpr double kAllWhole = 4503599627370496.0;  // 2^52
  return std::abs(v) < kAllWhole ? static_cast<double>(static_cast<std::int64_t>(v)) : v;
}

}  // namespace

int LiteralFindRoots(int degree, std::span<const double> coef, std::span<Complex> roots,
                     double tol) {
  constexpr int kIterations = 1000;
  Coefficients c{};
  for (int k = 0; k <= degree; ++k) c[k] = {coef[degree - k], 0.0};
  int found = 0;
  while (found < degree) {
    Complex xa{0.707, 0.5};
    Complex xb{-0.5, -0.707};
    Complex root{};
    bool accepted = false;
    for (int iteration = 0; iteration < kIterations && !accepted; ++iteration) {
      const Complex fa = Evaluate(c, degree - found, xa);
      const Complex fb = Evaluate(c, degree - found, xb);
      const Complex r = Divide(fb * (xb - xa), fb - fa);
      const Complex next = xb - 0.1 * r;
      xa = xb;
      xb = next;
      if (Magnitude(fb) <= tol) {
        root = next;
        accepted = true;
      }
    }
    if (!accepted) return -2;
    int current = degree - found;
    roots[found++] = root;
    Deflate(c, current, root);
    if (std::abs(root.im / root.re) > 0.001) {
      roots[found++] = Conjugate(root);
      Deflate(c, current, Conjugate(root));
    }
  }
  return 0;
}

double LiteralSimulateIir(const FilterSpec& spec, std::span<const double> b,
                          std::span<const double> a, int e, int count, bool step,
                          std::span<double> out) {
  count = std::min(count, kSimulationSamples);
  const bool quantized = spec.quantization != Quantization::Float;
  const double s = spec.quantization == Quantization::Signed8    ? 128.0
                   : spec.quantization == Quantization::Signed16 ? 32768.0
                                                                 : 1.0;
  std::array<double, kSimulationSamples> x{};
  std::array<double, kSimulationSamples> y{};
  std::array<double, kSimulationSamples> raw{};
  for (int t = 0; t < count; ++t) {
    for (int j = count - 2; j >= 0; --j) {
      x[j + 1] = x[j];
      y[j + 1] = y[j];
    }
    x[0] = (step || t == 0) ? s : 0.0;
    double acc = b[0] * x[0];
    if (quantized) acc = Whole(acc);
    for (int k = 1; k <= spec.effectiveOrder; ++k) {
      double p = b[k] * x[k];
      double q = a[k] * y[k];
      if (quantized) {
        p = Whole(p);
        q = Whole(q);
      }
      acc = (p - q) + acc;
      if (quantized) acc = Whole(acc);
    }
    acc = acc / a[0];
    if (quantized) acc = Whole(acc);
    y[0] = acc;
    raw[t] = acc;
  }
  double peak = 0.0;
  for (int t = 0; t < count; ++t) {
    out[t] = raw[t] / std::ldexp(1.0, e) / s;
    if (std::abs(out[t]) > peak) peak = std::abs(out[t]);
  }
  return peak;
}

}  // namespace qv::reference
