#include "design/second_order_sections.h"

#include <algorithm>
#include <cmath>

#include "design/model_roots.h"
#include "records/complex.h"

namespace qv {
namespace {

// Below this |im| (relative to |z|, at least 1) a root is real and its imaginary part a
// rounding residue. The root finder's own test (|im/re| > 0.001) would call the poles of a
// narrow cluster near the real axis real, and dropping their imaginary parts changes the filter.
constexpr double kRealResidue = 1e-6;

bool IsComplex(Complex z) { return std::abs(z.im) > kRealResidue * std::max(1.0, Magnitude(z)); }

// Largest relative difference the poles' expansion may show against a[0..m]: rounding only.
constexpr double kExpansionTolerance = 1e-9;

// True when the real parts of prod (z - pole) are a[0..m] / a[0], to rounding, relative to its
// largest coefficient: the poles are those of this denominator and not of another design. The
// design keeps the real parts too: a real pole found by a root search carries an imaginary
// residue.
bool PolesMatch(std::span<const double> a, std::span<const Complex> poles) {
  std::array<Complex, kMaxCoefficients + 1> c{};
  c[0] = {1.0, 0.0};
  for (std::size_t r = 0; r < poles.size(); ++r) {
    for (std::size_t i = r + 1; i >= 1; --i) c[i] = c[i] - poles[r] * c[i - 1];
  }
  double largest = 1.0;
  double error = 0.0;
  for (std::size_t i = 1; i < a.size(); ++i) {
    largest = std::max(largest, std::abs(a[i] / a[0]));
    error = std::max(error, std::abs(c[i].re - a[i] / a[0]));
  }
  return error <= kExpansionTolerance * largest;
}

// The roots of one polynomial: each complex pair once, by its upper root with the lower root
// that mirrors it as its partner, and the real roots with their imaginary residue dropped.
struct RootSet {
  std::array<Complex, kMaxCoefficients> values{};
  std::array<Complex, kMaxCoefficients> partners{};  // of the complex values
  std::array<bool, kMaxCoefficients> used{};
  int count = 0;
};

// False when the lower half-plane does not mirror the upper one.
bool Collect(std::span<const Complex> roots, RootSet& set) {
  std::array<bool, kMaxCoefficients> taken{};
  for (std::size_t i = 0; i < roots.size(); ++i) {
    const Complex z = roots[i];
    if (!IsComplex(z)) {
      set.values[set.count++] = {z.re, 0.0};
    } else if (z.im > 0.0) {
      // The lower root nearest to the conjugate: the design's roots come in exact conjugate
      // pairs but for rounding.
      std::size_t partner = roots.size();
      for (std::size_t j = 0; j < roots.size(); ++j) {
        if (taken[j] || !IsComplex(roots[j]) || roots[j].im > 0.0) continue;
        if (partner == roots.size() ||
            Magnitude(roots[j] - Conjugate(z)) < Magnitude(roots[partner] - Conjugate(z))) {
          partner = j;
        }
      }
      if (partner == roots.size()) return false;
      taken[partner] = true;
      set.partners[set.count] = roots[partner];
      set.values[set.count++] = z;
    }
  }
  for (std::size_t j = 0; j < roots.size(); ++j) {
    if (IsComplex(roots[j]) && roots[j].im < 0.0 && !taken[j]) return false;
  }
  return true;
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
// root stands for itself and its partner; the real parts are kept, as the design keeps them)
// and `second` (-1 for none).
void Factor(RootSet& set, int first, int second, double& c1, double& c2) {
  const Complex r = set.values[first];
  set.used[first] = true;
  if (IsComplex(r)) {
    const Complex partner = set.partners[first];
    c1 = -(r.re + partner.re);
    c2 = (r * partner).re;
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
    const auto count = static_cast<std::size_t>(m);
    std::array<Complex, kMaxCoefficients> found{};
    std::array<Complex, kMaxCoefficients> placed{};
    if (DesignModelZerosPoles(spec, placed, found) != 0 ||
        !PolesMatch(denominator.first(count + 1), std::span<const Complex>(found).first(count))) {
      return false;
    }
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
