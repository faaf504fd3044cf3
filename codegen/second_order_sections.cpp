#include "codegen/second_order_sections.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "analysis/zero_placement.h"
#include "design/complex.h"
#include "design/root_finder.h"

namespace qv {
namespace {

// Below this |im| (relative to |z|, at least 1) a root is real and its imaginary part a
// rounding residue. The root finder's own test (|im/re| > 0.001) would call the poles of a
// narrow cluster near the real axis real, and dropping their imaginary parts changes the filter.
constexpr double kRealResidue = 1e-6;

bool IsComplex(Complex z) {
  return std::abs(z.im) > kRealResidue * std::max(1.0, Magnitude(z));
}

// The root finder accepts a root where |p| < 1e-10, which for the clustered poles of a high
// order leaves them far from where the coefficients put them; the cascade would then be
// another filter. The simultaneous Ehrlich-Aberth iteration refines all of them together
// against the undeflated polynomial, and its repulsion keeps a cluster's roots apart. It runs
// in extended precision: near a cluster the polynomial's value is a cancellation of terms
// thousands of times larger, and in double the roots stay as uncertain as that rounding.
constexpr int kPolishIterations = 100;
constexpr long double kPolishStep = 1e-18L;  // relative step below which a root is final

using Wide = std::complex<long double>;
using RootArray = std::array<Complex, kMaxCoefficients + 1>;
using WideArray = std::array<Wide, kMaxCoefficients + 1>;

// p(z) and p'(z) of a[0] z^m + a[1] z^(m-1) + ... + a[m] by Horner's scheme.
void EvaluateWithDerivative(std::span<const double> a, Wide z, Wide& p, Wide& dp) {
  p = a[0];
  dp = 0.0L;
  for (std::size_t i = 1; i < a.size(); ++i) {
    dp = dp * z + p;
    p = p * z + static_cast<long double>(a[i]);
  }
}

// Largest difference between a[1..m]/a[0] and the coefficients of the product of (z - root).
long double ExpansionError(std::span<const double> a, std::span<const Wide> roots) {
  WideArray c{};
  c[0] = 1.0L;
  for (std::size_t r = 0; r < roots.size(); ++r) {
    for (std::size_t i = r + 1; i >= 1; --i) c[i] = c[i] - roots[r] * c[i - 1];
  }
  long double error = 0.0L;
  for (std::size_t i = 1; i < a.size(); ++i) {
    error = std::max(error, std::abs(c[i] - static_cast<long double>(a[i]) / a[0]));
  }
  return error;
}

// Refines `roots`, the m = a.size() - 1 roots of a[0] z^m + ... + a[m], in place; keeps the
// found ones when the refined set expands to a polynomial further from `a`.
void PolishRoots(std::span<const double> a, std::span<Complex> roots) {
  WideArray found{};
  WideArray refined{};
  for (std::size_t k = 0; k < roots.size(); ++k) {
    found[k] = refined[k] = Wide(roots[k].re, roots[k].im);
  }
  const std::span<Wide> z = std::span<Wide>(refined).first(roots.size());
  for (int iteration = 0; iteration < kPolishIterations; ++iteration) {
    long double largest = 0.0L;
    for (std::size_t k = 0; k < z.size(); ++k) {
      Wide p;
      Wide dp;
      EvaluateWithDerivative(a, z[k], p, dp);
      if (p == Wide{}) continue;
      const Wide w = p / dp;
      Wide repulsion{};
      for (std::size_t j = 0; j < z.size(); ++j) {
        if (j != k) repulsion += 1.0L / (z[k] - z[j]);
      }
      const Wide step = w / (1.0L - w * repulsion);
      if (!std::isfinite(step.real()) || !std::isfinite(step.imag())) return;
      z[k] -= step;
      largest = std::max(largest, std::abs(step) / std::max(1.0L, std::abs(z[k])));
    }
    if (largest < kPolishStep) break;
  }
  if (ExpansionError(a, z) < ExpansionError(a, std::span<const Wide>(found).first(z.size()))) {
    for (std::size_t k = 0; k < z.size(); ++k) {
      roots[k] = {static_cast<double>(z[k].real()), static_cast<double>(z[k].imag())};
    }
  }
}

// The roots of one polynomial, each conjugate pair kept once (its upper half), real roots
// with their imaginary residue dropped.
struct RootSet {
  std::array<Complex, kMaxCoefficients> values{};
  std::array<bool, kMaxCoefficients> used{};
  int count = 0;
};

// False when the lower half-plane does not mirror the upper one.
bool Collect(std::span<const Complex> roots, RootSet& set) {
  int lower = 0;
  int upper = 0;
  for (const Complex& z : roots) {
    if (!IsComplex(z)) {
      set.values[set.count++] = {z.re, 0.0};
    } else if (z.im > 0.0) {
      set.values[set.count++] = z;
      ++upper;
    } else {
      ++lower;
    }
  }
  return lower == upper;
}

// The unused root nearest to `to` (of the real ones only, when `realOnly`), other than
// `except`; -1 when there is none.
int Nearest(const RootSet& set, Complex to, bool realOnly, int except) {
  int best = -1;
  double bestDistance = 0.0;
  for (int i = 0; i < set.count; ++i) {
    if (set.used[i] || i == except || (realOnly && IsComplex(set.values[i]))) continue;
    const double distance = Magnitude(set.values[i] - to);
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

// The unused pole nearest to the unit circle.
int NearestToCircle(const RootSet& poles) {
  int best = -1;
  double bestDistance = 0.0;
  for (int i = 0; i < poles.count; ++i) {
    if (poles.used[i]) continue;
    const double distance = std::abs(1.0 - Magnitude(poles.values[i]));
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

// The real pole farthest inside: the first-order section of an odd order.
int SmallestReal(const RootSet& poles) {
  int best = -1;
  for (int i = 0; i < poles.count; ++i) {
    if (IsComplex(poles.values[i])) continue;
    if (best < 0 || std::abs(poles.values[i].re) < std::abs(poles.values[best].re)) best = i;
  }
  return best;
}

// The two coefficients c1, c2 of (1 - r1 z^-1)(1 - r2 z^-1) for the roots `first` (a complex
// root stands for itself and its conjugate) and `second` (-1 for none).
void Factor(RootSet& set, int first, int second, double& c1, double& c2) {
  const Complex r = set.values[first];
  set.used[first] = true;
  if (IsComplex(r)) {
    c1 = -2.0 * r.re;
    c2 = r.re * r.re + r.im * r.im;
  } else if (second >= 0) {
    set.used[second] = true;
    c1 = -(r.re + set.values[second].re);
    c2 = r.re * set.values[second].re;
  } else {
    c1 = -r.re;
    c2 = 0.0;
  }
}

// The zeros of a pole pair led by `pole`: its nearest zero, with the conjugate or the nearest
// other real zero. False when a real zero has no partner.
bool TakeZeroPair(RootSet& zeros, Complex pole, BiquadSection& section) {
  const int first = Nearest(zeros, pole, false, -1);
  if (first < 0) return false;
  int second = -1;
  if (!IsComplex(zeros.values[first])) {
    second = Nearest(zeros, pole, true, first);
    if (second < 0) return false;
  }
  Factor(zeros, first, second, section.b1, section.b2);
  return true;
}

bool AllUsed(const RootSet& set) {
  for (int i = 0; i < set.count; ++i) {
    if (!set.used[i]) return false;
  }
  return true;
}

}  // namespace

bool SplitIntoSections(const FilterSpec& spec, std::span<const double> numerator,
                       std::span<const double> denominator, SectionCascade& cascade) {
  const int m = spec.effectiveOrder;
  if (m < 0 || m > kMaxOrder || numerator.size() <= static_cast<std::size_t>(m) ||
      denominator.size() <= static_cast<std::size_t>(m) || denominator[0] == 0.0) {
    return false;
  }
  cascade = SectionCascade{};
  cascade.count = m == 0 ? 1 : (m + 1) / 2;
  if (m > 0) {
    const std::span<const double> a = denominator.first(static_cast<std::size_t>(m) + 1);
    RootArray found{};
    if (FindRoots(m, a, found, kRootTolerance) != 0) {
      return false;
    }
    PolishRoots(a, std::span<Complex>(found).first(static_cast<std::size_t>(m)));
    std::array<Complex, kMaxCoefficients> placed{};
    PlaceIirZeros(spec, placed);
    const auto count = static_cast<std::size_t>(m);
    RootSet poles;
    RootSet zeros;
    if (!Collect(std::span<const Complex>(found).first(count), poles) ||
        !Collect(std::span<const Complex>(placed).first(count), zeros)) {
      return false;
    }
    int first = 0;
    if (m % 2 == 1) {
      const int pole = SmallestReal(poles);
      if (pole < 0) return false;
      const int zero = Nearest(zeros, poles.values[pole], true, -1);
      if (zero < 0) return false;
      BiquadSection& section = cascade.sections[0];
      Factor(poles, pole, -1, section.a1, section.a2);
      Factor(zeros, zero, -1, section.b1, section.b2);
      first = 1;
    }
    // The poles nearest the circle are placed last, after the rest of the cascade has
    // already removed the out-of-band energy, and they choose their zeros first.
    for (int s = cascade.count - 1; s >= first; --s) {
      const int pole = NearestToCircle(poles);
      if (pole < 0) return false;
      int partner = -1;
      if (!IsComplex(poles.values[pole])) {
        partner = Nearest(poles, poles.values[pole], true, pole);
        if (partner < 0) return false;
      }
      BiquadSection& section = cascade.sections[static_cast<std::size_t>(s)];
      const Complex leading = poles.values[pole];
      Factor(poles, pole, partner, section.a1, section.a2);
      if (!TakeZeroPair(zeros, leading, section)) return false;
    }
    if (!AllUsed(poles) || !AllUsed(zeros)) return false;
  }
  const double gain = numerator[0] / denominator[0];
  BiquadSection& head = cascade.sections[0];
  head.b0 = gain;
  head.b1 *= gain;
  head.b2 *= gain;
  return true;
}

}  // namespace qv
