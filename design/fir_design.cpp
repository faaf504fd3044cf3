#include "design/fir_design.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#include "analysis/fourier_spectrum.h"
#include "analysis/simulation.h"
#include "records/complex.h"

namespace qv {
namespace {

constexpr int kHalfBins = kFrequencyBins / 2;
constexpr double kHalfPi = 3.141592653589793 / 2.0;

struct BandLevels {
  double low;   // below the first edge
  double mid;   // between the edges
  double high;  // above the last edge, up to half the sampling frequency
};

BandLevels LevelsOf(BandType band) {
  switch (band) {
    case BandType::HighPass:
      return {0.0, 1.0, 1.0};
    case BandType::BandPass:
      return {0.0, 1.0, 0.0};
    case BandType::BandStop:
      return {1.0, 0.0, 1.0};
    default:
      return {1.0, 0.0, 0.0};
  }
}

// A bin index kept on the grid; edges beyond it only ever covered bins that the mirror
// overwrites, so clipping them changes nothing that is kept.
int OnGrid(std::int64_t bin) {
  return static_cast<int>(std::clamp<std::int64_t>(bin, 0, kFrequencyBins));
}

// 1 + trunc(value) for a non-negative bin position, kept on the grid.
int EdgeAfter(double position) {
  if (!(position >= 0.0)) return 1;
  if (position >= kFrequencyBins) return kFrequencyBins;
  return 1 + static_cast<int>(position);
}

void Fill(FrequencyGrid& h, int from, int to, double value) {
  for (int j = std::max(from, 0); j < std::min(to, kFrequencyBins); ++j) h[j] = value;
}

void Mirror(FrequencyGrid& h) {
  for (int j = 0; j < kHalfBins; ++j) h[kFrequencyBins - 1 - j] = h[j];
}

void LayOutRectangle(const FilterSpec& spec, FrequencyGrid& h) {
  const BandLevels levels = LevelsOf(spec.bandType);
  const std::int64_t fsample = spec.fsample;
  const int k1 = OnGrid(std::int64_t{spec.fcut1} * kFrequencyBins / fsample);
  const int k2 = OnGrid(std::int64_t{spec.fcut2} * kFrequencyBins / fsample);
  Fill(h, 0, k1, levels.low);
  Fill(h, k1, k2, levels.mid);
  Fill(h, k2, kHalfBins, levels.high);
  Mirror(h);
}

// The sampling frequency enters the bin edges, and the transition frequencies of low pass
// and band stop, as a 32-bit float; high pass and band pass place their transition
// frequencies with the exact integer.
void LayOutRaisedCosine(const FilterSpec& spec, FrequencyGrid& h) {
  const BandLevels levels = LevelsOf(spec.bandType);
  const double fs = static_cast<float>(spec.fsample);
  const double alpha = spec.rollOff;
  const double fcut1 = spec.fcut1;
  const double fcut2 = spec.fcut2;
  const double bins = kFrequencyBins;
  const bool rising = spec.bandType == BandType::HighPass || spec.bandType == BandType::BandPass;
  const double transitionFs = rising ? static_cast<double>(spec.fsample) : fs;

  const int k1 = EdgeAfter(bins * fcut1 * (1.0 - alpha) / fs);
  Fill(h, 0, k1, levels.low);
  const int k2 = EdgeAfter(bins * fcut1 * (1.0 + alpha) / fs);
  for (int j = k1; j < std::min(k2, kFrequencyBins); ++j) {
    const double f = j * transitionFs / bins;
    const double r =
        0.5 * (1.0 + std::cos((f - fcut1 * (1.0 - alpha)) * kHalfPi / (fcut1 * alpha)));
    h[j] = rising ? 1.0 - r : r;
  }
  int top = k2;
  if (IsBandType(spec.bandType)) {
    const int k3 = EdgeAfter(bins * (fcut2 - alpha * fcut1) / fs);
    Fill(h, k2, k3, levels.mid);
    const int k4 = EdgeAfter(bins * (fcut2 + alpha * fcut1) / fs);
    for (int j = k3; j < std::min(k4, kFrequencyBins); ++j) {
      h[j] = h[std::max(k2 - 1 - (j - k3), 0)];
    }
    top = k4;
  }
  Fill(h, top, kHalfBins, levels.high);
  Mirror(h);
}

// The magnitude of the IIR filter itself, from its float impulse response.
void LayOutIirMagnitude(const FilterSpec& spec, const FilterDesign& design, FrequencyGrid& h) {
  FilterSpec floatSpec = spec;
  floatSpec.quantization = Quantization::Float;
  std::array<double, kSimulationSamples> impulse{};
  SimulateIirImpulse(floatSpec, design.numerator, design.denominator, 0, kSimulationSamples,
                     impulse);
  std::array<Complex, kSimulationSamples> spectrum{};
  ComputeSpectrum(impulse, spectrum);
  for (int k = 0; k < kFrequencyBins; ++k) {
    h[k] = std::sqrt(spectrum[k].re * spectrum[k].re + spectrum[k].im * spectrum[k].im);
  }
}

}  // namespace

void LayOutDesiredResponse(const FilterSpec& spec, const FilterDesign& design, FrequencyGrid& h) {
  h.fill(0.0);
  if (spec.fsample <= 0) return;
  switch (spec.model) {
    case FilterModel::Rectangle:
      LayOutRectangle(spec, h);
      break;
    case FilterModel::RaisedCosine:
      LayOutRaisedCosine(spec, h);
      break;
    default:
      LayOutIirMagnitude(spec, design, h);
      break;
  }
}

void DesignFir(const FilterSpec& spec, FilterDesign& design) {
  FrequencyGrid desired{};
  LayOutDesiredResponse(spec, design, desired);

  // The cosine transform h[i] = (1/512) sum_k H[511 - k] cos(2 pi i k / 512) is the real part
  // of the forward transform of the reversed grid, since the cosine is even.
  std::array<double, kFrequencyBins> reversed{};
  for (int k = 0; k < kFrequencyBins; ++k) reversed[k] = desired[kFrequencyBins - 1 - k];
  std::array<Complex, kFrequencyBins> transform{};
  ComputeSpectrum(reversed, transform);

  const int n = std::clamp(spec.taps, 0, kMaxTaps);
  const int half = n / 2;
  if (n % 2 == 1) {
    for (int q = 0; q <= half; ++q) {
      design.firTaps[half - q] = transform[q].re;
      design.firTaps[half + q] = transform[q].re;
    }
  } else if (n > 0) {
    for (int q = 0; q < half; ++q) {
      design.firTaps[half - 1 - q] = transform[q].re;
      design.firTaps[half - 1 + q] = transform[q].re;
    }
    design.firTaps[n - 1] = transform[half].re;
  }
}

}  // namespace qv
