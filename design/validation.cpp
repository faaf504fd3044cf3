#include "design/validation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace qv {
namespace {

constexpr int kOrderLimit = kMaxOrder + 1;          // shown as "smaller than 20"
constexpr int kBandOrderLimit = kMaxBandOrder + 1;  // shown as "smaller than 10"

bool IsKnown(const FilterSpec& spec) {
  const auto filterClass = static_cast<std::int32_t>(spec.filterClass);
  const auto band = static_cast<std::int32_t>(spec.bandType);
  const auto model = static_cast<std::int32_t>(spec.model);
  const auto quantization = static_cast<std::int32_t>(spec.quantization);
  return filterClass >= 0 && filterClass <= 1 && band >= 0 && band <= 3 && model >= 0 &&
         model <= kLastFilterModel && quantization >= 0 && quantization <= 2;
}

// The classic checks, in their order; integer divisions truncate toward zero.
int CheckClassic(const FilterSpec& spec) {
  const bool band = IsBandType(spec.bandType);
  // Kaiser and equiripple designs count taps, not an order, like the rectangle window.
  if (spec.model != FilterModel::Rectangle && spec.model != FilterModel::Kaiser &&
      spec.model != FilterModel::Equiripple) {
    if (spec.model == FilterModel::RaisedCosine) {
      if (spec.rollOff < 0.0 || spec.rollOff > 1.0) return kBadRollOff;
    } else {
      // 64-bit so that 2 x order cannot overflow.
      if (band && 2 * static_cast<std::int64_t>(spec.order) > kMaxOrder) return kBandOrderTooHigh;
      if (spec.order > kMaxOrder) return kOrderTooHigh;
    }
  }
  if (band && spec.fcut2 <= spec.fcut1) return kFc2NotAboveFc1;
  if (spec.model == FilterModel::RaisedCosine) {
    if (!band) {
      if (spec.fsample / 4 <= spec.fcut1) return kRaisedCosineFsTooLow;
    } else {
      const std::int64_t sum = static_cast<std::int64_t>(spec.fcut1) + spec.fcut2;
      if (sum / 4 <= spec.fcut1) return kRaisedCosineFc1TooHigh;
    }
  } else if (!band) {
    if (spec.fsample / 2 <= spec.fcut1 || spec.fsample / 2 <= spec.fcut2) {
      return kFsNotAboveTwiceFcut;
    }
  }
  if (spec.model == FilterModel::Chebyshev && !(spec.ripple > 0.0)) return kRippleNotPositive;
  if (spec.filterClass == FilterClass::Fir && spec.taps > kMaxTaps) return kTooManyTaps;
  return kValid;
}

// What the classic checks let through but no design can be made of.
int CheckDesignable(const FilterSpec& spec) {
  const bool band = IsBandType(spec.bandType);
  if (!IsKnown(spec)) return kUnknownEnumeration;
  if (spec.filterClass == FilterClass::Iir && !IsIirModel(spec.model)) {
    return NeedsScheme(spec.model) ? kWindowModelForIir : kFirModelForIir;
  }
  if (spec.model == FilterModel::RaisedCosine && std::isnan(spec.rollOff)) return kBadRollOff;
  if (spec.fsample <= 0) return kFsNotPositive;
  if (spec.fcut1 <= 0 || (band && spec.fcut2 <= 0)) return kCutNotPositive;
  if (IsIirModel(spec.model) && spec.order < 1) return kOrderNotPositive;
  if (spec.filterClass == FilterClass::Fir && spec.taps < 1) return kTapsNotPositive;
  if (band) {
    // The pre-warping tangent turns negative or infinite from half the sampling frequency on.
    if (2 * static_cast<std::int64_t>(spec.fcut2) >= spec.fsample) return kFsNotAboveTwiceFc2;
    // The upper raised-cosine transition must end below half the sampling frequency, or its
    // bins would run past the frequency grid.
    if (spec.model == FilterModel::RaisedCosine &&
        2.0 * (spec.fcut2 + spec.rollOff * spec.fcut1) >= spec.fsample) {
      return kRaisedCosineBandTooHigh;
    }
  }
  return kValid;
}

bool EdgeInside(double edge, double nyquist) { return edge > 0.0 && edge < nyquist; }

// Every comparison is written so that a value that is not a number fails it.
int CheckScheme(const FilterSpec& spec) {
  const ToleranceScheme& scheme = spec.scheme;
  if (!scheme.active) {
    return NeedsScheme(spec.model) || scheme.minimumOrder ? kSchemeNeeded : kValid;
  }
  if (scheme.minimumOrder && spec.model == FilterModel::Bessel) return kMinimumOrderForBessel;
  if (!(spec.ripple > 0.0)) return kRippleNotPositive;
  if (!(scheme.attenuation > spec.ripple) || !(scheme.attenuation <= kMaxAttenuationDb)) {
    return kAttenuationOutOfRange;
  }
  const bool band = IsBandType(spec.bandType);
  const double nyquist = 0.5 * spec.fsample;
  if (!EdgeInside(scheme.pass1, nyquist) || (band && !EdgeInside(scheme.pass2, nyquist))) {
    return kPassEdgeOutOfRange;
  }
  if (!EdgeInside(scheme.stop1, nyquist) || (band && !EdgeInside(scheme.stop2, nyquist))) {
    return kStopEdgeOutOfRange;
  }
  switch (spec.bandType) {
    case BandType::HighPass:
      return scheme.stop1 < scheme.pass1 ? kValid : kHighPassEdgesOutOfOrder;
    case BandType::BandPass:
      return scheme.stop1 < scheme.pass1 && scheme.pass1 < scheme.pass2 &&
                     scheme.pass2 < scheme.stop2
                 ? kValid
                 : kBandPassEdgesOutOfOrder;
    case BandType::BandStop:
      return scheme.pass1 < scheme.stop1 && scheme.stop1 < scheme.stop2 &&
                     scheme.stop2 < scheme.pass2
                 ? kValid
                 : kBandStopEdgesOutOfOrder;
    default:
      return scheme.pass1 < scheme.stop1 ? kValid : kLowPassEdgesOutOfOrder;
  }
}

struct MessageEntry {
  int code;
  const char* format;
  int limit;  // inserted for "%d"; 0 when the text has none
};

constexpr MessageEntry kMessages[] = {
    {kBadRollOff, "Alpha for a Raised Cosine filter must be between 0 and 1\n", 0},
    {kBandOrderTooHigh, "Filter order must be smaller than %d for an band pass or an band stop\n",
     kBandOrderLimit},
    {kOrderTooHigh, "Filter order must be smaller than %d\n", kOrderLimit},
    {kFc2NotAboveFc1, "Fc2 must be higher than Fc1\n", 0},
    {kRaisedCosineFsTooLow, "The sampling frequency must be higher than the quadruple of Fcenter\n",
     0},
    {kRaisedCosineFc1TooHigh, "Fc1 must be lower than the half of Fcenter\n", 0},
    {kFsNotAboveTwiceFcut, "The sampling frequency must be higher than the double of Fcut\n", 0},
    {kRippleNotPositive, "The band pass ripple must be higher than 0\n", 0},
    {kTooManyTaps, "The N Tap value must be equal or lower than %d\n", kMaxTaps},
    {kUnknownEnumeration, "The filter class, type, model or quantization is unknown\n", 0},
    {kFirModelForIir, "Rectangle and Raised Cosine models are only available for FIR filters\n", 0},
    {kFsNotPositive, "The sampling frequency must be higher than 0\n", 0},
    {kCutNotPositive, "The cut frequencies must be higher than 0\n", 0},
    {kOrderNotPositive, "Filter order must be higher than 0\n", 0},
    {kTapsNotPositive, "The N Tap value must be higher than 0\n", 0},
    {kFsNotAboveTwiceFc2, "The sampling frequency must be higher than the double of Fc2\n", 0},
    {kRaisedCosineBandTooHigh,
     "The sampling frequency must be higher than the double of Fc2 + Alpha * Fc1\n", 0},
    {kSchemeNeeded,
     "The Chebyshev II, Elliptic, Kaiser and Equiripple models and the minimum order need the "
     "pass band and stop band edges and the stop band attenuation\n",
     0},
    {kMinimumOrderForBessel,
     "Minimum order does not apply to Bessel filters, which are chosen for their group delay; "
     "enter the filter order\n",
     0},
    {kAttenuationOutOfRange,
     "The stop band attenuation As must be higher than the pass band ripple and at most %d dB\n",
     static_cast<int>(kMaxAttenuationDb)},
    {kPassEdgeOutOfRange,
     "The pass band edges must be higher than 0 and lower than half the sampling frequency\n", 0},
    {kStopEdgeOutOfRange,
     "The stop band edges must be higher than 0 and lower than half the sampling frequency\n", 0},
    {kLowPassEdgesOutOfOrder,
     "For a low pass the pass band edge must be lower than the stop band edge\n", 0},
    {kHighPassEdgesOutOfOrder,
     "For a high pass the stop band edge must be lower than the pass band edge\n", 0},
    {kBandPassEdgesOutOfOrder,
     "For a band pass the edges must rise as stop band 1, pass band 1, pass band 2, stop band 2\n",
     0},
    {kBandStopEdgesOutOfOrder,
     "For a band stop the edges must rise as pass band 1, stop band 1, stop band 2, pass band 2\n",
     0},
    {kWindowModelForIir, "Kaiser and Equiripple models are only available for FIR filters\n", 0},
};

}  // namespace

int ValidateScheme(const FilterSpec& spec) { return CheckScheme(spec); }

int Validate(FilterSpec& spec) {
  int code = CheckClassic(spec);
  if (code == kValid) code = CheckDesignable(spec);
  if (code == kValid) code = CheckScheme(spec);
  if (code != kValid) return code;
  if (IsBandType(spec.bandType)) {
    // The rectangle and raised-cosine models never check the order, which nothing of theirs
    // reads; saturating keeps an order left over from another model from overflowing.
    const std::int64_t doubled = 2 * static_cast<std::int64_t>(spec.order);
    spec.effectiveOrder = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(doubled, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
  } else {
    spec.effectiveOrder = spec.order;
    spec.fcut2 = spec.fcut1;
  }
  return kValid;
}

std::string ValidationMessage(int code) {
  for (const MessageEntry& entry : kMessages) {
    if (entry.code != code) continue;
    if (entry.limit == 0) return entry.format;
    constexpr std::size_t kMessageCapacity = 128;
    char text[kMessageCapacity];
    std::snprintf(text, sizeof text, entry.format, entry.limit);
    return text;
  }
  return {};
}

}  // namespace qv
