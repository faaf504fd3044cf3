#include "analysis/responses.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "analysis/display_spectrum.h"
#include "analysis/simulation.h"
#include "analysis/zero_placement.h"

namespace qv {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kPhaseJump = kPi / 8.0;        // a larger step between points is no slope
constexpr double kPhaseWrap = 3.0 * kPi / 2.0;  // a larger step is a wrap through +-pi
constexpr double kHuge = 1.7e300;
// A magnitude of zero (or too small to express against the reference) is drawn at this level
// rather than as minus infinity.
constexpr double kMagnitudeFloorDb = -300.0;
constexpr float kFlatDelayBand = 0.002f;  // half-width of a flat group delay's range, in units

struct DelayUnit {
  double fromSeconds;  // smallest delay, in seconds, shown in this unit
  std::string_view name;
  float factor;
};
constexpr std::array<DelayUnit, 4> kDelayUnits = {{
    {1.0, "s", 1.0f},
    {0.001, "ms", 1000.0f},
    {0.000001, "us", 1000000.0f},
    {0.0, "ns", 1000000000.0f},
}};

// The simulated sample shown at display point k: trunc(k * columnStep), kept inside the
// simulation even for a scale that no calculation derived.
int SampleAtPoint(int k, float columnStep) {
  const float position = static_cast<float>(k) * columnStep;
  if (!(position >= 0.0f)) {
    return 0;
  }
  if (position >= static_cast<float>(kSimulationSamples - 1)) {
    return kSimulationSamples - 1;
  }
  return static_cast<int>(position);
}

// Fills a time-domain curve from the simulated samples, divided by their peak; a zero (or
// unusable) peak leaves the samples undivided, which are then all zero.
void FillTimeCurve(std::span<const double> samples, double peak, float columnStep, Curve& curve) {
  const bool divide = peak > 0.0 && std::isfinite(peak);
  for (int k = 0; k < kDisplayPoints; ++k) {
    const double value = samples[SampleAtPoint(k, columnStep)];
    curve[k] = divide ? value / peak : value;
  }
}

// 20 log10(magnitude / reference), never below the floor and never infinite. `reference` is
// positive and finite.
double MagnitudeInDb(double magnitude, double reference) {
  if (!(magnitude > 0.0)) {
    return kMagnitudeFloorDb;
  }
  const double ratio = magnitude / reference;
  // The ratio overflows only for a reference far below the smallest normal double; the
  // logarithms taken apart stay finite then.
  const double db = std::isfinite(ratio) ? 20.0 * std::log10(ratio)
                                         : 20.0 * (std::log10(magnitude) - std::log10(reference));
  return std::max(db, kMagnitudeFloorDb);
}

}  // namespace

void ComputeResponses(const FilterSpec& spec, const DisplayScale& scale, const FilterDesign& design,
                      ResponseSet& responses) {
  if (IsIirModel(spec.model)) {
    PlaceIirZeros(spec, responses.zeros);
  }
  responses.cascade = {};

  // Both simulations take 512 samples whatever the analysis length; the coefficient counts are
  // kept within the record's capacities.
  std::array<double, kSimulationSamples> stepSamples{};
  std::array<double, kSimulationSamples> impulseSamples{};
  const bool fir = spec.filterClass == FilterClass::Fir;
  if (fir) {
    const auto h = std::span<const double>(design.firTaps)
                       .first(static_cast<std::size_t>(std::clamp(spec.taps, 1, kMaxTaps)));
    responses.stepPeak = SimulateFirStep(spec, h, design.shift, kSimulationSamples, stepSamples);
    responses.impulsePeak =
        SimulateFirImpulse(spec, h, design.shift, kSimulationSamples, impulseSamples);
  } else {
    const auto count =
        static_cast<std::size_t>(std::clamp(spec.effectiveOrder + 1, 1, kMaxCoefficients));
    const auto b = std::span<const double>(design.numerator).first(count);
    const auto a = std::span<const double>(design.denominator).first(count);
    const IirPeaks peaks = SimulateIirStepAndImpulse(spec, b, a, design.shift, kSimulationSamples,
                                                     stepSamples, impulseSamples);
    responses.stepPeak = peaks.step;
    responses.impulsePeak = peaks.impulse;
  }
  // The transform of the 512 samples, or, where they do not hold the whole response, the
  // response taken from the whole of it.
  DisplaySpectrum display;
  ComputeDisplaySpectrum(spec, design, impulseSamples, display);
  ComputeCurves(spec, scale, stepSamples, impulseSamples, display, responses);
}

void ComputeCurves(const FilterSpec& spec, const DisplayScale& scale,
                   std::span<const double, kSimulationSamples> stepSamples,
                   std::span<const double, kSimulationSamples> impulseSamples,
                   const DisplaySpectrum& display, ResponseSet& responses) {
  FillTimeCurve(stepSamples, responses.stepPeak, scale.columnStep, responses.step);
  FillTimeCurve(impulseSamples, responses.impulsePeak, scale.columnStep, responses.impulse);
  const auto& spectrum = display.value;

  std::array<double, kDisplayPoints> magnitude{};
  for (int k = 0; k < kDisplayPoints; ++k) {
    magnitude[k] = std::sqrt(spectrum[k].re * spectrum[k].re + spectrum[k].im * spectrum[k].im);
  }
  const double reference = ReferenceGain(spec.bandType, magnitude);

  responses.magnitudeMinDb = 0.0;
  responses.magnitudeMaxDb = -kHuge;
  for (int k = 0; k < kDisplayPoints; ++k) {
    const double db = MagnitudeInDb(magnitude[k], reference);
    responses.magnitudeDb[k] = db;
    if (responses.magnitudeMinDb > db) {
      responses.magnitudeMinDb = db;
    }
    if (responses.magnitudeMaxDb < db) {
      responses.magnitudeMaxDb = db;
    }
  }

  Curve& phase = responses.phase;
  for (int k = 1; k < kDisplayPoints; ++k) {
    phase[k] = std::atan2(spectrum[k].im, spectrum[k].re);
  }
  // The transform's phase at 0 Hz is noise for filters without gain there; point 0 follows
  // point 1 only across a jump and otherwise keeps the value it holds.
  if (std::abs(phase[1] - phase[0]) > kPhaseJump) {
    phase[0] = phase[1];
  }

  Curve& delay = responses.groupDelay;
  // Angular frequency between display points, rad/s; a sampling frequency below 2 Hz has no
  // step, and then every delay is 0.
  const double angularStep = static_cast<double>(spec.fsample / 2) * kPi / 128.0;
  responses.groupDelayMin = kHuge;
  responses.groupDelayMax = -kHuge;
  for (int k = 1; k < kDisplayPoints - 1; ++k) {
    const double drop = phase[k] - phase[k + 1];
    if (display.delayFromResponse) {
      // Taken from the response itself; a point without gain holds the value before it.
      const double samples = display.delaySamples[k];
      delay[k] = std::isnan(samples) ? delay[k - 1]
                 : spec.fsample > 0  ? samples / static_cast<double>(spec.fsample)
                                     : 0.0;
    } else if (std::abs(drop) > kPhaseWrap || std::abs(drop) <= kPhaseJump) {
      double slope = drop;
      if (std::abs(drop) > kPhaseWrap) {
        slope = phase[k + 1] > 0.0 ? drop + kTwoPi : drop - kTwoPi;
      }
      delay[k] = angularStep != 0.0 ? slope / angularStep : 0.0;
    } else {
      // The phase jumps by pi at zeros on the unit circle; holding the previous value keeps
      // a spike out of the curve.
      delay[k] = delay[k - 1];
    }
    if (responses.groupDelayMin > delay[k]) {
      responses.groupDelayMin = delay[k];
    }
    if (responses.groupDelayMax < delay[k]) {
      responses.groupDelayMax = delay[k];
    }
  }
  delay[0] = delay[1];
  // The last point is never computed; it repeats its neighbour so that a readout of the last
  // column shows a sensible value.
  delay[kDisplayPoints - 1] = delay[kDisplayPoints - 2];

  const double largestDelay =
      std::max(std::abs(responses.groupDelayMax), std::abs(responses.groupDelayMin));
  const auto unit =
      std::find_if(kDelayUnits.begin(), kDelayUnits.end() - 1,
                   [largestDelay](const DelayUnit& u) { return largestDelay >= u.fromSeconds; });
  responses.groupDelayUnit = unit->name;
  responses.groupDelayFactor = unit->factor;

  // A flat group delay, as of a linear-phase FIR filter, gets a narrow band around it.
  const float band = (1.0f / responses.groupDelayFactor) * kFlatDelayBand;
  if (band > responses.groupDelayMax - responses.groupDelayMin) {
    responses.groupDelayMax += band;
    responses.groupDelayMin -= band;
  }
}

}  // namespace qv
