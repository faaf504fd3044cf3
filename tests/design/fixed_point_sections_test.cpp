// Properties of the fixed-point cascade on random designs of every model and band: each
// quantised section is stable; with L-infinity scaling no section's output peak exceeds full
// scale and none is wasted; at 16 bits the quantised response keeps the float pass band within 0.5
// dB; and the integer simulation stays within the bound its rounding allows of the quantised
// coefficients' exact response. The survey at the end measures the stability and pass-band figures
// over 300 random specifications (run on request).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <random>
#include <vector>

#include "analysis/cascade_roots.h"
#include "analysis/cascade_simulation.h"
#include "design_test_support.h"
#include "engine/calculate.h"
#include "tests/support/random_iir_spec.h"

namespace qv {
namespace {

using Z = std::complex<long double>;
constexpr long double kPi = 3.141592653589793238L;
constexpr int kFineGrid = 1 << 14;  // frequencies 0..pi at which peaks are checked
constexpr int kSamples = kSimulationSamples;

long double Unit(const FixedPointCascade& c) {
  return std::ldexp(1.0L, c.wordBits - 1 - c.postShift);
}

// The exact response of section k of the quantised cascade at w1 = e^-jw.
Z Section(const FixedPointCascade& c, int k, Z w1) {
  const FixedPointSection& s = c.sections[static_cast<std::size_t>(k)];
  const Z w2 = w1 * w1;
  return (static_cast<long double>(s.b0) + static_cast<long double>(s.b1) * w1 +
          static_cast<long double>(s.b2) * w2) /
         (Unit(c) - static_cast<long double>(s.a1) * w1 - static_cast<long double>(s.a2) * w2);
}

// The exact responses from the input to every section's output at angle w.
std::array<Z, kMaxSections> Cumulative(const FixedPointCascade& c, long double w) {
  std::array<Z, kMaxSections> out{};
  Z product = 1.0L;
  for (int k = 0; k < c.count; ++k) {
    product *= Section(c, k, std::polar(1.0L, -w));
    out[static_cast<std::size_t>(k)] = product;
  }
  return out;
}

// The float design's response at angle w, b and a as designed.
Z FloatResponse(const FilterDesign& d, int m, long double w) {
  const Z z = std::polar(1.0L, -w);
  Z n = 0.0L;
  Z a = 0.0L;
  for (int k = m; k >= 0; --k) {
    n = n * z + static_cast<long double>(d.numerator[static_cast<std::size_t>(k)]);
    a = a * z + static_cast<long double>(d.denominator[static_cast<std::size_t>(k)]);
  }
  return n / a;
}

// Runs the impulse response of a chain of real sections {b0, b1, b2, a1, a2} (y = b.x - a.y),
// all in long double, over kSamples samples.
std::vector<long double> ChainImpulse(const std::vector<std::array<long double, 5>>& chain,
                                      long double amplitude) {
  std::vector<std::array<long double, 4>> h(chain.size());
  std::vector<long double> out;
  for (int t = 0; t < kSamples; ++t) {
    long double x = t == 0 ? amplitude : 0.0L;
    for (std::size_t k = 0; k < chain.size(); ++k) {
      const auto& s = chain[k];
      const long double y =
          s[0] * x + s[1] * h[k][0] + s[2] * h[k][1] - s[3] * h[k][2] - s[4] * h[k][3];
      h[k] = {x, h[k][0], y, h[k][2]};
      x = y;
    }
    out.push_back(x);
  }
  return out;
}

std::array<long double, 5> RealSection(const FixedPointCascade& c, int k, bool recursionOnly) {
  const FixedPointSection& s = c.sections[static_cast<std::size_t>(k)];
  const long double u = Unit(c);
  if (recursionOnly) return {1.0L, 0.0L, 0.0L, -s.a1 / u, -s.a2 / u};
  return {s.b0 / u, s.b1 / u, s.b2 / u, -s.a1 / u, -s.a2 / u};
}

// The pass band of `spec` as angles (rad/sample), two intervals for the band stop.
std::vector<std::pair<long double, long double>> PassBand(const FilterSpec& s) {
  const long double w1 = 2.0L * kPi * s.fcut1 / s.fsample;
  const long double w2 = 2.0L * kPi * s.fcut2 / s.fsample;
  switch (s.bandType) {
    case BandType::LowPass:
      return {{0.0L, w1}};
    case BandType::HighPass:
      return {{w1, kPi}};
    case BandType::BandPass:
      return {{w1, w2}};
    case BandType::BandStop:
      break;
  }
  return {{0.0L, w1}, {w2, kPi}};
}

// The largest difference in dB between the quantised cascade and the float design (lowered
// by the cascade's headroom) over the pass band, where the float gain is above -60 dB.
double PassBandDeviationDb(const FilterSpec& spec, const FilterDesign& d) {
  double worst = 0.0;
  for (const auto& [from, to] : PassBand(spec)) {
    for (int i = 0; i <= 400; ++i) {
      const long double w = from + (to - from) * i / 400;
      const long double want = std::abs(FloatResponse(d, spec.effectiveOrder, w)) *
                               static_cast<long double>(d.cascade.headroom);
      const long double got =
          std::abs(Cumulative(d.cascade, w)[static_cast<std::size_t>(d.cascade.count - 1)]);
      if (want > 1e-3L)
        worst = std::max(worst, static_cast<double>(std::abs(20.0L * std::log10(got / want))));
    }
  }
  return worst;
}

FilterSpec RandomSpec(std::mt19937& random, int index, Quantization quantization,
                      SectionScaling scaling) {
  constexpr std::array kModels{FilterModel::Butterworth, FilterModel::Chebyshev,
                               FilterModel::Bessel};
  constexpr std::array kBands{BandType::LowPass, BandType::HighPass, BandType::BandPass,
                              BandType::BandStop};
  FilterSpec spec;
  spec.model = kModels[static_cast<std::size_t>(index % 3)];
  spec.bandType = kBands[static_cast<std::size_t>(index / 3 % 4)];
  spec.quantization = quantization;
  spec.structure = IirStructure::Sections;
  spec.sectionScaling = scaling;
  test::DrawIirSpec(random, {}, spec);
  return spec;
}

struct SurveyCase {
  const char* name;
  Quantization quantization;
  SectionScaling scaling;
};

void PrintTo(const SurveyCase& c, std::ostream* os) { *os << c.name; }

class FixedPointCascadeProperties : public testing::TestWithParam<SurveyCase> {};

TEST_P(FixedPointCascadeProperties, HoldOnRandomDesigns) {
  const SurveyCase& param = GetParam();
  std::mt19937 random(2800);
  constexpr int kDesigns = 36;
  int checked = 0;
  int unquantised = 0;
  for (int d = 0; d < kDesigns; ++d) {
    FilterSpec spec = RandomSpec(random, d, param.quantization, param.scaling);
    SCOPED_TRACE(testing::Message()
                 << "design " << d << ": model " << static_cast<int>(spec.model) << " band "
                 << static_cast<int>(spec.bandType) << " order " << spec.order << " fs "
                 << spec.fsample << " fc " << spec.fcut1 << ".." << spec.fcut2);
    const Calculation calculated = Calculate(spec);
    const int code = calculated.outcome.code;
    spec = calculated.spec;
    const FilterDesign& design = calculated.design;
    const ResponseSet& responses = calculated.responses;
    const bool sixteen = param.quantization == Quantization::Signed16;
    // At 8 bits a coefficient may need more than the word. At 16 bits every design that the
    // float design makes should be made; one is not yet: the band pass of order 8 from 1329 to
    // 13456 Hz at 58303 Hz (design 30), which designs in float since its poles are found by the
    // companion matrix, is refused as not quantisable. It is counted, not passed over.
    if (code == static_cast<int>(DesignCode::QuantizationNotPossible)) {
      unquantised += sixteen ? 1 : 0;
      continue;
    }
    if (code == static_cast<int>(DesignCode::RootSearchFailed)) continue;
    ASSERT_EQ(code, 0);
    const FixedPointCascade& c = design.cascade;
    ASSERT_EQ(c.count, (spec.effectiveOrder + 1) / 2);
    EXPECT_TRUE(CascadeIsStable(c));
    for (int k = 0; k < spec.effectiveOrder; ++k) {
      EXPECT_LT(Magnitude(responses.poles[static_cast<std::size_t>(k)]), 1.0) << "pole " << k;
    }

    // Peaks of every section output on a fine grid of its own.
    std::array<long double, kMaxSections> peaks{};
    for (int i = 0; i <= kFineGrid; ++i) {
      const auto values = Cumulative(c, kPi * i / kFineGrid);
      for (int k = 0; k < c.count; ++k) {
        const auto j = static_cast<std::size_t>(k);
        peaks[j] = std::max(peaks[j], std::abs(values[j]));
      }
    }
    if (param.scaling == SectionScaling::LInfinity) {
      for (int k = 0; k < c.count; ++k) {
        EXPECT_LE(peaks[static_cast<std::size_t>(k)], 1.0L + 1e-9L) << "section " << k;
        if (k + 1 < c.count) {
          EXPECT_GE(peaks[static_cast<std::size_t>(k)], sixteen ? 0.5L : 0.25L) << "section " << k;
        }
      }
    }
    if (sixteen) {
      EXPECT_LE(PassBandDeviationDb(spec, design), 0.5);
    }

    // The integer impulse response against the quantised coefficients' exact one: each
    // section's output rounding adds an error in (-1, 0], which reaches the output through
    // that section's recursion and the sections after it.
    const long double amplitude = CascadeFullScale(c);
    std::vector<std::array<long double, 5>> all;
    for (int k = 0; k < c.count; ++k) all.push_back(RealSection(c, k, false));
    const std::vector<long double> exact = ChainImpulse(all, amplitude);
    long double bound = 0.0L;
    for (int j = 0; j < c.count; ++j) {
      std::vector<std::array<long double, 5>> path{RealSection(c, j, true)};
      for (int k = j + 1; k < c.count; ++k) path.push_back(RealSection(c, k, false));
      for (const long double g : ChainImpulse(path, 1.0L)) bound += std::abs(g);
    }
    CascadeState state;
    int saturations = 0;
    for (int t = 0; t < kSamples; ++t) {
      const std::int32_t y =
          RunCascadeSample(c, state, t == 0 ? CascadeFullScale(c) : 0, saturations);
      if (saturations > 0) break;  // the bound holds for the arithmetic without saturation
      ASSERT_LE(std::abs(y - exact[static_cast<std::size_t>(t)]), bound + 1e-6L) << "sample " << t;
    }
    ++checked;
  }
  EXPECT_GE(checked, kDesigns * 2 / 3);
  EXPECT_LE(unquantised, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, FixedPointCascadeProperties,
    testing::Values(SurveyCase{"Q15LInfinity", Quantization::Signed16, SectionScaling::LInfinity},
                    SurveyCase{"Q15L2", Quantization::Signed16, SectionScaling::L2},
                    SurveyCase{"Q7LInfinity", Quantization::Signed8, SectionScaling::LInfinity}),
    [](const testing::TestParamInfo<SurveyCase>& param) { return param.param.name; });

// Over 300 random specifications that design in float: how many the cascade refuses as
// unstable (or cannot quantise), and how many miss the float pass band by more than 0.5 dB,
// in the quantised coefficients' response and in the magnitude graph drawn from the integer
// simulation; the direct form's figures beside them. Prints the figures; at 16 bits with
// L-infinity scaling the cascade must stay below 1 % unstable and 2 % off. Run on request:
//   quorvanel_design_driver_tests --gtest_also_run_disabled_tests --gtest_filter='*Survey*'
TEST(FixedPointCascadeSurvey, DISABLED_RandomSpecifications) {
  constexpr int kSpecifications = 300;
  for (const SurveyCase& c :
       {SurveyCase{"16-bit sections, L-infinity", Quantization::Signed16,
                   SectionScaling::LInfinity},
        SurveyCase{"16-bit sections, L2", Quantization::Signed16, SectionScaling::L2},
        SurveyCase{"8-bit sections, L-infinity", Quantization::Signed8,
                   SectionScaling::LInfinity}}) {
    std::mt19937 random(7);
    int designed = 0;
    int unstable = 0;
    int unquantisable = 0;
    int off = 0;
    int graphOff = 0;
    int unsettled = 0;
    int directRefused = 0;
    int directOff = 0;
    for (int n = 0; n < kSpecifications; ++n) {
      FilterSpec spec = RandomSpec(random, n, c.quantization, c.scaling);
      FilterSpec floatSpec = spec;
      floatSpec.quantization = Quantization::Float;
      const Calculation floatCalculation = Calculate(floatSpec);
      if (!floatCalculation.Succeeded()) continue;
      const ResponseSet& floatResponses = floatCalculation.responses;
      ++designed;
      const Calculation calculated = Calculate(spec);
      const int code = calculated.outcome.code;
      spec = calculated.spec;
      const FilterDesign& design = calculated.design;
      const ResponseSet& responses = calculated.responses;
      FilterSpec directSpec = spec;
      directSpec.structure = IirStructure::Direct;
      const Calculation directCalculation = Calculate(directSpec);
      const ResponseSet& directResponses = directCalculation.responses;
      if (!directCalculation.Succeeded()) {
        ++directRefused;
      } else {
        for (int k = 0; k < kDisplayPoints; ++k) {
          const auto j = static_cast<std::size_t>(k);
          if (floatResponses.magnitudeDb[j] > -3.0 &&
              std::abs(directResponses.magnitudeDb[j] - floatResponses.magnitudeDb[j]) > 0.5) {
            ++directOff;
            break;
          }
        }
      }
      if (code == static_cast<int>(DesignCode::NotStable)) ++unstable;
      if (code != 0) {
        unquantisable += code == static_cast<int>(DesignCode::NotStable) ? 0 : 1;
        continue;
      }
      off += PassBandDeviationDb(spec, design) > 0.5 ? 1 : 0;
      unsettled += responses.cascade.settles ? 0 : 1;
      for (int k = 0; k < kDisplayPoints; ++k) {
        const auto j = static_cast<std::size_t>(k);
        if (floatResponses.magnitudeDb[j] > -3.0 &&
            std::abs(responses.magnitudeDb[j] - floatResponses.magnitudeDb[j]) > 0.5) {
          ++graphOff;
          break;
        }
      }
    }
    std::printf(
        "%s: %d designed in float; unstable %d, not quantisable %d, pass band off by > 0.5 dB "
        "%d (coefficients) and %d (graph of the simulation), not settling %d; the direct form "
        "refuses %d and is off in its graph for %d\n",
        c.name, designed, unstable, unquantisable, off, graphOff, unsettled, directRefused,
        directOff);
    if (c.quantization == Quantization::Signed16 && c.scaling == SectionScaling::LInfinity) {
      EXPECT_LT(unstable * 100, designed);
      EXPECT_LT(off * 50, designed);
    }
  }
}

}  // namespace
}  // namespace qv
