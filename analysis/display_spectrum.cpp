#include "analysis/display_spectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/fourier_spectrum.h"
#include "analysis/simulation.h"

namespace qv {
namespace {

constexpr double kTwoPi = 6.283185307179586;
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

struct PolynomialValue {
  Complex sum;       // sum c[k] w^k
  Complex weighted;  // sum k c[k] w^k
};

// Horner's rule in w for both sums of c[0..order].
PolynomialValue EvaluateAt(std::span<const double> c, int order, Complex w) {
  Complex sum{c[order], 0.0};
  Complex derivative{};
  for (int k = order - 1; k >= 0; --k) {
    derivative = derivative * w + sum;
    sum = sum * w + Complex{c[k], 0.0};
  }
  return {sum, derivative * w};
}

// H = B(w) / A(w) at w = e^-jw_k, and its delay Re{w B'(w) / B(w)} - Re{w A'(w) / A(w)}.
void TransferFunction(std::span<const double> b, std::span<const double> a, int order,
                      DisplaySpectrum& result) {
  for (int k = 0; k < kDisplayPoints; ++k) {
    const double angle = kTwoPi * k / kSimulationSamples;
    const Complex w{std::cos(angle), -std::sin(angle)};
    const PolynomialValue num = EvaluateAt(b, order, w);
    const PolynomialValue den = EvaluateAt(a, order, w);
    result.value[k] = kTransformScale * Divide(num.sum, den.sum);
    result.delaySamples[k] =
        Divide(num.weighted, num.sum).re - Divide(den.weighted, den.sum).re;
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
