// FIR design by frequency sampling: desired magnitude on 512 bins, cosine transform, taps.
#pragma once

#include <array>

#include "records/filter_spec.h"

namespace qv {

// Desired magnitude per bin; bin j stands for j x fsample / 512 Hz.
using FrequencyGrid = std::array<double, kFrequencyBins>;

// Lays out the desired magnitude H[0..511] of a validated FIR spec: the brick wall of the
// rectangle model, the raised-cosine transitions (alpha = rollOff), or, for the IIR models,
// the sampled magnitude of the unnormalised numerator and denominator in `design` (the
// 512-sample float impulse response through ComputeSpectrum, so H[k] is the gain / 512).
// Rectangle and raised cosine are mirrored, H[511 - j] = H[j].
void LayOutDesiredResponse(const FilterSpec& spec, const FilterDesign& design, FrequencyGrid& h);

// Fills firTaps h[0..taps-1] (unnormalised) of `design` for a validated FIR spec. For the IIR
// models it reads the unnormalised numerator and denominator that DesignIir left in `design`.
// The taps are the middle of the cosine transform of the desired magnitude: symmetric about
// the centre tap for an odd count; for an even count 2M symmetric about tap M - 1 but for the
// last tap.
void DesignFir(const FilterSpec& spec, FilterDesign& design);

}  // namespace qv
