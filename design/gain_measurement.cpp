#include "design/gain_measurement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>

#include "analysis/fourier_spectrum.h"
#include "analysis/zero_placement.h"
#include "records/complex.h"

namespace qv {
namespace {

// Zeros kept ahead of time 0 so that u[t - j] and y[t - j] read 0 before the input starts.
constexpr int kHistoryPad = kTapCapacity;

using Signal = std::array<double, kHistoryPad + kSimulationSamples>;

void FillInput(const FilterSpec& spec, int samples, Signal& u) {
  // fcenter is a pre-warped, analog frequency; the band-pass centre that the bilinear
  // transform maps it to lies at the digital angle of the band-stop zeros. Taken as a digital
  // frequency itself, fcenter would miss the band of designs near half the sampling frequency.
  const double centre = BandCentreAngle(spec.fcenter, static_cast<double>(spec.fsample));
  for (int t = 0; t < samples; ++t) {
    double value = 1.0;
    if (spec.bandType == BandType::HighPass) {
      value = t % 2 == 0 ? 1.0 : -1.0;
    } else if (spec.bandType == BandType::BandPass) {
      value = std::sin(centre * t);
    }
    u[kHistoryPad + t] = value;
  }
}

int MeasuredSamples(const FilterSpec& spec, int points) {
  if (spec.bandType == BandType::BandPass) return kSimulationSamples;
  return std::clamp(points, 1, kSimulationSamples);
}

// The gain read off the outputs y[0..samples-1].
double GainOf(const FilterSpec& spec, std::span<const double> y) {
  for (const double value : y) {
    if (!std::isfinite(value)) return std::numeric_limits<double>::infinity();
  }
  if (spec.bandType != BandType::BandPass) return std::abs(y.back());
  std::array<Complex, kSimulationSamples> spectrum{};
  return 2.0 * ComputeSpectrum(y, spectrum);
}

double MeasureIirGain(const FilterSpec& spec, const FilterDesign& design, int samples) {
  const int m = std::clamp(spec.effectiveOrder, 0, kMaxCoefficients - 1);
  const auto& b = design.numerator;
  const auto& a = design.denominator;
  Signal u{};
  Signal y{};
  FillInput(spec, samples, u);
  for (int t = 0; t < samples; ++t) {
    const int now = kHistoryPad + t;
    double acc = b[0] * u[now];
    for (int j = 1; j <= m; ++j) acc = (b[j] * u[now - j] - a[j] * y[now - j]) + acc;
    y[now] = acc;
  }
  return GainOf(spec, std::span<const double>(y).subspan(kHistoryPad, samples));
}

// Only the outputs that the gain reads are computed: the last one, or all 512 for band pass.
double MeasureFirGain(const FilterSpec& spec, const FilterDesign& design, int samples) {
  const int taps = std::clamp(spec.taps, 0, kMaxTaps);
  const auto& h = design.firTaps;
  Signal u{};
  FillInput(spec, samples, u);
  std::array<double, kSimulationSamples> y{};
  const int first = spec.bandType == BandType::BandPass ? 0 : samples - 1;
  for (int t = first; t < samples; ++t) {
    const int now = kHistoryPad + t;
    double acc = 0.0;
    for (int j = 0; j < taps; ++j) acc += h[j] * u[now - j];
    y[t] = acc;
  }
  return GainOf(spec, std::span<const double>(y).first(samples));
}

}  // namespace

double MeasureGain(const FilterSpec& spec, const FilterDesign& design, int points) {
  const int samples = MeasuredSamples(spec, points);
  if (spec.filterClass == FilterClass::Fir) return MeasureFirGain(spec, design, samples);
  return MeasureIirGain(spec, design, samples);
}

}  // namespace qv
