// Validation of a FilterSpec before every calculation, with the message of every failure.
#pragma once

#include <string>

#include "records/filter_spec.h"

namespace qv {

// Validation result codes. -20..-28 are the classic checks; -29 onwards refuse what those
// let through but cannot be designed.
enum ValidationCode : int {
  kValid = 0,
  kBadRollOff = -20,
  kBandOrderTooHigh = -21,
  kOrderTooHigh = -22,
  kFc2NotAboveFc1 = -23,
  kRaisedCosineFsTooLow = -24,
  kRaisedCosineFc1TooHigh = -25,
  kFsNotAboveTwiceFcut = -26,
  kRippleNotPositive = -27,
  kTooManyTaps = -28,
  kUnknownEnumeration = -29,
  kFirModelForIir = -30,
  kFsNotPositive = -31,
  kCutNotPositive = -32,
  kOrderNotPositive = -33,
  kTapsNotPositive = -34,
  kFsNotAboveTwiceFc2 = -35,
  kRaisedCosineBandTooHigh = -36,
  // The tolerance scheme, checked last.
  kSchemeNeeded = -60,
  kMinimumOrderForBessel = -61,
  kAttenuationOutOfRange = -62,
  kPassEdgeOutOfRange = -63,
  kStopEdgeOutOfRange = -64,
  kLowPassEdgesOutOfOrder = -65,
  kHighPassEdgesOutOfOrder = -66,
  kBandPassEdgesOutOfOrder = -67,
  kBandStopEdgesOutOfOrder = -68,
  kWindowModelForIir = -69,
};

// The highest stop-band attenuation (dB) a scheme may ask for; beyond it the double-precision
// designs cannot show it.
inline constexpr double kMaxAttenuationDb = 300.0;

// Checks `spec` and returns kValid or the first failing code. The tolerance scheme is checked
// when it is active, or refused as missing for a model that needs one or a minimum order. On
// success only, it sets effectiveOrder (2 x order for band pass/stop, else order) and, for low and
// high pass, fcut2 = fcut1. A failure leaves the record untouched.
int Validate(FilterSpec& spec);

// The tolerance-scheme checks of Validate alone (kValid for a spec without scheme whose model
// needs none), for the minimum-order search, which runs before the order is known.
int ValidateScheme(const FilterSpec& spec);

// The exact message shown for a validation code, the limit (10, 20 or 511) filled in where
// the text has one. Empty for kValid and for codes outside the validation range.
std::string ValidationMessage(int code);

}  // namespace qv
