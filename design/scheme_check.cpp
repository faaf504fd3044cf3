#include "design/scheme_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <span>

#include "design/scheme_band.h"

namespace qv {
namespace {

constexpr int kBasePoints = 256;  // grid points of every band, and per coefficient:
constexpr int kPointsPerTerm = 4;
constexpr int kRefineSteps = 48;  // golden-section steps around a worst grid point

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
    }
    scale_ = scale;
  }
  int Terms() const { return terms_; }
  double operator()(double f) const {
    const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * f);
    if (cascade_ != nullptr) return CascadeMagnitude(*cascade_, z);
    const double num = std::abs(Horner(numerator_, z)) * scale_;
    if (denominator_.empty()) return num;
    return num / std::abs(Horner(denominator_, z));
  }

 private:
  static std::complex<double> Horner(std::span<const double> c, std::complex<double> z) {
    std::complex<double> acc = 0.0;
    for (std::size_t k = c.size(); k-- > 0;) acc = acc * z + c[k];
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
  double scale_ = 1.0;
  int terms_ = 0;
};

struct Extremes {
  double smallest = 0.0;
  double largest = 0.0;
};

// Golden-section search for the extreme of `sign` * |H| between `low` and `high`.
double Refine(const Response& h, double low, double high, double sign, double best) {
  const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
  for (int i = 0; i < kRefineSteps; ++i) {
    const double x1 = high - ratio * (high - low);
    const double x2 = low + ratio * (high - low);
    if (sign * h(x1) > sign * h(x2)) {
      high = x2;
    } else {
      low = x1;
    }
  }
  return sign * std::max(sign * best, sign * h(0.5 * (low + high)));
}

Extremes Scan(const Response& h, const FirBand& band, int points, double stopAbove) {
  const double step = (band.high - band.low) / (points - 1);
  int lowIndex = 0;
  int highIndex = 0;
  Extremes e{h(band.low), h(band.low)};
  for (int i = 1; i < points; ++i) {
    const double v = h(i == points - 1 ? band.high : band.low + i * step);
    if (v < e.smallest) {
      e.smallest = v;
      lowIndex = i;
    }
    if (v > e.largest) {
      e.largest = v;
      highIndex = i;
      if (v > stopAbove) return e;
    }
  }
  const auto around = [&](int i) {
    return std::pair{band.low + std::max(i - 1, 0) * step,
                     std::min(band.low + (i + 1) * step, band.high)};
  };
  const auto [lo1, hi1] = around(lowIndex);
  e.smallest = Refine(h, lo1, hi1, -1.0, e.smallest);
  const auto [lo2, hi2] = around(highIndex);
  e.largest = Refine(h, lo2, hi2, 1.0, e.largest);
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
  const double infinity = std::numeric_limits<double>::infinity();

  double peak = 0.0;
  double passLow = infinity;
  for (int b = 0; b < bands.count; ++b) {
    if (bands.bands[b].desired == 0.0) continue;
    const Extremes e = Scan(h, bands.bands[b], points, infinity);
    peak = std::max(peak, e.largest);
    passLow = std::min(passLow, e.smallest);
  }
  // Beyond this magnitude a stop band already misses As.
  const double limit =
      stopEarly ? peak * std::pow(10.0, -(spec.scheme.attenuation - kSchemeToleranceDb) / 20.0)
                : infinity;
  double stopHigh = 0.0;
  for (int b = 0; b < bands.count; ++b) {
    if (bands.bands[b].desired != 0.0) continue;
    stopHigh = std::max(stopHigh, Scan(h, bands.bands[b], points, limit).largest);
  }
  out.passLossDb = peak > 0.0 && passLow > 0.0 ? Db(peak / passLow) : infinity;
  out.stopAttenuationDb = stopHigh > 0.0 ? Db(peak / stopHigh) : infinity;
  if (!(peak > 0.0) || !std::isfinite(peak)) out.stopAttenuationDb = -infinity;
  out.passMarginDb = spec.ripple - out.passLossDb;
  out.stopMarginDb = out.stopAttenuationDb - spec.scheme.attenuation;
  out.meets = out.passMarginDb >= -kSchemeToleranceDb && out.stopMarginDb >= -kSchemeToleranceDb;
  return out;
}

}  // namespace qv
