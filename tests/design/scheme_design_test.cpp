// The tolerance scheme against scipy: minimum orders equal to buttord, cheb1ord, cheb2ord and
// ellipord, Kaiser lengths and betas equal to kaiserord, equiripple taps next to remez; and the
// properties that every minimum-order design meets its scheme and one order less does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <span>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/equiripple_design.h"
#include "design/kaiser_design.h"
#include "design/minimum_order.h"
#include "design/order_formulas.h"
#include "design/scheme_band.h"
#include "design/scheme_check.h"
#include "design/validation.h"
#include "engine/calculate.h"

namespace qv {
namespace {

struct SchemeCase {
  int band;
  double fs, rp, as, pass1, pass2, stop1, stop2;
  int buttord, cheb1ord, cheb2ord, ellipord, kaiserTaps;
  double kaiserBeta;
};

struct EquirippleCase {
  int band;
  double fs, rp, as, pass1, pass2, stop1, stop2;
  int taps, first;
};

#include "scheme_golden.inc"

FilterSpec SpecOf(int band, double fs, double rp, double as, double p1, double p2, double s1,
                  double s2) {
  FilterSpec spec;
  spec.bandType = static_cast<BandType>(band);
  spec.fsample = static_cast<std::int32_t>(fs);
  spec.ripple = rp;
  spec.scheme = {.active = true,
                 .minimumOrder = true,
                 .pass1 = p1,
                 .pass2 = p2,
                 .stop1 = s1,
                 .stop2 = s2,
                 .attenuation = as};
  return spec;
}

FilterSpec SpecOf(const SchemeCase& c) {
  return SpecOf(c.band, c.fs, c.rp, c.as, c.pass1, c.pass2, c.stop1, c.stop2);
}

// The full calculation of `spec` as it stands, and its check.
SchemeCheck Calculated(const FilterSpec& spec, int& code) {
  const CalculateOutcome outcome = Calculate(spec).outcome;
  code = outcome.code;
  return outcome.scheme;
}

TEST(SchemeOrders, FormulasMatchScipy) {
  int lowerBandStop = 0;
  for (const SchemeCase& c : kSchemeCases) {
    const FilterSpec spec = SpecOf(c);
    const double w = SchemeAnalogBand(spec, true).selectivity;
    const int orders[] = {
        static_cast<int>(std::ceil(ButterworthOrder(w, c.rp, c.as))),
        static_cast<int>(std::ceil(ChebyshevOrder(w, c.rp, c.as))),
        static_cast<int>(std::ceil(ChebyshevOrder(w, c.rp, c.as))),
        static_cast<int>(std::ceil(EllipticOrder(w, c.rp, c.as))),
    };
    const int scipy[] = {c.buttord, c.cheb1ord, c.cheb2ord, c.ellipord};
    for (int k = 0; k < 4; ++k) {
      if (spec.bandType == BandType::BandStop) {
        // The widened pass band may reach one order lower than scipy's search of it.
        EXPECT_TRUE(orders[k] == scipy[k] || orders[k] == scipy[k] - 1)
            << "model " << k << " fs " << c.fs << " pass " << c.pass1 << " stop " << c.stop1;
        lowerBandStop += orders[k] < scipy[k];
      } else {
        EXPECT_EQ(orders[k], scipy[k]) << "model " << k << " band " << c.band << " fs " << c.fs
                                       << " pass " << c.pass1 << " stop " << c.stop1;
      }
    }
  }
  RecordProperty("BandStopOneLower", lowerBandStop);
}

TEST(SchemeOrders, KaiserMatchesKaiserord) {
  for (const SchemeCase& c : kSchemeCases) {
    const FilterSpec spec = SpecOf(c);
    const FirBands bands = SchemeFirBands(spec);
    const KaiserParameters k = KaiserEstimate(KaiserAttenuation(spec), bands.narrowestTransition);
    EXPECT_EQ(k.taps, c.kaiserTaps) << c.fs << " " << c.pass1;
    EXPECT_NEAR(k.beta, c.kaiserBeta, 1e-12 * std::max(1.0, c.kaiserBeta));
  }
}

// The limits a minimum-order design is made to: an order at or above
// the formula's reaches its discrimination exactly at the scheme's selectivity (so the stop edge
// falls on the scheme's), with the gain shared evenly between the two deviations, neither limit
// looser than the scheme's; below the formula's order the scheme's limits stand.
TEST(SchemeOrders, SharedLimitsReachTheOrderExactly) {
  const auto power = [](double db) { return std::expm1(0.1 * db * std::numbers::ln10); };
  int shared = 0;
  for (const SchemeCase& c : kSchemeCases) {
    const FilterSpec spec = SpecOf(c);
    const double w = SchemeAnalogBand(spec, true).selectivity;
    for (const FilterModel model :
         {FilterModel::Butterworth, FilterModel::ChebyshevII, FilterModel::Elliptic}) {
      const auto order = [&](const PrototypeLimits& l) {
        switch (model) {
          case FilterModel::Butterworth:
            return ButterworthOrder(w, l.rippleDb, l.attenuationDb);
          case FilterModel::Elliptic:
            return EllipticOrder(w, l.rippleDb, l.attenuationDb);
          default:
            return ChebyshevOrder(w, l.rippleDb, l.attenuationDb);
        }
      };
      const PrototypeLimits scheme{c.rp, c.as};
      const double exact = order(scheme);
      const int first = static_cast<int>(std::ceil(exact));
      if (first > kMaxOrder) continue;
      if (first > 1) {
        const PrototypeLimits below = SharedLimits(model, first - 1, w, scheme);
        EXPECT_EQ(below.rippleDb, c.rp);
        EXPECT_EQ(below.attenuationDb, c.as);
      }
      for (int n = first; n <= std::min(first + 1, kMaxOrder); ++n) {
        const PrototypeLimits l = SharedLimits(model, n, w, scheme);
        ASSERT_LE(l.rippleDb, c.rp) << c.fs << " " << c.pass1 << " n " << n;
        ASSERT_GE(l.attenuationDb, c.as) << c.fs << " " << c.pass1 << " n " << n;
        const double passShift = std::log(power(c.rp) / power(l.rippleDb));
        const double stopShift = std::log(power(l.attenuationDb) / power(c.as));
        EXPECT_NEAR(passShift, stopShift, 1e-9 * std::max(1.0, stopShift));
        // Up to the 30 dB shared on each side, the order is met exactly; beyond it the rest of
        // the gain is left in the transition band.
        if (stopShift < 30.0 * std::numbers::ln10 / 10.0 - 1e-9) {
          EXPECT_NEAR(order(l), n, 1e-6 * n) << c.fs << " " << c.pass1 << " n " << n;
          ++shared;
        } else {
          EXPECT_LT(order(l), n);
        }
      }
    }
  }
  EXPECT_GT(shared, static_cast<int>(std::size(kSchemeCases)));
}

// Every tenth scheme per band and model: the minimum-order design meets its scheme by its
// true response, one order less misses, and an order beyond the limit is reported as needed.
struct ModelCase {
  const char* name;
  FilterModel model;
  int SchemeCase::*scipy;
};

class MinimumOrderProperty : public ::testing::TestWithParam<ModelCase> {};

// Every tenth committed scheme; the sanitizer build, some twenty times slower at these searches,
// takes every fortieth: what it looks for does not depend on the scheme's numbers.
#ifdef QUORVANEL_SANITIZED_BUILD
constexpr std::size_t kMinimumOrderStride = 40;
#else
constexpr std::size_t kMinimumOrderStride = 10;
#endif

TEST_P(MinimumOrderProperty, MeetsAndOneLessMisses) {
  const ModelCase m = GetParam();
  int checked = 0;
  int noneMeets = 0;
  int widened = 0;
  for (std::size_t i = 0; i < std::size(kSchemeCases); i += kMinimumOrderStride) {
    const SchemeCase& c = kSchemeCases[i];
    FilterSpec spec = SpecOf(c);
    spec.model = m.model;
    const int scipy = c.*m.scipy;
    const int limit = IsBandType(spec.bandType) ? kMaxBandOrder : kMaxOrder;
    MinimumOrder found;
    const int prepared = PrepareScheme(spec, found);
    const MinimumOrderCode code = found.code;
    EXPECT_EQ(prepared, static_cast<int>(code)) << i;  // the scheme itself is valid
    if (scipy > limit) {
      EXPECT_EQ(code, MinimumOrderCode::OrderBeyondLimit) << i;
      if (spec.bandType != BandType::BandStop) {
        EXPECT_EQ(found.needed, scipy) << i;
      }
      continue;
    }
    if (code == MinimumOrderCode::NoOrderMeets ||
        (code == MinimumOrderCode::OrderBeyondLimit && scipy == limit)) {
      // Very selective designs whose coefficient form rounds their stop band above As (or, for
      // Butterworth and Chebyshev band designs, whose root search places the poles too
      // roughly), and whole-hertz cuts that need one order beyond scipy's at the limit: said
      // plainly, never passed off as meeting. Counted below.
      ++noneMeets;
      continue;
    }
    if (code != MinimumOrderCode::Found) {
      ADD_FAILURE() << "scheme " << i << " code " << prepared << " needed " << found.needed
                    << " scipy " << scipy;
      continue;
    }
    const bool wholeHertz = !NeedsScheme(m.model);
    if (spec.bandType == BandType::BandStop) {
      EXPECT_TRUE(spec.order == scipy || spec.order == scipy - 1 ||
                  (wholeHertz && spec.order == scipy + 1))
          << i;
    } else if (wholeHertz && spec.order > scipy + 1) {
      // A pass band a few hertz wide whose whole-hertz cuts land too far off the formula's:
      // the cuts widened into the stop band's slack meet at a higher order. Counted below.
      ++widened;
    } else if (wholeHertz) {
      EXPECT_TRUE(spec.order == scipy || spec.order == scipy + 1) << i;
    } else {
      EXPECT_EQ(spec.order, scipy) << i;
    }
    // A minimum-order design is made to limits that share the order's room (a band stop on
    // its widened pass band), so it is calculated in minimum-order mode, which finds the same
    // order again.
    FilterSpec manual = spec;
    int calculated = 0;
    const SchemeCheck check = Calculated(manual, calculated);
    EXPECT_EQ(calculated, 0) << i;
    EXPECT_TRUE(check.meets) << i << " loss " << check.passLossDb << " attenuation "
                             << check.stopAttenuationDb;
    if (spec.order > 1 && !wholeHertz && spec.bandType != BandType::BandStop) {
      manual.scheme.minimumOrder = false;
      manual.order = spec.order - 1;
      const SchemeCheck less = Calculated(manual, calculated);
      EXPECT_FALSE(calculated == 0 && less.meets) << i;
    }
    ++checked;
  }
  // At least a quarter of the schemes taken are within the limits and designed.
  EXPECT_GT(checked, static_cast<int>(std::size(kSchemeCases) / kMinimumOrderStride / 4));
  EXPECT_LE(noneMeets, checked / 10);
  EXPECT_LE(widened, checked / 50);
  RecordProperty("NoOrderMeets", noneMeets);
  RecordProperty("WidenedAboveScipy", widened);
}

INSTANTIATE_TEST_SUITE_P(
    Models, MinimumOrderProperty,
    ::testing::Values(ModelCase{"Butterworth", FilterModel::Butterworth, &SchemeCase::buttord},
                      ModelCase{"Chebyshev", FilterModel::Chebyshev, &SchemeCase::cheb1ord},
                      ModelCase{"ChebyshevII", FilterModel::ChebyshevII, &SchemeCase::cheb2ord},
                      ModelCase{"Elliptic", FilterModel::Elliptic, &SchemeCase::ellipord}),
    [](const ::testing::TestParamInfo<ModelCase>& test) { return std::string(test.param.name); });

// With 16-bit second-order sections the minimum-order search goes on upward from the float
// design's order until the quantised design meets, which it does for nearly every scheme the
// float design meets; the verdict is the quantised design's own. A float Chebyshev design
// keeps the ripple field's ripple: it is the design of its order and cuts entered by hand.
TEST_P(MinimumOrderProperty, QuantisedSectionsMeet) {
  const ModelCase m = GetParam();
  int floatFound = 0;
  int quantisedFound = 0;
  for (std::size_t i = 0; i < std::size(kSchemeCases); i += 4 * kMinimumOrderStride) {
    FilterSpec spec = SpecOf(kSchemeCases[i]);
    spec.model = m.model;
    MinimumOrder found;
    FilterSpec floatSpec = spec;
    if (PrepareScheme(floatSpec, found) != 0) continue;
    ++floatFound;
    if (m.model == FilterModel::Chebyshev) {
      FilterSpec manual = floatSpec;
      manual.scheme.minimumOrder = false;
      int code = 0;
      EXPECT_EQ(Calculated(floatSpec, code).passLossDb, Calculated(manual, code).passLossDb) << i;
    }
    spec.quantization = Quantization::Signed16;
    spec.structure = IirStructure::Sections;
    FilterSpec quantised = spec;
    if (PrepareScheme(quantised, found) != 0) continue;
    ++quantisedFound;
    EXPECT_GE(quantised.order, floatSpec.order) << i;
    int code = 0;
    const SchemeCheck check = Calculated(spec, code);
    EXPECT_EQ(code, 0) << i;
    EXPECT_TRUE(check.meets) << i << " loss " << check.passLossDb << " attenuation "
                             << check.stopAttenuationDb;
  }
  EXPECT_GT(floatFound, static_cast<int>(std::size(kSchemeCases) / kMinimumOrderStride / 16));
  EXPECT_GE(quantisedFound, floatFound * 9 / 10);
  RecordProperty("FloatFound", floatFound);
  RecordProperty("QuantisedFound", quantisedFound);
}

// The largest weighted deviation of taps `h` over `bands`, on a grid ten times as fine as the
// exchange's.
double WeightedDeviation(std::span<const double> h, const FirBands& bands) {
  double worst = 0.0;
  for (int b = 0; b < bands.count; ++b) {
    const FirBand& band = bands.bands[b];
    constexpr int kPoints = 4000;
    for (int i = 0; i <= kPoints; ++i) {
      const double f = band.low + (band.high - band.low) * i / kPoints;
      double re = 0.0;
      double im = 0.0;
      for (std::size_t k = 0; k < h.size(); ++k) {
        re += h[k] * std::cos(2.0 * 3.141592653589793 * f * static_cast<double>(k));
        im -= h[k] * std::sin(2.0 * 3.141592653589793 * f * static_cast<double>(k));
      }
      worst = std::max(worst, band.weight * std::abs(std::hypot(re, im) - band.desired));
    }
  }
  return worst;
}

// Taps next to remez's at the same length: within 1e-3 of the largest tap, or, where they
// differ, ours the better minimax answer (remez stops when its extremal set repeats). Only
// schemes whose remez answer is a sane filter count: taps no larger than 2 (a transition band
// that blows up makes the taps a matter of rounding) and a deviation that double precision can
// show. A run that does not settle says so with all-zero taps, never with a design.
TEST(Equiripple, TapsNextToRemez) {
  int compared = 0;
  int unsettled = 0;
  for (const EquirippleCase& c : kEquirippleCases) {
    const FilterSpec spec = SpecOf(c.band, c.fs, c.rp, c.as, c.pass1, c.pass2, c.stop1, c.stop2);
    const FirBands bands = SchemeFirBands(spec);
    const auto reference = std::span<const double>(kEquirippleTaps).subspan(c.first, c.taps);
    double largest = 0.0;
    for (const double v : reference) largest = std::max(largest, std::abs(v));
    const double remezDeviation = WeightedDeviation(reference, bands);
    if (largest > 2.0 || remezDeviation < 1e-5) continue;
    std::array<double, kTapCapacity> h{};
    const RemezCode code =
        RemezExchange(c.taps, std::span<const FirBand>(bands.bands).first(bands.count),
                      std::span<double>(h).first(c.taps));
    if (code != RemezCode::Converged) {
      EXPECT_EQ(code, RemezCode::NotConverged) << c.first;
      EXPECT_TRUE(std::all_of(h.begin(), h.end(), [](double v) { return v == 0.0; }));
      ++unsettled;
      continue;
    }
    ++compared;
    double difference = 0.0;
    for (int k = 0; k < c.taps; ++k) {
      difference = std::max(difference, std::abs(h[k] - reference[k]));
      EXPECT_EQ(h[k], h[c.taps - 1 - k]);  // exactly linear phase
    }
    if (difference <= 1e-3 * largest) continue;
    const auto ours = std::span<const double>(h).first(c.taps);
    EXPECT_LE(WeightedDeviation(ours, bands), remezDeviation * (1.0 + 1e-6))
        << "case " << c.first << " differs by " << difference / largest;
  }
  EXPECT_GE(compared, 20);
  EXPECT_LE(unsettled, 2);
  RecordProperty("Unsettled", unsettled);
}

// Minimum taps of the FIR models: the count found meets, the admissible count below misses.
TEST(MinimumTaps, MeetsAndOneLessMisses) {
  const FilterModel models[] = {FilterModel::Kaiser, FilterModel::Equiripple};
  int checked = 0;
  for (std::size_t i = 3; i < std::size(kSchemeCases); i += 37) {
    // Long filters are searched tap by tap; the suite keeps to the shorter ones.
    if (kSchemeCases[i].kaiserTaps > 120) continue;
    for (const FilterModel model : models) {
      FilterSpec spec = SpecOf(kSchemeCases[i]);
      spec.filterClass = FilterClass::Fir;
      spec.model = model;
      MinimumOrder found;
      const int prepared = PrepareScheme(spec, found);
      const MinimumOrderCode code = found.code;
      ASSERT_EQ(prepared, static_cast<int>(code)) << i;  // the scheme itself is valid
      if (code == MinimumOrderCode::TapsBeyondLimit) {
        EXPECT_GT(found.needed, kMaxTaps);
        continue;
      }
      ASSERT_EQ(code, MinimumOrderCode::Found) << i;
      FilterSpec manual = spec;
      manual.scheme.minimumOrder = false;
      int calculated = 0;
      EXPECT_TRUE(Calculated(manual, calculated).meets) << i << " taps " << spec.taps;
      const int step =
          spec.bandType == BandType::HighPass || spec.bandType == BandType::BandStop ? 2 : 1;
      if (model == FilterModel::Equiripple && spec.taps > step) {
        manual.taps = spec.taps - step;
        const SchemeCheck less = Calculated(manual, calculated);
        EXPECT_FALSE(calculated == 0 && less.meets) << i << " taps " << manual.taps;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 10);
}

struct SchemeValidationCase {
  const char* name;
  FilterModel model;
  BandType band;
  ToleranceScheme scheme;
  double ripple;
  ValidationCode expected;
};

const SchemeValidationCase kSchemeValidation[] = {
    {"EllipticWithoutScheme",
     FilterModel::Elliptic,
     BandType::LowPass,
     {},
     1.0,
     ValidationCode::SchemeNeeded},
    {"MinimumOrderWithoutScheme",
     FilterModel::Butterworth,
     BandType::LowPass,
     {.minimumOrder = true},
     1.0,
     ValidationCode::SchemeNeeded},
    {"BesselMinimumOrder",
     FilterModel::Bessel,
     BandType::LowPass,
     {true, true, 100, 0, 200, 0, 40},
     1.0,
     ValidationCode::MinimumOrderForBessel},
    {"RippleZero",
     FilterModel::Elliptic,
     BandType::LowPass,
     {true, false, 100, 0, 200, 0, 40},
     0.0,
     ValidationCode::RippleNotPositive},
    {"AttenuationBelowRipple",
     FilterModel::Elliptic,
     BandType::LowPass,
     {true, false, 100, 0, 200, 0, 0.5},
     1.0,
     ValidationCode::AttenuationOutOfRange},
    {"AttenuationNotANumber",
     FilterModel::Elliptic,
     BandType::LowPass,
     {true, false, 100, 0, 200, 0, std::nan("")},
     1.0,
     ValidationCode::AttenuationOutOfRange},
    {"PassEdgeAtNyquist",
     FilterModel::Elliptic,
     BandType::LowPass,
     {true, false, 500, 0, 200, 0, 40},
     1.0,
     ValidationCode::PassEdgeOutOfRange},
    {"StopEdgeZero",
     FilterModel::Elliptic,
     BandType::HighPass,
     {true, false, 100, 0, 0, 0, 40},
     1.0,
     ValidationCode::StopEdgeOutOfRange},
    {"LowPassReversed",
     FilterModel::Elliptic,
     BandType::LowPass,
     {true, false, 200, 0, 100, 0, 40},
     1.0,
     ValidationCode::LowPassEdgesOutOfOrder},
    {"HighPassReversed",
     FilterModel::Elliptic,
     BandType::HighPass,
     {true, false, 100, 0, 200, 0, 40},
     1.0,
     ValidationCode::HighPassEdgesOutOfOrder},
    {"BandPassStopInside",
     FilterModel::ChebyshevII,
     BandType::BandPass,
     {true, false, 100, 200, 150, 300, 40},
     1.0,
     ValidationCode::BandPassEdgesOutOfOrder},
    {"BandStopPassInside",
     FilterModel::ChebyshevII,
     BandType::BandStop,
     {true, false, 150, 300, 100, 200, 40},
     1.0,
     ValidationCode::BandStopEdgesOutOfOrder},
    {"BandPassValid",
     FilterModel::ChebyshevII,
     BandType::BandPass,
     {true, false, 150, 200, 100, 300, 40},
     1.0,
     ValidationCode::Valid},
};

TEST(SchemeValidation, RefusesImpossibleSchemesNamingTheField) {
  for (const SchemeValidationCase& c : kSchemeValidation) {
    FilterSpec spec;
    spec.model = c.model;
    spec.bandType = c.band;
    spec.scheme = c.scheme;
    spec.ripple = c.ripple;
    EXPECT_EQ(ValidateScheme(spec), c.expected) << c.name;
    if (c.expected != ValidationCode::Valid) {
      EXPECT_FALSE(ValidationMessage(c.expected).empty()) << c.name;
      int code = 0;
      Calculated(spec, code);
      EXPECT_EQ(code, static_cast<int>(c.expected)) << c.name;
    }
  }
  FilterSpec iir;
  iir.model = FilterModel::Kaiser;
  iir.scheme = {true, false, 100, 0, 200, 0, 40};
  EXPECT_EQ(Validate(iir), ValidationCode::WindowModelForIir);
}

TEST(MinimumOrderLimit, ReportsTheOrderNeeded) {
  FilterSpec spec = SpecOf(0, 1000, 0.1, 120, 100, 0, 101, 0);
  spec.model = FilterModel::Butterworth;
  const CalculateOutcome outcome = Calculate(spec).outcome;
  EXPECT_EQ(outcome.code, static_cast<int>(MinimumOrderCode::OrderBeyondLimit));
  EXPECT_NE(outcome.message.find("order"), std::string::npos);
  EXPECT_EQ(spec.scheme.minimumOrder, true);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

// The zeros that Calculate shows for Chebyshev II and elliptic designs are those of the
// designed numerator, on the unit circle, for every band type.
TEST(SchemeCalculate, ZerosAreTheDesignsOwn) {
  const SchemeCase bands[] = {kSchemeCases[1], kSchemeCases[1001], kSchemeCases[2001],
                              kSchemeCases[3001]};
  for (const FilterModel model : {FilterModel::ChebyshevII, FilterModel::Elliptic}) {
    for (const SchemeCase& c : bands) {
      FilterSpec spec = SpecOf(c);
      spec.model = model;
      spec.scheme.minimumOrder = false;
      spec.order = 3;
      const Calculation calculation = Calculate(spec);
      ASSERT_EQ(calculation.outcome.code, 0) << c.band;
      const FilterDesign& design = calculation.design;
      const ResponseSet& responses = calculation.responses;
      spec = calculation.spec;
      double size = 0.0;
      for (int k = 0; k <= spec.effectiveOrder; ++k) size += std::abs(design.numerator[k]);
      for (int j = 0; j < spec.effectiveOrder; ++j) {
        const std::complex<double> z(responses.zeros[j].re, responses.zeros[j].im);
        EXPECT_NEAR(std::abs(z), 1.0, 1e-9) << c.band << " zero " << j;
        std::complex<double> value = 0.0;
        for (int k = spec.effectiveOrder; k >= 0; --k) value = value / z + design.numerator[k];
        EXPECT_LT(std::abs(value), 1e-8 * size) << c.band << " zero " << j;
      }
    }
  }
}

// |H| of the design at f cycles per sample, in extended precision.
long double MagnitudeAt(const FilterSpec& spec, const FilterDesign& d, long double f) {
  const std::complex<long double> z = std::polar(1.0L, -2.0L * std::numbers::pi_v<long double> * f);
  const auto sum = [&z](const auto& c, int count) {
    std::complex<long double> acc = 0.0L;
    for (int k = count - 1; k >= 0; --k) acc = acc * z + static_cast<long double>(c[k]);
    return acc;
  };
  if (spec.filterClass == FilterClass::Fir) return std::abs(sum(d.firTaps, spec.taps));
  const int terms = spec.effectiveOrder + 1;
  return std::abs(sum(d.numerator, terms) / sum(d.denominator, terms));
}

// The verdict's worst loss and attenuation are the design's worst, as a brute-force sweep of
// 100,000 points per band finds them: never better, and not worse by more than the sweep's own
// spacing can hide. Long equiripple designs have narrow ripples that a coarse grid samples
// below their peaks.
TEST(SchemeCheck, WorstPointsAreTheDesignsWorst) {
  constexpr int kSweep = 100000;
  struct Case {
    int band;
    FilterModel model;
    double fs, rp, as, pass1, pass2, stop1, stop2;
  };
  const Case cases[] = {
      {0, FilterModel::Equiripple, 48000, 1.23, 38.42, 4015.18, 0, 4326.78, 0},
      {0, FilterModel::Equiripple, 48000, 0.714, 36.59, 13820.63, 0, 14093.19, 0},
      {1, FilterModel::Equiripple, 8000, 2.53, 72.63, 404.66, 0, 311.82, 0},
      {2, FilterModel::Chebyshev, 48000, 0.724, 99.77, 8018.1, 9877.21, 1983.85, 14726.29},
      {3, FilterModel::Equiripple, 8000, 1.026, 75.98, 201.38, 3907.31, 2399.6, 3239.67},
  };
  for (const Case& c : cases) {
    FilterSpec spec = SpecOf(c.band, c.fs, c.rp, c.as, c.pass1, c.pass2, c.stop1, c.stop2);
    spec.model = c.model;
    spec.filterClass = IsIirModel(c.model) ? FilterClass::Iir : FilterClass::Fir;
    const Calculation calculation = Calculate(spec);
    ASSERT_TRUE(calculation.Succeeded()) << calculation.outcome.message;
    const FirBands bands = SchemeFirBands(calculation.spec);
    long double peak = 0.0L;
    long double passLow = HUGE_VALL;
    long double stopHigh = 0.0L;
    for (int b = 0; b < bands.count; ++b) {
      const FirBand& band = bands.bands[b];
      for (int i = 0; i < kSweep; ++i) {
        const long double f = band.low + (band.high - band.low) * i / (kSweep - 1);
        const long double m = MagnitudeAt(calculation.spec, calculation.design, f);
        if (band.desired != 0.0) {
          peak = std::max(peak, m);
          passLow = std::min(passLow, m);
        } else {
          stopHigh = std::max(stopHigh, m);
        }
      }
    }
    const double loss = static_cast<double>(20.0L * std::log10(peak / passLow));
    const double attenuation = static_cast<double>(20.0L * std::log10(peak / stopHigh));
    const SchemeCheck& got = calculation.outcome.scheme;
    EXPECT_GE(got.passLossDb, loss - 1e-7) << c.fs << " " << c.pass1;
    EXPECT_LE(got.stopAttenuationDb, attenuation + 1e-7) << c.fs << " " << c.pass1;
    EXPECT_NEAR(got.passLossDb, loss, 1e-4) << c.fs << " " << c.pass1;
    EXPECT_NEAR(got.stopAttenuationDb, attenuation, 1e-4) << c.fs << " " << c.pass1;
  }
}

// An equiripple band stop whose lower transition is three times wider than the upper one: the
// exchange on the scheme's own bands raises that transition tens of dB above the pass band,
// which the check counts as a miss however well the bands meet; the design therefore narrows
// every transition to the narrowest, and its minimum-order answer meets.
TEST(SchemeCheck, BumpBetweenTheBandsMisses) {
  FilterSpec spec = SpecOf(3, 8000, 1.026, 75.98, 201.38, 3907.31, 2399.6, 3239.67);
  spec.model = FilterModel::Equiripple;
  spec.filterClass = FilterClass::Fir;
  spec.scheme.minimumOrder = false;
  spec.taps = 101;
  ASSERT_EQ(Validate(spec), ValidationCode::Valid);
  const FirBands bands = SchemeFirBands(spec);
  FilterDesign raw;
  ASSERT_EQ(RemezExchange(spec.taps, std::span<const FirBand>(bands.bands).first(bands.count),
                          std::span<double>(raw.firTaps).first(spec.taps)),
            RemezCode::Converged);
  const SchemeCheck bump = CheckAgainstScheme(spec, raw);
  EXPECT_GT(bump.transitionRiseDb, 20.0);
  EXPECT_FALSE(bump.meets);

  spec.scheme.minimumOrder = true;
  const Calculation minimum = Calculate(spec);
  ASSERT_TRUE(minimum.Succeeded()) << minimum.outcome.message;
  EXPECT_TRUE(minimum.outcome.scheme.meets);
  EXPECT_LE(minimum.outcome.scheme.transitionRiseDb, spec.ripple);
}

TEST(SchemeCalculate, NoSchemeNoCheck) {
  const CalculateOutcome outcome = Calculate(FilterSpec{}).outcome;
  EXPECT_EQ(outcome.code, 0);
  EXPECT_FALSE(outcome.scheme.checked);
  EXPECT_FALSE(outcome.scheme.meets);
}

}  // namespace
}  // namespace qv
