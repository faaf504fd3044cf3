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
ValidationCode CheckClassic(const FilterSpec& spec) {
  const bool band = IsBandType(spec.bandType);
  // Kaiser and equiripple designs count taps, not an order, like the rectangle window.
  if (spec.model != FilterModel::Rectangle && spec.model != FilterModel::Kaiser &&
      spec.model != FilterModel::Equiripple) {
    if (spec.model == FilterModel::RaisedCosine) {
      if (spec.rollOff < 0.0 || spec.rollOff > 1.0) return ValidationCode::BadRollOff;
    } else {
      // 64-bit so that 2 x order cannot overflow.
      if (band && 2 * static_cast<std::int64_t>(spec.order) > kMaxOrder)
        return ValidationCode::BandOrderTooHigh;
      if (spec.order > kMaxOrder) return ValidationCode::OrderTooHigh;
    }
  }
  if (band && spec.fcut2 <= spec.fcut1) return ValidationCode::Fc2NotAboveFc1;
  if (spec.model == FilterModel::RaisedCosine) {
    if (!band) {
      if (spec.fsample / 4 <= spec.fcut1) return ValidationCode::RaisedCosineFsTooLow;
    } else {
      const std::int64_t sum = static_cast<std::int64_t>(spec.fcut1) + spec.fcut2;
      if (sum / 4 <= spec.fcut1) return ValidationCode::RaisedCosineFc1TooHigh;
    }
  } else if (!band) {
    if (spec.fsample / 2 <= spec.fcut1 || spec.fsample / 2 <= spec.fcut2) {
      return ValidationCode::FsNotAboveTwiceFcut;
    }
  }
  if (spec.model == FilterModel::Chebyshev && !(spec.ripple > 0.0))
    return ValidationCode::RippleNotPositive;
  if (spec.filterClass == FilterClass::Fir && spec.taps > kMaxTaps)
    return ValidationCode::TooManyTaps;
  return ValidationCode::Valid;
}

// What the classic checks let through but no design can be made of.
ValidationCode CheckDesignable(const FilterSpec& spec) {
  const bool band = IsBandType(spec.bandType);
  if (!IsKnown(spec)) return ValidationCode::UnknownEnumeration;
  if (spec.filterClass == FilterClass::Iir && !IsIirModel(spec.model)) {
    return NeedsScheme(spec.model) ? ValidationCode::WindowModelForIir
                                   : ValidationCode::FirModelForIir;
  }
  if (spec.model == FilterModel::RaisedCosine && std::isnan(spec.rollOff))
    return ValidationCode::BadRollOff;
  if (spec.fsample <= 0) return ValidationCode::FsNotPositive;
  if (spec.fcut1 <= 0 || (band && spec.fcut2 <= 0)) return ValidationCode::CutNotPositive;
  if (IsIirModel(spec.model) && spec.order < 1) return ValidationCode::OrderNotPositive;
  if (spec.filterClass == FilterClass::Fir && spec.taps < 1) return ValidationCode::TapsNotPositive;
  if (band) {
    // The pre-warping tangent turns negative or infinite from half the sampling frequency on.
    if (2 * static_cast<std::int64_t>(spec.fcut2) >= spec.fsample)
      return ValidationCode::FsNotAboveTwiceFc2;
    // The upper raised-cosine transition must end below half the sampling frequency, or its
    // bins would run past the frequency grid.
    if (spec.model == FilterModel::RaisedCosine &&
        2.0 * (spec.fcut2 + spec.rollOff * spec.fcut1) >= spec.fsample) {
      return ValidationCode::RaisedCosineBandTooHigh;
    }
  }
  return ValidationCode::Valid;
}

bool EdgeInside(double edge, double nyquist) { return edge > 0.0 && edge < nyquist; }

// Every comparison is written so that a value that is not a number fails it.
ValidationCode CheckScheme(const FilterSpec& spec) {
  const ToleranceScheme& scheme = spec.scheme;
  if (!scheme.active) {
    return NeedsScheme(spec.model) || scheme.minimumOrder ? ValidationCode::SchemeNeeded
                                                          : ValidationCode::Valid;
  }
  if (scheme.minimumOrder && spec.model == FilterModel::Bessel)
    return ValidationCode::MinimumOrderForBessel;
  if (!(spec.ripple > 0.0)) return ValidationCode::RippleNotPositive;
  if (!(scheme.attenuation > spec.ripple) || !(scheme.attenuation <= kMaxAttenuationDb)) {
    return ValidationCode::AttenuationOutOfRange;
  }
  const bool band = IsBandType(spec.bandType);
  const double nyquist = 0.5 * spec.fsample;
  if (!EdgeInside(scheme.pass1, nyquist) || (band && !EdgeInside(scheme.pass2, nyquist))) {
    return ValidationCode::PassEdgeOutOfRange;
  }
  if (!EdgeInside(scheme.stop1, nyquist) || (band && !EdgeInside(scheme.stop2, nyquist))) {
    return ValidationCode::StopEdgeOutOfRange;
  }
  switch (spec.bandType) {
    case BandType::HighPass:
      return scheme.stop1 < scheme.pass1 ? ValidationCode::Valid
                                         : ValidationCode::HighPassEdgesOutOfOrder;
    case BandType::BandPass:
      return scheme.stop1 < scheme.pass1 && scheme.pass1 < scheme.pass2 &&
                     scheme.pass2 < scheme.stop2
                 ? ValidationCode::Valid
                 : ValidationCode::BandPassEdgesOutOfOrder;
    case BandType::BandStop:
      return scheme.pass1 < scheme.stop1 && scheme.stop1 < scheme.stop2 &&
                     scheme.stop2 < scheme.pass2
                 ? ValidationCode::Valid
                 : ValidationCode::BandStopEdgesOutOfOrder;
    default:
      return scheme.pass1 < scheme.stop1 ? ValidationCode::Valid
                                         : ValidationCode::LowPassEdgesOutOfOrder;
  }
}

struct MessageEntry {
  ValidationCode code;
  const char* format;
  int limit;  // inserted for "%d"; 0 when the text has none
};

constexpr MessageEntry kMessages[] = {
    {ValidationCode::BadRollOff, "Alpha for a Raised Cosine filter must be between 0 and 1\n", 0},
    {ValidationCode::BandOrderTooHigh,
     "Filter order must be smaller than %d for an band pass or an band stop\n", kBandOrderLimit},
    {ValidationCode::OrderTooHigh, "Filter order must be smaller than %d\n", kOrderLimit},
    {ValidationCode::Fc2NotAboveFc1, "Fc2 must be higher than Fc1\n", 0},
    {ValidationCode::RaisedCosineFsTooLow,
     "The sampling frequency must be higher than the quadruple of Fcenter\n", 0},
    {ValidationCode::RaisedCosineFc1TooHigh, "Fc1 must be lower than the half of Fcenter\n", 0},
    {ValidationCode::FsNotAboveTwiceFcut,
     "The sampling frequency must be higher than the double of Fcut\n", 0},
    {ValidationCode::RippleNotPositive, "The band pass ripple must be higher than 0\n", 0},
    {ValidationCode::TooManyTaps, "The N Tap value must be equal or lower than %d\n", kMaxTaps},
    {ValidationCode::UnknownEnumeration,
     "The filter class, type, model or quantization is unknown\n", 0},
    {ValidationCode::FirModelForIir,
     "Rectangle and Raised Cosine models are only available for FIR filters\n", 0},
    {ValidationCode::FsNotPositive, "The sampling frequency must be higher than 0\n", 0},
    {ValidationCode::CutNotPositive, "The cut frequencies must be higher than 0\n", 0},
    {ValidationCode::OrderNotPositive, "Filter order must be higher than 0\n", 0},
    {ValidationCode::TapsNotPositive, "The N Tap value must be higher than 0\n", 0},
    {ValidationCode::FsNotAboveTwiceFc2,
     "The sampling frequency must be higher than the double of Fc2\n", 0},
    {ValidationCode::RaisedCosineBandTooHigh,
     "The sampling frequency must be higher than the double of Fc2 + Alpha * Fc1\n", 0},
    {ValidationCode::SchemeNeeded,
     "The Chebyshev II, Elliptic, Kaiser and Equiripple models and the minimum order need the "
     "pass band and stop band edges and the stop band attenuation\n",
     0},
    {ValidationCode::MinimumOrderForBessel,
     "Minimum order does not apply to Bessel filters, which are chosen for their group delay; "
     "enter the filter order\n",
     0},
    {ValidationCode::AttenuationOutOfRange,
     "The stop band attenuation As must be higher than the pass band ripple and at most %d dB\n",
     static_cast<int>(kMaxAttenuationDb)},
    {ValidationCode::PassEdgeOutOfRange,
     "The pass band edges must be higher than 0 and lower than half the sampling frequency\n", 0},
    {ValidationCode::StopEdgeOutOfRange,
     "The stop band edges must be higher than 0 and lower than half the sampling frequency\n", 0},
    {ValidationCode::LowPassEdgesOutOfOrder,
     "For a low pass the pass band edge must be lower than the stop band edge\n", 0},
    {ValidationCode::HighPassEdgesOutOfOrder,
     "For a high pass the stop band edge must be lower than the pass band edge\n", 0},
    {ValidationCode::BandPassEdgesOutOfOrder,
     "For a band pass the edges must rise as stop band 1, pass band 1, pass band 2, stop band 2\n",
     0},
    {ValidationCode::BandStopEdgesOutOfOrder,
     "For a band stop the edges must rise as pass band 1, stop band 1, stop band 2, pass band 2\n",
     0},
    {ValidationCode::WindowModelForIir,
     "Kaiser and Equiripple models are only available for FIR filters\n", 0},
};

}  // namespace

ValidationCode ValidateScheme(const FilterSpec& spec) { return CheckScheme(spec); }

ValidationCode Validate(FilterSpec& spec) {
  ValidationCode code = CheckClassic(spec);
  if (code == ValidationCode::Valid) code = CheckDesignable(spec);
  if (code == ValidationCode::Valid) code = CheckScheme(spec);
  if (code != ValidationCode::Valid) return code;
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
  return ValidationCode::Valid;
}

std::string ValidationMessage(ValidationCode code) {
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
