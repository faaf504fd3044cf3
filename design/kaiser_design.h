// Kaiser-window FIR design: the ideal band response windowed by a Kaiser window whose beta,
// and in minimum-order mode whose length, follow Kaiser's formulas from the scheme.
#pragma once

#include "records/filter_spec.h"

namespace qv {

struct KaiserParameters {
  int taps = 0;       // Kaiser's estimate of the length (may exceed kMaxTaps)
  double beta = 0.0;  // window shape
};

// Kaiser's formulas for the attenuation A (dB) that the scheme asks of both bands,
// max(As, -20 log10 delta_p), and a transition `width` in cycles per sample: beta =
// 0.1102 (A - 8.7) above 50 dB, 0.5842 (A - 21)^0.4 + 0.07886 (A - 21) above 21 dB, else 0;
// taps = ceil((A - 7.95) / (2.285 * 2 pi width) + 1), at least 1.
KaiserParameters KaiserEstimate(double attenuationDb, double width);

// The attenuation A (dB) that a validated `spec` with an active scheme asks of a Kaiser window.
double KaiserAttenuation(const FilterSpec& spec);

// Fills firTaps h[0..taps-1] (unnormalised) of `design` for a validated Kaiser `spec`: cut
// frequencies in the middle of each transition of the scheme.
void DesignKaiser(const FilterSpec& spec, FilterDesign& design);

}  // namespace qv
