#include "design/scheme_band.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qv {
namespace {

constexpr int kScanSteps = 64;     // coarse scan of a widened band-stop edge
constexpr int kGoldenSteps = 60;   // golden-section steps refining it
constexpr double kEdgeGap = 1e-9;  // relative distance kept from the stop-band edge

double Selectivity(const AnalogBand& band, BandType type) {
  double nearest = PrototypeFrequency(band, type, band.stop1);
  if (IsBandType(type)) nearest = std::min(nearest, PrototypeFrequency(band, type, band.stop2));
  return nearest;
}

void SetCentre(AnalogBand& band) {
  band.centre = std::sqrt(band.pass1 * band.pass2);
  band.width = band.pass2 - band.pass1;
}

// Largest selectivity for one pass-band edge between `from` and `to` (the other held): a scan,
// then golden sections around the best point of the scan.
void WidenEdge(AnalogBand& band, double AnalogBand::*edge, double from, double to) {
  const auto value = [&](double x) {
    AnalogBand trial = band;
    trial.*edge = x;
    SetCentre(trial);
    return Selectivity(trial, BandType::BandStop);
  };
  double best = from;
  double bestValue = value(from);
  const double step = (to - from) / kScanSteps;
  for (int i = 1; i <= kScanSteps; ++i) {
    const double x = from + step * i;
    const double v = value(x);
    if (v > bestValue) {
      best = x;
      bestValue = v;
    }
  }
  double lo = std::max(std::min(from, to), std::min(best - step, best + step));
  double hi = std::min(std::max(from, to), std::max(best - step, best + step));
  const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
  for (int i = 0; i < kGoldenSteps; ++i) {
    const double x1 = hi - ratio * (hi - lo);
    const double x2 = lo + ratio * (hi - lo);
    if (value(x1) < value(x2)) {
      lo = x1;
    } else {
      hi = x2;
    }
  }
  const double refined = 0.5 * (lo + hi);
  if (value(refined) > bestValue) best = refined;
  band.*edge = best;
  SetCentre(band);
}

}  // namespace

double WarpRadians(double fHz, double fsampleHz) {
  return 2.0 * fsampleHz * std::tan(std::numbers::pi * fHz / fsampleHz);
}

double UnwarpHz(double omega, double fsampleHz) {
  return fsampleHz / std::numbers::pi * std::atan(omega / (2.0 * fsampleHz));
}

double PrototypeFrequency(const AnalogBand& band, BandType type, double omega) {
  const double centre2 = band.centre * band.centre;
  switch (type) {
    case BandType::HighPass:
      return band.pass1 / omega;
    case BandType::BandPass:
      return std::abs(omega * omega - centre2) / (omega * band.width);
    case BandType::BandStop:
      return omega * band.width / std::abs(centre2 - omega * omega);
    default:
      return omega / band.pass1;
  }
}

AnalogBand SchemeAnalogBand(const FilterSpec& spec, bool widenBandStop) {
  const double fs = spec.fsample;
  const ToleranceScheme& scheme = spec.scheme;
  AnalogBand band;
  band.pass1 = WarpRadians(scheme.pass1, fs);
  band.stop1 = WarpRadians(scheme.stop1, fs);
  const bool twoEdges = IsBandType(spec.bandType);
  band.pass2 = twoEdges ? WarpRadians(scheme.pass2, fs) : band.pass1;
  band.stop2 = twoEdges ? WarpRadians(scheme.stop2, fs) : band.stop1;
  SetCentre(band);
  if (spec.bandType == BandType::BandStop && widenBandStop) {
    WidenEdge(band, &AnalogBand::pass1, band.pass1, band.stop1 * (1.0 - kEdgeGap));
    WidenEdge(band, &AnalogBand::pass2, band.stop2 * (1.0 + kEdgeGap), band.pass2);
  }
  band.selectivity = Selectivity(band, spec.bandType);
  return band;
}

}  // namespace qv

namespace qv {

FirBands SchemeFirBands(const FilterSpec& spec) {
  const ToleranceScheme& s = spec.scheme;
  const double fs = spec.fsample;
  const double passGain = std::pow(10.0, spec.ripple / 20.0);
  FirBands out;
  out.deltaPass = (passGain - 1.0) / (passGain + 1.0);
  out.deltaStop = std::pow(10.0, -s.attenuation / 20.0);
  const double stopWeight = out.deltaPass / out.deltaStop;
  const auto add = [&](double low, double high, bool pass) {
    out.bands[out.count++] = {low / fs, high / fs, pass ? 1.0 : 0.0, pass ? 1.0 : stopWeight};
  };
  switch (spec.bandType) {
    case BandType::HighPass:
      add(0.0, s.stop1, false);
      add(s.pass1, 0.5 * fs, true);
      out.narrowestTransition = (s.pass1 - s.stop1) / fs;
      break;
    case BandType::BandPass:
      add(0.0, s.stop1, false);
      add(s.pass1, s.pass2, true);
      add(s.stop2, 0.5 * fs, false);
      out.narrowestTransition = std::min(s.pass1 - s.stop1, s.stop2 - s.pass2) / fs;
      break;
    case BandType::BandStop:
      add(0.0, s.pass1, true);
      add(s.stop1, s.stop2, false);
      add(s.pass2, 0.5 * fs, true);
      out.narrowestTransition = std::min(s.stop1 - s.pass1, s.pass2 - s.stop2) / fs;
      break;
    default:
      add(0.0, s.pass1, true);
      add(s.stop1, 0.5 * fs, false);
      out.narrowestTransition = (s.stop1 - s.pass1) / fs;
      break;
  }
  return out;
}

FirBands EqualTransitions(FirBands bands) {
  for (int b = 0; b + 1 < bands.count; ++b) {
    FirBand& below = bands.bands[static_cast<std::size_t>(b)];
    FirBand& above = bands.bands[static_cast<std::size_t>(b + 1)];
    if (above.low - below.high <= bands.narrowestTransition) continue;
    if (below.desired != 0.0) {
      below.high = above.low - bands.narrowestTransition;
    } else {
      above.low = below.high + bands.narrowestTransition;
    }
  }
  return bands;
}

}  // namespace qv
