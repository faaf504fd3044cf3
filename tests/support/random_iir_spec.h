// Random IIR specifications for the property tests that run many designs.
#pragma once

#include <random>

#include "records/filter_spec.h"

namespace qv::test {

struct RandomIirRanges {
  int maxLowPassOrder = kMaxOrder;  // low and high pass; band designs take up to kMaxBandOrder
  int maxFsample = 96000;           // Hz, from 1000
  // The cut frequencies lie at least fsample / cutSpacing above 0 and apart, and at most
  // 0.45 fsample.
  int cutSpacing = 50;
};

// Draws the order, the sampling frequency, the two cut frequencies and the ripple (0.1 to 3 dB)
// of `spec`, in that order, for the model and band type it has.
void DrawIirSpec(std::mt19937& random, const RandomIirRanges& ranges, FilterSpec& spec);

}  // namespace qv::test
