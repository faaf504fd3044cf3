// Gain measurement: the designed filter run in the time domain on a reference input, giving
// the gain by which the design divides its numerator or taps.
#pragma once

#include "records/filter_spec.h"

namespace qv {

// The gain of the unnormalised float design at its reference frequency, all history starting
// at 0. The IIR class runs y[t] = b[0] u[t] + sum_j (b[j] u[t-j] - a[j] y[t-j]), j = 1..m;
// the FIR class y[t] = sum_j h[j] u[t-j], j = 0..taps-1.
//   Low pass, band stop: u = 1 for `points` samples (1..512); the gain is |y[points - 1]|.
//   High pass: u = +1, -1, +1, ... (half the sampling frequency), likewise.
//   Band pass: 512 samples of u[t] = sin(2 pi fcenter t / fsample); the gain is twice the
//   largest magnitude of their spectrum (the amplitude of the output sine).
// Returns the gain (>= 0), or +infinity when the simulation leaves the range of the reals.
double MeasureGain(const FilterSpec& spec, const FilterDesign& design, int points);

}  // namespace qv
