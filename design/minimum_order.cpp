#include "design/minimum_order.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/kaiser_design.h"
#include "design/order_formulas.h"
#include "design/scheme_band.h"
#include "design/scheme_check.h"
#include "design/validation.h"

namespace qv {
namespace {

constexpr int kEstimateMargin = 16;  // the equiripple estimates are low by up to this many taps
constexpr double kHugeOrder = 1e9;   // reported for a scheme no order of these formulas reaches
constexpr int kMaxWideningHz =
    64;  // the farthest whole-hertz cuts move outward, doubling from 1 Hz

double PowerMinusOne(double db) { return std::expm1(0.1 * db * std::numbers::ln10); }

int Ceiling(double order) {
  if (!(order < kHugeOrder)) return static_cast<int>(kHugeOrder);
  return std::max(1, static_cast<int>(std::ceil(order)));
}

// Validates, designs and checks a trial spec; any refusal counts as missing the scheme.
bool Meets(FilterSpec trial) {
  if (Validate(trial) != ValidationCode::Valid) return false;
  DisplayScale scale;
  DeriveScale(trial, scale);
  FilterDesign design;
  PoleList poles{};
  if (Design(trial, scale, design, poles) != DesignCode::Ok) return false;
  return CheckAgainstScheme(trial, design, true).meets;
}

int OrderLimit(const FilterSpec& spec) {
  return IsBandType(spec.bandType) ? kMaxBandOrder : kMaxOrder;
}

// Tries whole-hertz cut frequencies `c1`, `c2` (Hz); true, with `spec` holding them, when the
// design meets its scheme.
bool TryCuts(FilterSpec& spec, double c1, double c2) {
  const bool band = IsBandType(spec.bandType);
  if (!(c1 >= 1.0 && c2 >= 1.0 && c1 < spec.fsample && c2 < spec.fsample)) return false;
  FilterSpec trial = spec;
  trial.fcut1 = static_cast<std::int32_t>(c1);
  trial.fcut2 = band ? static_cast<std::int32_t>(c2) : trial.fcut1;
  if (!Meets(trial)) return false;
  spec = trial;
  return true;
}

// Whole-hertz cut frequencies around `f1`, `f2` (Hz) of a Butterworth or Chebyshev design of
// order spec.order: the four roundings, the first that meets wins. Where none does (the design
// lands its edges a little off the formula's, by thousandths of a dB), the cuts move outward,
// widening the pass band into the slack the order leaves in the stop band, by 1, 2, 4 ... Hz.
bool RoundCuts(FilterSpec& spec, double f1, double f2) {
  const bool band = IsBandType(spec.bandType);
  for (int choice = 0; choice < (band ? 4 : 2); ++choice) {
    const double c1 = (choice & 1) ? std::ceil(f1) : std::floor(f1);
    const double c2 = (choice & 2) ? std::ceil(f2) : std::floor(f2);
    if (TryCuts(spec, c1, c2)) return true;
  }
  // The direction in which each cut widens the pass band.
  double out1 = -1.0;
  double out2 = 1.0;
  switch (spec.bandType) {
    case BandType::LowPass:
      out1 = 1.0;
      break;
    case BandType::BandStop:
      out1 = 1.0;
      out2 = -1.0;
      break;
    default:
      break;
  }
  const double c1 = out1 > 0.0 ? std::ceil(f1) : std::floor(f1);
  const double c2 = out2 > 0.0 ? std::ceil(f2) : std::floor(f2);
  for (int step = 1; step <= kMaxWideningHz; step *= 2) {
    if (TryCuts(spec, c1 + out1 * step, c2 + out2 * step)) return true;
  }
  return false;
}

// The analog frequencies (rad/s) where the prototype frequency is `w`, under the transform
// of `band` (the band types: the pair around the centre).
void FromPrototype(const AnalogBand& band, BandType type, double w, double& a1, double& a2) {
  const double centre2 = band.centre * band.centre;
  switch (type) {
    case BandType::HighPass:
      a1 = a2 = band.pass1 / w;
      break;
    case BandType::BandPass: {
      const double half = 0.5 * w * band.width;
      a2 = half + std::sqrt(half * half + centre2);
      a1 = centre2 / a2;
      break;
    }
    case BandType::BandStop: {
      const double half = 0.5 * band.width / w;
      a1 = -half + std::sqrt(half * half + centre2);
      a2 = centre2 / a1;
      break;
    }
    default:
      a1 = a2 = band.pass1 * w;
      break;
  }
}

MinimumOrder IirMinimumOrder(FilterSpec& spec) {
  const AnalogBand band = SchemeAnalogBand(spec, true);
  const double rp = spec.ripple;
  const double as = spec.scheme.attenuation;
  double exact = 0.0;
  switch (spec.model) {
    case FilterModel::Butterworth:
      exact = ButterworthOrder(band.selectivity, rp, as);
      break;
    case FilterModel::Elliptic:
      exact = EllipticOrder(band.selectivity, rp, as);
      break;
    default:
      exact = ChebyshevOrder(band.selectivity, rp, as);
      break;
  }
  const int limit = OrderLimit(spec);
  const bool wholeHertz = !NeedsScheme(spec.model);
  for (int n = Ceiling(exact); n <= limit; ++n) {
    FilterSpec trial = spec;
    trial.order = n;
    if (wholeHertz) {
      // Butterworth: the 3 dB frequencies of the order, placed so that the loss at the
      // pass-band edges is the order's share of Rp; should no whole-hertz cuts near those
      // meet (the design lands a little off the formula), those where the loss is Rp itself,
      // from which the search outward has all of the stop band's room. Chebyshev: the
      // pass-band edges.
      const auto cutsMeet = [&](double w) {
        double a1 = 0.0;
        double a2 = 0.0;
        FromPrototype(band, spec.bandType, w, a1, a2);
        return RoundCuts(trial, UnwarpHz(a1, spec.fsample), UnwarpHz(a2, spec.fsample));
      };
      const auto butterworthCut = [n](double rippleDb) {
        return std::pow(PowerMinusOne(rippleDb), -1.0 / (2.0 * n));
      };
      const bool found =
          spec.model == FilterModel::Butterworth
              ? cutsMeet(butterworthCut(
                    SharedLimits(spec.model, n, band.selectivity, {rp, as}).rippleDb)) ||
                    cutsMeet(butterworthCut(rp))
              : cutsMeet(1.0);
      if (found) {
        spec = trial;
        return {MinimumOrderCode::Found, n};
      }
    } else if (Meets(trial)) {
      spec = trial;
      return {MinimumOrderCode::Found, n};
    }
  }
  if (Ceiling(exact) > limit) return {MinimumOrderCode::OrderBeyondLimit, Ceiling(exact)};
  return {MinimumOrderCode::NoOrderMeets, limit};
}

// Only odd counts have gain at half the sampling frequency.
bool OddTapsOnly(BandType band) { return band == BandType::HighPass || band == BandType::BandStop; }

int Admissible(int taps, BandType band) {
  return OddTapsOnly(band) && taps % 2 == 0 ? taps + 1 : taps;
}

// The smallest admissible count from `start` on that meets, searching upward; downward first
// when `start` already meets, so that the one below the answer always misses.
MinimumOrder SearchTaps(FilterSpec& spec, int start, MinimumOrderCode needIfNone) {
  const int step = OddTapsOnly(spec.bandType) ? 2 : 1;
  const auto meetsWith = [&](int taps) {
    FilterSpec trial = spec;
    trial.taps = taps;
    return Meets(trial);
  };
  int taps = std::clamp(Admissible(start, spec.bandType), 1, kMaxTaps);
  if (meetsWith(taps)) {
    while (taps - step >= 1 && meetsWith(taps - step)) taps -= step;
  } else {
    do {
      taps += step;
    } while (taps <= kMaxTaps && !meetsWith(taps));
    if (taps > kMaxTaps) return {needIfNone, std::max(start, kMaxTaps + 1)};
  }
  spec.taps = taps;
  return {MinimumOrderCode::Found, taps};
}

// Kaiser's estimate for equiripple designs, from the deviations and the transition width.
int EquirippleEstimate(const FirBands& bands) {
  const double a = -20.0 * std::log10(std::sqrt(bands.deltaPass * bands.deltaStop));
  return Ceiling((a - 13.0) / (14.6 * bands.narrowestTransition) + 1.0);
}

// Whole-hertz cut frequencies in the middle of the scheme's transitions.
void MiddleCuts(FilterSpec& spec) {
  const ToleranceScheme& s = spec.scheme;
  const auto whole = [](double f) {
    return static_cast<std::int32_t>(std::max(1.0, std::round(f)));
  };
  spec.fcut1 = whole(0.5 * (s.pass1 + s.stop1));
  spec.fcut2 = IsBandType(spec.bandType) ? whole(0.5 * (s.pass2 + s.stop2)) : spec.fcut1;
}

MinimumOrder FirMinimumOrder(FilterSpec& spec) {
  const FirBands bands = SchemeFirBands(spec);
  switch (spec.model) {
    case FilterModel::Kaiser: {
      const int estimate = KaiserEstimate(KaiserAttenuation(spec), bands.narrowestTransition).taps;
      const int taps = Admissible(estimate, spec.bandType);
      if (taps > kMaxTaps) return {MinimumOrderCode::TapsBeyondLimit, taps};
      // Kaiser's formula is an estimate; where its count misses, the search goes on upward.
      FilterSpec trial = spec;
      trial.taps = taps;
      if (Meets(trial)) {
        spec = trial;
        return {MinimumOrderCode::Found, taps};
      }
      return SearchTaps(spec, taps + 1, MinimumOrderCode::NoTapCountMeets);
    }
    case FilterModel::Equiripple: {
      const int estimate = EquirippleEstimate(bands);
      if (estimate > kMaxTaps + kEstimateMargin)
        return {MinimumOrderCode::TapsBeyondLimit, estimate};
      return SearchTaps(spec, std::min(estimate, kMaxTaps), MinimumOrderCode::NoTapCountMeets);
    }
    default:
      MiddleCuts(spec);
      return SearchTaps(spec, 1, MinimumOrderCode::NoTapCountMeets);
  }
}

}  // namespace

MinimumOrder ApplyMinimumOrder(FilterSpec& spec) {
  FilterSpec trial = spec;
  const MinimumOrder found = IsIirModel(trial.model) && trial.filterClass == FilterClass::Iir
                                 ? IirMinimumOrder(trial)
                                 : FirMinimumOrder(trial);
  if (found.code == MinimumOrderCode::Found) spec = trial;
  return found;
}

int PrepareScheme(FilterSpec& spec, MinimumOrder& found) {
  found = {};
  if (const ValidationCode code = ValidateScheme(spec); code != ValidationCode::Valid) {
    return static_cast<int>(code);
  }
  if (!spec.scheme.active) return static_cast<int>(ValidationCode::Valid);
  if (NeedsScheme(spec.model)) {
    const AnalogBand band = SchemeAnalogBand(spec, spec.scheme.minimumOrder);
    const auto whole = [&](double omega) {
      return static_cast<std::int32_t>(std::max(1.0, std::round(UnwarpHz(omega, spec.fsample))));
    };
    spec.fcut1 = whole(band.pass1);
    spec.fcut2 = IsBandType(spec.bandType) ? whole(band.pass2) : spec.fcut1;
  }
  if (!spec.scheme.minimumOrder) return static_cast<int>(ValidationCode::Valid);
  found = ApplyMinimumOrder(spec);
  return static_cast<int>(found.code);
}

std::string MinimumOrderMessage(const MinimumOrder& found) {
  constexpr std::size_t kCapacity = 128;
  char text[kCapacity];
  switch (found.code) {
    case MinimumOrderCode::OrderBeyondLimit:
      std::snprintf(text, sizeof text,
                    "The tolerance scheme needs filter order %d, more than this filter allows\n",
                    found.needed);
      return text;
    case MinimumOrderCode::TapsBeyondLimit:
      std::snprintf(text, sizeof text,
                    "The tolerance scheme needs %d taps; the N Tap value must be equal or lower "
                    "than %d\n",
                    found.needed, kMaxTaps);
      return text;
    case MinimumOrderCode::NoOrderMeets:
      std::snprintf(text, sizeof text,
                    "No filter order up to %d meets the tolerance scheme with this model\n",
                    found.needed);
      return text;
    case MinimumOrderCode::NoTapCountMeets:
      std::snprintf(text, sizeof text,
                    "No N Tap value up to %d meets the tolerance scheme with this model\n",
                    kMaxTaps);
      return text;
    default:
      return {};
  }
}

}  // namespace qv
