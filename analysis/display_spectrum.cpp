#include "analysis/display_spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

#include "analysis/fourier_spectrum.h"
#include "analysis/simulation.h"
#include "records/word_format.h"

namespace qv {
namespace {

// Below this share of the largest gain the ratio that gives the delay is rounding noise; such
// points hold the delay before them, as the phase jumps at zeros on the unit circle do.
constexpr double kDelayGuard = 1e-9;
constexpr double kTransformScale = 1.0 / kSimulationSamples;
// The largest gain starts here, so that a filter without any gain still has a reference.
constexpr double kLargestStart = 1.7e-300;
constexpr double kUnitRoundoff = 0x1p-53;
constexpr double kTwoPi = 6.283185307179586;

using Spectrum = std::array<Complex, kSimulationSamples>;

// Marks the delay of points whose gain is within the guard of zero as NaN.
void GuardDelay(DisplaySpectrum& result) {
  double largest = 0.0;
  for (const Complex& x : result.value) largest = std::max(largest, Magnitude(x));
  for (int k = 0; k < kDisplayPoints; ++k) {
    if (!(Magnitude(result.value[k]) > kDelayGuard * largest)) {
      result.delaySamples[k] = std::numeric_limits<double>::quiet_NaN();
    }
  }
  result.delayFromResponse = true;
}

// The transforms of `samples` and of `weighted` (t * samples[t], t = 0..511) at the display
// points, and the delay Re{weighted / value}.
void TransformWithWeights(std::span<const double> samples, std::span<const double> weighted,
                          DisplaySpectrum& result) {
  Spectrum spectrum{};
  ComputeSpectrum(samples, spectrum);
  std::copy_n(spectrum.begin(), kDisplayPoints, result.value.begin());
  ComputeSpectrum(weighted, spectrum);
  for (int k = 0; k < kDisplayPoints; ++k) {
    result.delaySamples[k] = Divide(spectrum[k], result.value[k]).re;
  }
  GuardDelay(result);
}

// e^(-jw) at the display frequencies w = 2 pi k / 512, computed once.
const std::array<Complex, kDisplayPoints>& DisplayRotations() {
  static const std::array<Complex, kDisplayPoints> rotations = [] {
    std::array<Complex, kDisplayPoints> r{};
    for (int k = 0; k < kDisplayPoints; ++k) {
      const double angle = kTwoPi * k / kSimulationSamples;
      r[k] = {std::cos(angle), -std::sin(angle)};
    }
    return r;
  }();
  return rotations;
}

// Whether the 512 samples of a float design, although their tail fell below kNegligibleTail,
// may be off at a point shown above kCurveDepthShare of the reference gain: by the samples
// after them (a reference gain far below the largest one, as a high pass above a quarter of
// the sampling frequency has), or by the rounding of the simulation in double. `value` is the
// transform of the 512 samples, `leadingSum` their absolute sum; `tail` the 512 samples after
// them, `tailSum` theirs.
bool FloatCurveMayBeOff(std::span<const double> a, std::span<const double> tail, double leadingSum,
                        double tailSum, const std::array<Complex, kDisplayPoints>& value,
                        BandType band) {
  std::array<double, kDisplayPoints> gains{};
  for (int k = 0; k < kDisplayPoints; ++k) {
    gains[k] = std::sqrt(value[k].re * value[k].re + value[k].im * value[k].im);
  }
  const double shown = kCurveDepthShare * ReferenceGain(band, gains);

  // The samples after the 512 move no point by more than their absolute sum; only where that
  // could reach kTailShare of a shown gain is their transform taken.
  if (tailSum * kTransformScale > kTailShare * shown) {
    Spectrum tailSpectrum{};
    ComputeSpectrum(tail, tailSpectrum);
    for (int k = 0; k < kDisplayPoints; ++k) {
      if (gains[k] > shown && Magnitude(tailSpectrum[k]) > kTailShare * gains[k]) return true;
    }
  }

  if (!(std::abs(a[0]) > 0.0)) return false;
  double coefficientSum = 0.0;
  for (const double c : a) coefficientSum += std::abs(c);
  // The rounding errors fed back, in the units of `value` (the gain / 512) and of A / a[0].
  const double fedBack =
      kUnitRoundoff * coefficientSum / std::abs(a[0]) * leadingSum * kTransformScale;
  const auto& rotations = DisplayRotations();
  const auto order = a.size() - 1;
  for (int k = 0; k < kDisplayPoints; ++k) {
    if (!(gains[k] > shown)) continue;
    Complex sum{a[order] / a[0], 0.0};
    for (std::size_t i = order; i-- > 0;) {
      sum = Add(Multiply(sum, rotations[k]), Complex{a[i] / a[0], 0.0});
    }
    // Compared squared: a magnitude divides and takes a root at every point.
    const double bound = kRoundingShare * gains[k];
    if (fedBack * fedBack > bound * bound * (sum.re * sum.re + sum.im * sum.im)) return true;
  }
  return false;
}

using Wide = std::complex<long double>;

struct PolynomialValue {
  Wide sum;       // sum c[k] w^k
  Wide weighted;  // sum k c[k] w^k
};

// Horner's rule in w for both sums of c[0..order], in extended precision: near a cluster of
// roots (the poles of a narrow band near 0 Hz or half the sampling frequency) the sums cancel
// to a small part of their terms.
PolynomialValue EvaluateAt(std::span<const double> c, int order, Wide w) {
  Wide sum{c[order], 0.0L};
  Wide derivative{};
  for (int k = order - 1; k >= 0; --k) {
    derivative = derivative * w + sum;
    sum = sum * w + Wide{c[k], 0.0L};
  }
  return {sum, derivative * w};
}

// H = B(w) / A(w) at w = e^-jw_k, and its delay Re{w B'(w) / B(w)} - Re{w A'(w) / A(w)}.
void TransferFunction(std::span<const double> b, std::span<const double> a, int order,
                      DisplaySpectrum& result) {
  constexpr long double kTwoPiWide = 6.283185307179586476925286766559L;
  for (int k = 0; k < kDisplayPoints; ++k) {
    const long double angle = kTwoPiWide * k / kSimulationSamples;
    const Wide w{std::cos(angle), -std::sin(angle)};
    const PolynomialValue num = EvaluateAt(b, order, w);
    const PolynomialValue den = EvaluateAt(a, order, w);
    const Wide h = num.sum / den.sum;
    result.value[k] = {static_cast<double>(h.real()) * kTransformScale,
                       static_cast<double>(h.imag()) * kTransformScale};
    result.delaySamples[k] =
        static_cast<double>((num.weighted / num.sum).real() - (den.weighted / den.sum).real());
  }
  GuardDelay(result);
}

}  // namespace

double ReferenceGain(BandType band, std::span<const double> gains) {
  double largest = kLargestStart;
  for (const double gain : gains) {
    if (gain > largest) largest = gain;
  }
  double reference = largest;
  if (band == BandType::LowPass) {
    reference = gains[0];
  } else if (band == BandType::HighPass) {
    reference = gains[kDisplayPoints / 2 - 1];
  }
  // A filter without gain at its reference point is drawn relative to its largest gain.
  if (!(reference > 0.0) || !std::isfinite(reference)) reference = largest;
  return reference;
}

void ComputeSampledSpectrum(std::span<const double> impulse, DisplaySpectrum& result) {
  result.delayFromResponse = false;
  Spectrum spectrum{};
  ComputeSpectrum(impulse.first(kSimulationSamples), spectrum);
  std::copy_n(spectrum.begin(), kDisplayPoints, result.value.begin());
}

void ComputeDisplaySpectrum(const FilterSpec& spec, const FilterDesign& design,
                            std::span<const double> impulse, DisplaySpectrum& result) {
  ComputeSampledSpectrum(impulse, result);

  if (spec.filterClass == FilterClass::Fir) {
    if (spec.taps < kFirTapDelayFrom) return;
    std::array<double, kSimulationSamples> weighted{};
    for (int t = 0; t < kSimulationSamples; ++t) weighted[t] = t * impulse[t];
    TransformWithWeights(impulse.first(kSimulationSamples), weighted, result);
    return;
  }

  const int order = std::clamp(spec.effectiveOrder, 0, kMaxCoefficients - 1);
  const auto count = static_cast<std::size_t>(order) + 1;
  const auto b = std::span<const double>(design.numerator).first(count);
  const auto a = std::span<const double>(design.denominator).first(count);
  if (IsQuantized(spec.quantization)) {
    FoldedImpulse folded;
    SimulateIirImpulseFolded(spec, b, a, design.shift, kNegligibleTail, kLongResponseBlocks,
                             folded);
    if (folded.diedOut && folded.blocks == 2) return;
    TransformWithWeights(folded.folded, folded.weighted, result);
    return;
  }
  // The float recursion goes on from the 512 samples for 512 more, where its input is zero.
  std::array<double, 2 * kSimulationSamples> y{};
  std::copy_n(impulse.begin(), kSimulationSamples, y.begin());
  double leadingSum = 0.0;
  for (int t = 0; t < kSimulationSamples; ++t) leadingSum += std::abs(y[t]);
  double tailSum = 0.0;
  for (int t = kSimulationSamples; t < 2 * kSimulationSamples; ++t) {
    // The newest sample enters last, and a[0] = 1 divides not, so that the chain from one
    // sample to the next is one product and one sum.
    double acc = 0.0;
    for (int k = order; k >= 1; --k) acc -= a[k] * y[t - k];
    y[t] = a[0] == 1.0 ? acc : acc / a[0];
    tailSum += std::abs(y[t]);
  }
  const auto tail = std::span<const double>(y).subspan(kSimulationSamples);
  if (!(tailSum > kNegligibleTail * leadingSum) &&
      !FloatCurveMayBeOff(a, tail, leadingSum, tailSum, result.value, spec.bandType)) {
    return;
  }
  TransferFunction(b, a, order, result);
}

}  // namespace qv
