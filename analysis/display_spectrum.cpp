#include "analysis/display_spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

#include "analysis/fourier_spectrum.h"
#include "analysis/simulation.h"

namespace qv {
namespace {

// Below this share of the largest gain the ratio that gives the delay is rounding noise; such
// points hold the delay before them, as the phase jumps at zeros on the unit circle do.
constexpr double kDelayGuard = 1e-9;
constexpr double kTransformScale = 1.0 / kSimulationSamples;

using Spectrum = std::array<Complex, kSimulationSamples>;

bool IsQuantized(Quantization quantization) {
  return quantization == Quantization::Signed8 || quantization == Quantization::Signed16;
}

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

void ComputeDisplaySpectrum(const FilterSpec& spec, const FilterDesign& design,
                            std::span<const double> impulse, DisplaySpectrum& result) {
  result.delayFromResponse = false;
  Spectrum spectrum{};
  ComputeSpectrum(impulse.first(kSimulationSamples), spectrum);
  std::copy_n(spectrum.begin(), kDisplayPoints, result.value.begin());

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
  const bool quantized = IsQuantized(spec.quantization);
  FoldedImpulse folded;
  SimulateIirImpulseFolded(spec, b, a, design.shift, kNegligibleTail,
                           quantized ? kLongResponseBlocks : 2, folded);
  if (folded.diedOut && folded.blocks == 2) return;
  if (quantized) {
    TransformWithWeights(folded.folded, folded.weighted, result);
  } else {
    TransferFunction(b, a, order, result);
  }
}

}  // namespace qv
