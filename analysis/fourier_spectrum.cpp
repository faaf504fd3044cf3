#include "analysis/fourier_spectrum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstddef>
#include <kissfft/kissfft.hh>

#include "records/filter_spec.h"

namespace qv {
namespace {

constexpr int kFftSize = kSimulationSamples;
constexpr int kPackedSize = kFftSize / 2;
constexpr double kPeakStart = -1.7e300;
constexpr double kMinusTwoPi = -6.283185307179586;

using Fft = kissfft<double>;
using Packed = std::array<std::complex<double>, kPackedSize>;

// A real transform of 512 samples is a complex transform of their 256 even/odd pairs plus
// one twiddle pass. The plan allocates its twiddle table, so it is built once when the
// program starts, never while a design runs.
const Fft kPackedPlan(kPackedSize, false);

double MagnitudeOf(Complex x) { return std::sqrt(x.re * x.re + x.im * x.im); }

double LargestMagnitude(std::span<const Complex> spectrum) {
  double peak = kPeakStart;
  for (const Complex& x : spectrum) {
    if (MagnitudeOf(x) > peak) peak = MagnitudeOf(x);
  }
  return peak;
}

// The 512-point transform through the FFT. Bins above 256 are the conjugates of those below,
// as for every real signal.
void FastSpectrum(std::span<const double> samples, std::span<Complex> spectrum) {
  Packed pairs{};
  for (std::size_t k = 0; k < pairs.size(); ++k) pairs[k] = {samples[2 * k], samples[2 * k + 1]};
  Packed half{};
  kPackedPlan.transform_real(reinterpret_cast<const double*>(pairs.data()), half.data());

  constexpr double kSize = kFftSize;
  // transform_real packs the two real bins, 0 and 256, into its first value.
  spectrum[0] = {half[0].real() / kSize, 0.0};
  spectrum[kPackedSize] = {half[0].imag() / kSize, 0.0};
  for (int k = 1; k < kPackedSize; ++k) {
    spectrum[k] = {half[k].real() / kSize, half[k].imag() / kSize};
    spectrum[kFftSize - k] = Conjugate(spectrum[k]);
  }
}

// The direct sum with one cosine and one sine per term, the angle in extended precision.
void DirectSpectrum(std::span<const double> samples, std::span<Complex> spectrum) {
  const auto n = static_cast<int>(samples.size());
  for (int i = 0; i < n; ++i) {
    double re = 0.0;
    double im = 0.0;
    for (int j = 0; j < n; ++j) {
      const long double theta =
          static_cast<long double>(j * i) * static_cast<long double>(kMinusTwoPi) / n;
      re += samples[j] * static_cast<double>(std::cos(theta));
      im += samples[j] * static_cast<double>(std::sin(theta));
    }
    spectrum[i] = {re / n, im / n};
  }
}

}  // namespace

double ComputeSpectrum(std::span<const double> samples, std::span<Complex> spectrum) {
  const std::size_t n =
      std::min({samples.size(), spectrum.size(), static_cast<std::size_t>(kSimulationSamples)});
  const auto used = spectrum.first(n);
  if (n == static_cast<std::size_t>(kFftSize)) {
    FastSpectrum(samples.first(n), used);
  } else {
    DirectSpectrum(samples.first(n), used);
  }
  return LargestMagnitude(used);
}

}  // namespace qv
