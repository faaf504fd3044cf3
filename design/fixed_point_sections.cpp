#include "design/fixed_point_sections.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>

#include "analysis/cascade_roots.h"
#include "design/design_driver.h"
#include "design/second_order_sections.h"
#include "records/word_format.h"

namespace qv {
namespace {

using Cplx = std::complex<double>;
using Peaks = std::array<double, kMaxSections>;

constexpr double kPi = 3.141592653589793;
// Frequencies between 0 and half the sampling frequency at which the cascade's peaks are first
// sought; each local maximum is then refined by golden-section search between its neighbours.
constexpr int kPeakGrid = 4096;
constexpr int kRefinedMaxima = 4;          // largest local maxima per section output refined
constexpr int kGoldenSteps = 40;           // narrows a bracket by 0.618^40, below 1e-8 of it
constexpr int kEnergySamples = 1 << 16;    // longest impulse response summed for an L2 norm
constexpr double kNegligibleTail = 1e-12;  // relative sample size at which the sum stops
constexpr int kMostLowerings = 16;         // rounds in which numerators may be lowered
constexpr double kLargestRounded = 1099511627776.0;  // 2^40: far beyond any word

// The response of one section at e^-jw = w1 (w2 = w1^2).
Cplx SectionResponse(const BiquadSection& s, Cplx w1, Cplx w2) {
  return (s.b0 + s.b1 * w1 + s.b2 * w2) / (1.0 + s.a1 * w1 + s.a2 * w2);
}

struct Maximum {
  double value = -1.0;
  int index = 0;
};

// |prod of sections 0..k| at angle w, for every k up to count.
void CumulativeMagnitudes(std::span<const BiquadSection> sections, double w, Peaks& out) {
  const Cplx w1 = std::polar(1.0, -w);
  const Cplx w2 = w1 * w1;
  Cplx product = 1.0;
  for (std::size_t k = 0; k < sections.size(); ++k) {
    product *= SectionResponse(sections[k], w1, w2);
    out[k] = std::abs(product);
  }
}

double CumulativeMagnitude(std::span<const BiquadSection> sections, std::size_t k, double w) {
  Peaks magnitudes{};
  CumulativeMagnitudes(sections.first(k + 1), w, magnitudes);
  return magnitudes[k];
}

// The largest |prod of sections 0..k| over 0..pi for every k: the grid's local maxima (the
// ends included), the kRefinedMaxima largest refined by golden-section search.
Peaks CumulativePeaks(std::span<const BiquadSection> sections) {
  const std::size_t count = sections.size();
  std::array<std::array<Maximum, kRefinedMaxima>, kMaxSections> best{};
  Peaks before{};
  Peaks previous{};
  Peaks current{};
  Peaks peaks{};
  auto keep = [&best](std::size_t k, double value, int index) {
    auto& list = best[k];
    const auto smallest =
        std::min_element(list.begin(), list.end(),
                         [](const Maximum& x, const Maximum& y) { return x.value < y.value; });
    if (value > smallest->value) *smallest = {value, index};
  };
  for (int i = 0; i <= kPeakGrid; ++i) {
    CumulativeMagnitudes(sections, kPi * i / kPeakGrid, current);
    for (std::size_t k = 0; k < count; ++k) {
      peaks[k] = std::max(peaks[k], current[k]);
      if (i == 1 && previous[k] >= current[k]) keep(k, previous[k], 0);
      if (i >= 2 && previous[k] >= before[k] && previous[k] >= current[k]) {
        keep(k, previous[k], i - 1);
      }
      if (i == kPeakGrid && current[k] >= previous[k]) keep(k, current[k], i);
    }
    before = previous;
    previous = current;
  }
  const double invPhi = (std::sqrt(5.0) - 1.0) / 2.0;
  for (std::size_t k = 0; k < count; ++k) {
    for (const Maximum& m : best[k]) {
      if (m.value < 0.0) continue;
      double lo = kPi * std::max(m.index - 1, 0) / kPeakGrid;
      double hi = kPi * std::min(m.index + 1, kPeakGrid) / kPeakGrid;
      for (int step = 0; step < kGoldenSteps; ++step) {
        const double x1 = hi - invPhi * (hi - lo);
        const double x2 = lo + invPhi * (hi - lo);
        if (CumulativeMagnitude(sections, k, x1) < CumulativeMagnitude(sections, k, x2)) {
          lo = x1;
        } else {
          hi = x2;
        }
      }
      peaks[k] = std::max(peaks[k], CumulativeMagnitude(sections, k, (lo + hi) / 2.0));
    }
  }
  return peaks;
}

// The L2 norm (square root of the energy of the impulse response) of prod of sections 0..k,
// for every k, summed until the responses have died away.
Peaks CumulativeEnergyNorms(std::span<const BiquadSection> sections) {
  std::array<std::array<double, 4>, kMaxSections> history{};  // x1, x2, y1, y2
  Peaks energy{};
  double largest = 0.0;
  for (int t = 0; t < kEnergySamples; ++t) {
    double x = t == 0 ? 1.0 : 0.0;
    double moving = 0.0;
    for (std::size_t k = 0; k < sections.size(); ++k) {
      const BiquadSection& s = sections[k];
      auto& h = history[k];
      const double y = s.b0 * x + s.b1 * h[0] + s.b2 * h[1] - s.a1 * h[2] - s.a2 * h[3];
      h = {x, h[0], y, h[2]};
      energy[k] += y * y;
      moving = std::max({moving, std::abs(y), std::abs(h[3])});
      largest = std::max(largest, std::abs(y));
      x = y;
    }
    if (t > 2 && moving <= kNegligibleTail * largest) break;
  }
  for (double& e : energy) e = std::sqrt(e);
  return energy;
}

// v rounded to the nearest whole number, halves away from zero (the conversion itself cuts
// toward zero); false when v is not a finite number within 2^40.
bool Round(double v, std::int64_t& out) {
  if (!(std::abs(v) <= kLargestRounded)) return false;
  out = static_cast<std::int64_t>(v + (v < 0.0 ? -0.5 : 0.5));
  return true;
}

// Rounds the float sections to steps of 1 / unit: the numerator from b0, so that b1 / b0 and
// b2 / b0 stay what they are as far as the steps allow; `lowering` takes that many steps off
// |b0| of each section. What the rounding of a b0 takes from the gain, or adds, the next
// section's b0 makes up, so that only the last section's rounding is left in the cascade's
// gain (a small b0, such as the first sections of a narrow low pass have, is far off alone).
// False when a value leaves the word [-fullScale - 1, fullScale] or a numerator comes out zero.
bool QuantizeSections(std::span<const BiquadSection> sections, std::span<const int> lowering,
                      double unit, std::int64_t fullScale, FixedPointCascade& cascade) {
  auto fits = [fullScale](std::int64_t v) { return v <= fullScale && v >= -fullScale - 1; };
  double carry = 1.0;  // the gain the sections before lack, as a factor
  for (std::size_t k = 0; k < sections.size(); ++k) {
    const BiquadSection& s = sections[k];
    std::int64_t b0 = 0;
    std::int64_t b1 = 0;
    std::int64_t b2 = 0;
    std::int64_t a1 = 0;
    std::int64_t a2 = 0;
    const double wanted = s.b0 * unit * carry;
    if (!Round(wanted, b0)) return false;
    b0 = b0 > 0 ? b0 - lowering[k] : b0 + lowering[k];
    if (b0 != 0) carry = wanted / static_cast<double>(b0);
    const auto b0Real = static_cast<double>(b0);
    if (b0 == 0 || !Round(s.b1 / s.b0 * b0Real, b1) || !Round(s.b2 / s.b0 * b0Real, b2) ||
        !Round(-s.a1 * unit, a1) || !Round(-s.a2 * unit, a2)) {
      return false;
    }
    if (!fits(b0) || !fits(b1) || !fits(b2) || !fits(a1) || !fits(a2)) return false;
    cascade.sections[k] = {static_cast<std::int32_t>(b0), static_cast<std::int32_t>(b1),
                           static_cast<std::int32_t>(b2), static_cast<std::int32_t>(a1),
                           static_cast<std::int32_t>(a2)};
  }
  return true;
}

// The quantised sections as reals again, for their peaks.
std::array<BiquadSection, kMaxSections> AsReal(const FixedPointCascade& cascade, double unit) {
  std::array<BiquadSection, kMaxSections> real{};
  for (int k = 0; k < cascade.count; ++k) {
    const FixedPointSection& c = cascade.sections[static_cast<std::size_t>(k)];
    real[static_cast<std::size_t>(k)] = {c.b0 / unit, c.b1 / unit, c.b2 / unit, -c.a1 / unit,
                                         -c.a2 / unit};
  }
  return real;
}

}  // namespace

DesignCode BuildFixedPointCascade(const FilterSpec& spec, std::span<const double> numerator,
                                  std::span<const double> denominator, FixedPointCascade& cascade) {
  SectionCascade split;
  if (!SplitIntoSections(spec, numerator, denominator, split)) return DesignCode::RootSearchFailed;
  const auto count = static_cast<std::size_t>(split.count);
  const std::span<BiquadSection> sections = std::span(split.sections).first(count);

  // Each section's numerator with b0 = 1: the gain is spread again below.
  const double gain = sections[0].b0;
  if (!(std::abs(gain) > 0.0) || !std::isfinite(gain)) return DesignCode::GainOutOfRange;
  sections[0] = {1.0, sections[0].b1 / gain, sections[0].b2 / gain, sections[0].a1, sections[0].a2};

  const bool lInfinity = spec.sectionScaling != SectionScaling::L2;
  const Peaks norms = lInfinity ? CumulativePeaks(sections) : CumulativeEnergyNorms(sections);
  // The gain from the input to each section's output: full scale at its norm; the last one the
  // design's, lowered only where it would exceed full scale.
  double reached = 1.0;
  double headroom = 1.0;
  for (std::size_t k = 0; k < count; ++k) {
    if (!(norms[k] > 0.0) || !std::isfinite(norms[k])) return DesignCode::GainOutOfRange;
    double wanted = 1.0 / norms[k];
    if (k + 1 == count) {
      headroom = std::min(1.0, wanted / std::abs(gain));
      wanted = gain * headroom;
    }
    const double sectionGain = wanted / reached;
    BiquadSection& s = sections[k];
    s.b0 *= sectionGain;
    s.b1 *= sectionGain;
    s.b2 *= sectionGain;
    reached = wanted;
  }

  const int bits = WordFormatOf(spec.quantization).bits;
  const std::int64_t fullScale = (std::int64_t{1} << (bits - 1)) - 1;
  cascade = FixedPointCascade{};
  cascade.wordBits = bits;
  cascade.count = split.count;
  cascade.headroom = headroom;
  std::array<int, kMaxSections> lowering{};
  bool quantised = false;
  for (int postShift = 0; postShift <= bits / 2 && !quantised; ++postShift) {
    cascade.postShift = postShift;
    quantised = QuantizeSections(sections, std::span(lowering).first(count),
                                 std::ldexp(1.0, bits - 1 - postShift), fullScale, cascade);
  }
  if (!quantised) return DesignCode::QuantizationNotPossible;

  if (lInfinity) {
    // Rounding may lift a peak a little beyond full scale; the numerator of the first section
    // whose output would overflow is lowered one step at a time.
    const double unit = std::ldexp(1.0, bits - 1 - cascade.postShift);
    for (int round = 0; round < kMostLowerings; ++round) {
      const auto real = AsReal(cascade, unit);
      const Peaks peaks = CumulativePeaks(std::span<const BiquadSection>(real).first(count));
      const auto over = std::find_if(peaks.begin(), peaks.begin() + split.count,
                                     [](double p) { return p > 1.0; });
      if (over == peaks.begin() + split.count) break;
      // At least one step, else as many as bring the peak down in proportion.
      const auto k = static_cast<std::size_t>(over - peaks.begin());
      const double b0 = std::abs(cascade.sections[k].b0);
      lowering[k] += std::max(1, static_cast<int>(b0 - b0 / *over));
      if (!QuantizeSections(sections, std::span(lowering).first(count), unit, fullScale, cascade)) {
        return DesignCode::QuantizationNotPossible;
      }
    }
  }
  return CascadeIsStable(cascade) ? DesignCode::Ok : DesignCode::NotStable;
}

}  // namespace qv
