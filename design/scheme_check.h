// The check of a design against its tolerance scheme, with the true response of the
// coefficients as designed (the quantised ones when quantised).
#pragma once

#include "records/filter_spec.h"

namespace qv {

// Designs that meet the scheme exactly at its edges (elliptic and Chebyshev II ripples, the
// pass-band edge of a minimum-order design) show the rounding of their double-precision
// coefficients, some millionths of a dB at order 18; a design whose loss exceeds Rp or whose
// attenuation falls short of As by more than this misses.
inline constexpr double kSchemeToleranceDb = 1e-4;

// Losses relative to the largest pass-band gain, so that they do not depend on where the gain
// was normalised.
struct SchemeCheck {
  bool checked = false;     // the design has an active scheme
  bool meets = false;       // both margins at least -kSchemeToleranceDb, no rise between the bands
  double passLossDb = 0.0;  // worst pass-band loss, compared with Rp
  double stopAttenuationDb = 0.0;  // least stop-band attenuation, compared with As
  double passMarginDb = 0.0;       // Rp - passLossDb
  double stopMarginDb = 0.0;       // stopAttenuationDb - As
  // The largest gain between the bands over the largest pass-band gain: a design whose
  // transition rises above its pass band by more than Rp (and kSchemeToleranceDb) misses.
  double transitionRiseDb = 0.0;
};

// Checks the designed `design` of the validated `spec` against spec.scheme: the magnitude on a
// dense grid over every pass and stop band, band edges included, its worst points refined
// between their neighbours. With `stopEarly` the stop band is abandoned at the first point
// that misses (the margins are then not the worst ones), as a search for the order does.
SchemeCheck CheckAgainstScheme(const FilterSpec& spec, const FilterDesign& design,
                               bool stopEarly = false);

}  // namespace qv
