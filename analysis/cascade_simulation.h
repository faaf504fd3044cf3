// The exact integer arithmetic of a fixed-point section cascade, sample by sample, and the
// impulse and step responses drawn from it.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "records/fixed_point_cascade.h"

namespace qv {

// The history of every section: x[t-1], x[t-2], y[t-1], y[t-2] (the saturated outputs).
struct CascadeState {
  std::array<std::array<std::int32_t, 4>, kMaxSections> sections{};

  friend bool operator==(const CascadeState&, const CascadeState&) = default;
};

// The largest sample of the word, 2^(wordBits - 1) - 1: the amplitude of the simulated impulse
// and step.
std::int32_t CascadeFullScale(const FixedPointCascade& cascade);

// Runs one input sample x (within the word, as every coefficient is) through every section: the
// products summed in 64 bits, shifted right by wordBits - 1 - postShift (rounding toward minus
// infinity, the low bits discarded), saturated to the word; the state keeps the saturated outputs.
// Adds the number of section outputs that saturated to `saturations`. Returns the last section's
// output.
std::int32_t RunCascadeSample(const FixedPointCascade& cascade, CascadeState& state, std::int32_t x,
                              int& saturations);

// How the simulated output behaved.
struct CascadeBehaviour {
  // The impulse response comes back to a state of all zeros. When it does not, the cascade
  // ends in a limit cycle (a constant output counts: a period of 1) or decays too slowly to
  // settle within kSettleLimit samples (period 0).
  bool settles = true;
  std::int32_t cyclePeriod = 0;     // samples per repetition of the cycle it ends in
  std::int32_t cycleAmplitude = 0;  // largest |output| within that cycle, in word units
  bool saturated = false;  // a section output reached the word's limit in the impulse or step

  friend bool operator==(const CascadeBehaviour&, const CascadeBehaviour&) = default;
};

inline constexpr int kSettleLimit = 1 << 16;  // samples after the impulse searched for a cycle

struct CascadeResponsePeaks {
  double step = 0.0;
  double impulse = 0.0;
  CascadeBehaviour behaviour;
};

// The step and impulse responses of a full-scale input (CascadeFullScale), min(count, 512)
// samples each, divided by that amplitude so that they are in the units of the true filter;
// returns their largest absolute values and the behaviour of the output.
CascadeResponsePeaks SimulateCascadeStepAndImpulse(const FixedPointCascade& cascade, int count,
                                                   std::span<double> stepOut,
                                                   std::span<double> impulseOut);

}  // namespace qv
