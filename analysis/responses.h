// The six curves of a calculated design with their ranges, units and peaks.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "analysis/cascade_simulation.h"
#include "analysis/display_spectrum.h"
#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

using Curve = std::array<double, kDisplayPoints>;

struct ResponseSet {
  std::string_view groupDelayUnit = "s";  // "s", "ms", "us" or "ns"
  float groupDelayFactor = 1.0f;          // seconds to groupDelayUnit
  double magnitudeMinDb = 0.0;            // never above 0
  double magnitudeMaxDb = 0.0;
  Curve magnitudeDb{};                            // dB relative to the reference gain
  Curve phase{};                                  // radians, -pi..pi
  double groupDelayMin = 0.0;                     // seconds
  double groupDelayMax = 0.0;                     // seconds
  Curve groupDelay{};                             // seconds
  std::array<Complex, kMaxCoefficients> zeros{};  // first effectiveOrder valid (IIR models)
  std::array<Complex, kMaxCoefficients> poles{};  // written by the design's stability check
  double impulsePeak = 0.0;
  Curve impulse{};  // divided by impulsePeak
  double stepPeak = 0.0;
  Curve step{};                // divided by stepPeak
  CascadeBehaviour cascade{};  // the simulated output of a fixed-point cascade; else the default

  friend bool operator==(const ResponseSet&, const ResponseSet&) = default;
};

// Computes every field of `responses` but `poles` from a successfully designed filter (`cascade`
// gets its default).
void ComputeResponses(const FilterSpec& spec, const DisplayScale& scale, const FilterDesign& design,
                      ResponseSet& responses);

// The curves of the simulated step and impulse responses (512 samples each, whose peaks are
// already in responses.stepPeak and responses.impulsePeak) and of the response at the display
// frequencies (`display`): the time curves, magnitude, phase and group delay with their ranges
// and units.
void ComputeCurves(const FilterSpec& spec, const DisplayScale& scale,
                   std::span<const double, kSimulationSamples> stepSamples,
                   std::span<const double, kSimulationSamples> impulseSamples,
                   const DisplaySpectrum& display, ResponseSet& responses);

// ComputeResponses for a design that UsesFixedPointSections: the zeros of the quantised
// sections, and the curves of the cascade's exact integer simulation (design.cascade), whose
// behaviour goes into responses.cascade.
void ComputeCascadeResponses(const FilterSpec& spec, const DisplayScale& scale,
                             const FilterDesign& design, ResponseSet& responses);

}  // namespace qv
