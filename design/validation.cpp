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
         model <= 4 && quantization >= 0 && quantization <= 2;
}

// The classic checks, in their order; integer divisions truncate toward zero.
int CheckClassic(const FilterSpec& spec) {
  const bool band = IsBandType(spec.bandType);
  if (spec.model != FilterModel::Rectangle) {
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
  if (spec.filterClass == FilterClass::Iir && !IsIirModel(spec.model)) return kFirModelForIir;
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
};

}  // namespace

int Validate(FilterSpec& spec) {
  int code = CheckClassic(spec);
  if (code == kValid) code = CheckDesignable(spec);
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
