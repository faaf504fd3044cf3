#include "design/scheme_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <span>

#include "analysis/compensated_horner.h"
#include "design/scheme_band.h"

namespace qv {
namespace {

constexpr int kBasePoints = 256;  // grid points of every band, and per coefficient:
constexpr int kPointsPerTerm = 8;
constexpr int kRefineSteps = 48;  // golden-section steps around a local extremum
constexpr int kMaxGridPoints = kBasePoints + kPointsPerTerm * kTapCapacity;
// Local extrema within this ratio of the band's sampled extreme are refined: a grid of at least
// kPointsPerTerm points per coefficient samples every ripple close enough to its peak.
constexpr double kCandidateRatio = 0.5;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Extended precision's unit roundoff, and the relative error of |H| below which its plain
// Horner sum stands (a millionth of a millionth of a dB, about).
constexpr long double kExtendedRoundoff = 0x1p-64L;
constexpr long double kPlainRelativeError = 1e-10L;

// |H(e^{j 2 pi f})| for f in cycles per sample.
class Response {
 public:
  Response(const FilterSpec& spec, const FilterDesign& design) {
    const double scale = std::ldexp(1.0, -design.shift);
    if (spec.filterClass == FilterClass::Fir) {
      const int n = std::clamp(spec.taps, 1, kMaxTaps);
      numerator_ = std::span<const double>(design.firTaps).first(n);
      terms_ = n;
    } else {
      const int m = std::clamp(spec.effectiveOrder, 0, kMaxCoefficients - 1);
      numerator_ = std::span<const double>(design.numerator).first(m + 1);
      denominator_ = std::span<const double>(design.denominator).first(m + 1);
      terms_ = m + 1;
      // A cascade's arrays hold the float design it was made from; its true response is that
      // of its quantised sections.
      if (UsesFixedPointSections(spec)) cascade_ = &design.cascade;
      numeratorBound_ = RoundingBound(numerator_);
      denominatorBound_ = RoundingBound(denominator_);
    }
    scale_ = scale;
  }
  int Terms() const { return terms_; }
  double operator()(double f) const {
    const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * f);
    if (cascade_ != nullptr) return CascadeMagnitude(*cascade_, z);
    if (denominator_.empty()) return std::abs(Horner(numerator_, z)) * scale_;
    // A transfer function whose poles crowd together near the unit circle cancels its terms
    // by up to fifteen digits there: double rounding loses hundredths of a dB, extended
    // precision some hundred-thousandths, as much as the check's tolerance.
    const std::complex<long double> wide(z);
    const long double num = Magnitude(numerator_, numeratorBound_, wide) * scale_;
    return static_cast<double>(num / Magnitude(denominator_, denominatorBound_, wide));
  }

 private:
  // Bound of the rounding error of Horner's sum in extended precision on the unit circle.
  static long double RoundingBound(std::span<const double> c) {
    long double sum = 0.0L;
    for (const double x : c) sum += std::abs(static_cast<long double>(x));
    return 2.0L * static_cast<long double>(c.size()) * kExtendedRoundoff * sum;
  }
  // |sum c_k z^k|: Horner's sum in extended precision where its rounding bound is a small
  // enough part of the value, else the compensated sum.
  static long double Magnitude(std::span<const double> c, long double bound,
                               std::complex<long double> z) {
    const long double plain = std::abs(Horner(c, z));
    if (bound <= kPlainRelativeError * plain) return plain;
    return std::abs(CompensatedHorner(c, z));
  }
  template <typename Real>
  static std::complex<Real> Horner(std::span<const double> c, std::complex<Real> z) {
    std::complex<Real> acc = 0.0;
    for (std::size_t k = c.size(); k-- > 0;) acc = acc * z + static_cast<Real>(c[k]);
    return acc;
  }
  // |H(z)| of the sections, z = e^{-j w}: each one's coefficients are the true ones times
  // 2^(wordBits - 1 - postShift), and its feedback coefficients are added.
  static double CascadeMagnitude(const FixedPointCascade& cascade, std::complex<double> z) {
    const double unit = std::ldexp(1.0, cascade.wordBits - 1 - cascade.postShift);
    double magnitude = 1.0;
    for (int i = 0; i < cascade.count; ++i) {
      const FixedPointSection& s = cascade.sections[static_cast<std::size_t>(i)];
      const std::array<double, 3> b{static_cast<double>(s.b0), static_cast<double>(s.b1),
                                    static_cast<double>(s.b2)};
      const std::array<double, 3> a{unit, -static_cast<double>(s.a1), -static_cast<double>(s.a2)};
      magnitude *= std::abs(Horner(b, z)) / std::abs(Horner(a, z));
    }
    return magnitude;
  }
  const FixedPointCascade* cascade_ = nullptr;
  std::span<const double> numerator_;
  std::span<const double> denominator_;
  long double numeratorBound_ = 0.0L;
  long double denominatorBound_ = 0.0L;
  double scale_ = 1.0;
  int terms_ = 0;
};

struct Extremes {
  double smallest = 0.0;
  double largest = 0.0;
};

// Golden-section search for the extreme of `sign` * |H| between `low` and `high`, one new
// point per step.
double Refine(const Response& h, double low, double high, double sign, double best) {
  const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
  double x1 = high - ratio * (high - low);
  double x2 = low + ratio * (high - low);
  double f1 = sign * h(x1);
  double f2 = sign * h(x2);
  for (int i = 0; i < kRefineSteps; ++i) {
    if (f1 > f2) {
      high = x2;
      x2 = x1;
      f2 = f1;
      x1 = high - ratio * (high - low);
      f1 = sign * h(x1);
    } else {
      low = x1;
      x1 = x2;
      f1 = f2;
      x2 = low + ratio * (high - low);
      f2 = sign * h(x2);
    }
  }
  return sign * std::max({sign * best, f1, f2});
}

// The smallest and largest |H| over `band`: a grid of `points`, then every local extremum
// that could hold the band's extreme refined between its neighbours. A sample of a narrow
// ripple can lie well below its peak, so the worst sample alone does not find the worst
// ripple. Returns early, unrefined, once a value exceeds `stopAbove`.
Extremes Scan(const Response& h, const FirBand& band, int points, double stopAbove) {
  // Cosine spacing: an IIR design crowds its ripples toward the band edges next to a narrow
  // transition, where the points crowd too.
  const double half = 0.5 * (band.high - band.low);
  const auto at = [&](int i) {
    if (i == points - 1) return band.high;
    return band.low + half * (1.0 - std::cos(std::numbers::pi * i / (points - 1)));
  };
  std::array<double, kMaxGridPoints> value{};
  Extremes e{kInfinity, 0.0};
  for (int i = 0; i < points; ++i) {
    const double v = h(at(i));
    value[static_cast<std::size_t>(i)] = v;
    e.smallest = std::min(e.smallest, v);
    e.largest = std::max(e.largest, v);
    if (v > stopAbove) return e;
  }
  const double sampledSmallest = e.smallest;
  const double sampledLargest = e.largest;
  const auto v = [&value](int i) { return value[static_cast<std::size_t>(i)]; };
  for (int i = 0; i < points; ++i) {
    const double before = i > 0 ? v(i - 1) : -kInfinity;
    const double after = i < points - 1 ? v(i + 1) : -kInfinity;
    const double lo = at(std::max(i - 1, 0));
    const double hi = at(std::min(i + 1, points - 1));
    if (v(i) >= before && v(i) >= after && v(i) >= sampledLargest * kCandidateRatio) {
      e.largest = Refine(h, lo, hi, 1.0, e.largest);
    }
    const double beforeLow = i > 0 ? v(i - 1) : kInfinity;
    const double afterLow = i < points - 1 ? v(i + 1) : kInfinity;
    if (v(i) <= beforeLow && v(i) <= afterLow && v(i) * kCandidateRatio <= sampledSmallest) {
      e.smallest = Refine(h, lo, hi, -1.0, e.smallest);
    }
  }
  return e;
}

double Db(double ratio) { return 20.0 * std::log10(ratio); }

}  // namespace

SchemeCheck CheckAgainstScheme(const FilterSpec& spec, const FilterDesign& design, bool stopEarly) {
  SchemeCheck out;
  if (!spec.scheme.active) return out;
  out.checked = true;
  const FirBands bands = SchemeFirBands(spec);
  const Response h(spec, design);
  const int points = kBasePoints + kPointsPerTerm * h.Terms();

  double peak = 0.0;
  double passLow = kInfinity;
  for (int b = 0; b < bands.count; ++b) {
    if (bands.bands[b].desired == 0.0) continue;
    const Extremes e = Scan(h, bands.bands[b], points, kInfinity);
    peak = std::max(peak, e.largest);
    passLow = std::min(passLow, e.smallest);
  }
  // Beyond this magnitude a stop band already misses As.
  const double limit =
      stopEarly ? peak * std::pow(10.0, -(spec.scheme.attenuation - kSchemeToleranceDb) / 20.0)
                : kInfinity;
  double stopHigh = 0.0;
  for (int b = 0; b < bands.count; ++b) {
    if (bands.bands[b].desired != 0.0) continue;
    stopHigh = std::max(stopHigh, Scan(h, bands.bands[b], points, limit).largest);
  }
  // Between the bands the gain may fall as it likes, and overshoot a band edge by up to the
  // pass-band ripple, but not rise further: an equiripple design with unequal transitions can
  // hold a bump there far above its pass band.
  const double rise =
      stopEarly ? peak * std::pow(10.0, (spec.ripple + kSchemeToleranceDb) / 20.0) : kInfinity;
  double transitionHigh = 0.0;
  for (int b = 0; b + 1 < bands.count; ++b) {
    const FirBand gap{bands.bands[b].high, bands.bands[b + 1].low, 0.0, 0.0};
    if (!(gap.high > gap.low)) continue;
    transitionHigh = std::max(transitionHigh, Scan(h, gap, points, rise).largest);
  }
  out.transitionRiseDb = peak > 0.0 && transitionHigh > 0.0 ? Db(transitionHigh / peak) : 0.0;
  out.passLossDb = peak > 0.0 && passLow > 0.0 ? Db(peak / passLow) : kInfinity;
  out.stopAttenuationDb = stopHigh > 0.0 ? Db(peak / stopHigh) : kInfinity;
  if (!(peak > 0.0) || !std::isfinite(peak)) out.stopAttenuationDb = -kInfinity;
  out.passMarginDb = spec.ripple - out.passLossDb;
  out.stopMarginDb = out.stopAttenuationDb - spec.scheme.attenuation;
  out.meets = out.passMarginDb >= -kSchemeToleranceDb && out.stopMarginDb >= -kSchemeToleranceDb &&
              !(out.transitionRiseDb > spec.ripple + kSchemeToleranceDb);
  return out;
}

}  // namespace qv
