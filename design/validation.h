// Validation of a FilterSpec before every calculation, with the message of every failure.
#pragma once

#include <string>

#include "records/filter_spec.h"

namespace qv {

// Validation result codes. -20..-28 are the classic checks; -29 onwards refuse what those
// let through but cannot be designed.
enum class ValidationCode : int {
  Valid = 0,
  BadRollOff = -20,
  BandOrderTooHigh = -21,
  OrderTooHigh = -22,
  Fc2NotAboveFc1 = -23,
  RaisedCosineFsTooLow = -24,
  RaisedCosineFc1TooHigh = -25,
  FsNotAboveTwiceFcut = -26,
  RippleNotPositive = -27,
  TooManyTaps = -28,
  UnknownEnumeration = -29,
  FirModelForIir = -30,
  FsNotPositive = -31,
  CutNotPositive = -32,
  OrderNotPositive = -33,
  TapsNotPositive = -34,
  FsNotAboveTwiceFc2 = -35,
  RaisedCosineBandTooHigh = -36,
  // The tolerance scheme, checked last.
  SchemeNeeded = -60,
  MinimumOrderForBessel = -61,
  AttenuationOutOfRange = -62,
  PassEdgeOutOfRange = -63,
  StopEdgeOutOfRange = -64,
  LowPassEdgesOutOfOrder = -65,
  HighPassEdgesOutOfOrder = -66,
  BandPassEdgesOutOfOrder = -67,
  BandStopEdgesOutOfOrder = -68,
  WindowModelForIir = -69,
};

// The highest stop-band attenuation (dB) a scheme may ask for; beyond it the double-precision
// designs cannot show it.
inline constexpr double kMaxAttenuationDb = 300.0;

// Checks `spec` and returns ValidationCode::Valid or the first failing code. The tolerance scheme
// is checked when it is active, or refused as missing for a model that needs one or a minimum
// order. On success only, it sets effectiveOrder (2 x order for band pass/stop, else order) and,
// for low and high pass, fcut2 = fcut1. A failure leaves the record untouched.
[[nodiscard]] ValidationCode Validate(FilterSpec& spec);

// The tolerance-scheme checks of Validate alone (ValidationCode::Valid for a spec without scheme
// whose model needs none), for the minimum-order search, which runs before the order is known.
[[nodiscard]] ValidationCode ValidateScheme(const FilterSpec& spec);

// The exact message shown for a validation code, the limit (10, 20 or 511) filled in where
// the text has one. Empty for ValidationCode::Valid and for codes outside the validation range.
std::string ValidationMessage(ValidationCode code);

}  // namespace qv
