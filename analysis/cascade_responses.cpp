// The response curves of a fixed-point section cascade: everything the graphs show comes from
// the cascade's own integer arithmetic and its quantised coefficients.
#include <array>

#include "analysis/cascade_roots.h"
#include "analysis/cascade_simulation.h"
#include "analysis/responses.h"

namespace qv {

void ComputeCascadeResponses(const FilterSpec& spec, const DisplayScale& scale,
                             const FilterDesign& design, ResponseSet& responses) {
  // The poles went into the response set with the design's stability check; the zeros are
  // the quantised numerators' own.
  std::array<Complex, kMaxCoefficients> unusedPoles{};
  CascadeRoots(design.cascade, spec.effectiveOrder, responses.zeros, unusedPoles);

  std::array<double, kSimulationSamples> stepSamples{};
  std::array<double, kSimulationSamples> impulseSamples{};
  const CascadeResponsePeaks peaks = SimulateCascadeStepAndImpulse(
      design.cascade, kSimulationSamples, stepSamples, impulseSamples);
  responses.stepPeak = peaks.step;
  responses.impulsePeak = peaks.impulse;
  responses.cascade = peaks.behaviour;
  // The cascade's 512 samples are its graphs, as simulated.
  DisplaySpectrum display;
  ComputeSampledSpectrum(impulseSamples, display);
  ComputeCurves(spec, scale, stepSamples, impulseSamples, display, responses);
}

}  // namespace qv
