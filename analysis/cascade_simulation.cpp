#include "analysis/cascade_simulation.h"

#include <algorithm>
#include <cstdlib>

#include "records/filter_spec.h"

namespace qv {
namespace {

enum HistoryIndex { kX1 = 0, kX2 = 1, kY1 = 2, kY2 = 3 };

constexpr int kLargestShift = 62;

bool IsZero(const CascadeState& state, int count) {
  for (int s = 0; s < count; ++s) {
    for (const std::int32_t v : state.sections[static_cast<std::size_t>(s)]) {
      if (v != 0) return false;
    }
  }
  return true;
}

// Brent's cycle search on the state of the cascade fed with zeros from `start` on: the period
// of the cycle it falls into and that cycle's largest output, or period 0 when none is found
// within kSettleLimit samples.
CascadeBehaviour FindEndCycle(const FixedPointCascade& cascade, const CascadeState& start) {
  CascadeBehaviour behaviour;
  int ignored = 0;
  CascadeState tortoise = start;
  CascadeState hare = start;
  RunCascadeSample(cascade, hare, 0, ignored);
  int power = 1;
  int period = 1;
  int steps = 1;
  while (!(tortoise == hare)) {
    if (steps >= kSettleLimit) {
      behaviour.settles = false;
      return behaviour;
    }
    if (power == period) {
      tortoise = hare;
      power *= 2;
      period = 0;
    }
    RunCascadeSample(cascade, hare, 0, ignored);
    ++period;
    ++steps;
  }
  if (IsZero(hare, cascade.count)) return behaviour;
  behaviour.settles = false;
  behaviour.cyclePeriod = period;
  for (int t = 0; t < period; ++t) {
    const std::int32_t y = RunCascadeSample(cascade, hare, 0, ignored);
    behaviour.cycleAmplitude = std::max(behaviour.cycleAmplitude, std::abs(y));
  }
  return behaviour;
}

}  // namespace

std::int32_t CascadeFullScale(const FixedPointCascade& cascade) {
  return (std::int32_t{1} << (std::clamp(cascade.wordBits, 2, 16) - 1)) - 1;
}

std::int32_t RunCascadeSample(const FixedPointCascade& cascade, CascadeState& state, std::int32_t x,
                              int& saturations) {
  const std::int32_t high = CascadeFullScale(cascade);
  const std::int32_t low = -high - 1;
  // Kept a valid shift of a 64-bit value whatever the record holds.
  const int shift = std::clamp(cascade.wordBits - 1 - cascade.postShift, 0, kLargestShift);
  const int count = std::clamp(cascade.count, 0, kMaxSections);
  for (int s = 0; s < count; ++s) {
    const FixedPointSection& c = cascade.sections[static_cast<std::size_t>(s)];
    std::array<std::int32_t, 4>& h = state.sections[static_cast<std::size_t>(s)];
    const std::int64_t acc = std::int64_t{c.b0} * x + std::int64_t{c.b1} * h[kX1] +
                             std::int64_t{c.b2} * h[kX2] + std::int64_t{c.a1} * h[kY1] +
                             std::int64_t{c.a2} * h[kY2];
    // An arithmetic shift: the low bits are discarded, rounding toward minus infinity.
    const std::int64_t shifted = acc >> shift;
    std::int32_t y = 0;
    if (shifted > high) {
      y = high;
      ++saturations;
    } else if (shifted < low) {
      y = low;
      ++saturations;
    } else {
      y = static_cast<std::int32_t>(shifted);
    }
    h[kX2] = h[kX1];
    h[kX1] = x;
    h[kY2] = h[kY1];
    h[kY1] = y;
    x = y;
  }
  return x;
}

CascadeResponsePeaks SimulateCascadeStepAndImpulse(const FixedPointCascade& cascade, int count,
                                                   std::span<double> stepOut,
                                                   std::span<double> impulseOut) {
  const auto samples = std::min({static_cast<std::size_t>(std::clamp(count, 0, kSimulationSamples)),
                                 stepOut.size(), impulseOut.size()});
  const std::int32_t amplitude = CascadeFullScale(cascade);
  const double scale = 1.0 / amplitude;
  CascadeResponsePeaks peaks;
  CascadeState step;
  CascadeState impulse;
  int saturations = 0;
  for (std::size_t t = 0; t < samples; ++t) {
    stepOut[t] = RunCascadeSample(cascade, step, amplitude, saturations) * scale;
    impulseOut[t] = RunCascadeSample(cascade, impulse, t == 0 ? amplitude : 0, saturations) * scale;
    peaks.step = std::max(peaks.step, std::abs(stepOut[t]));
    peaks.impulse = std::max(peaks.impulse, std::abs(impulseOut[t]));
  }
  // The search starts right after the impulse, so that it does not depend on `count`.
  CascadeState afterImpulse;
  int counted = 0;
  RunCascadeSample(cascade, afterImpulse, amplitude, counted);
  peaks.behaviour = FindEndCycle(cascade, afterImpulse);
  peaks.behaviour.saturated = saturations > 0;
  return peaks;
}

}  // namespace qv
