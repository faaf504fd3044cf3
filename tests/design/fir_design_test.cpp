#include "design/fir_design.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "design/iir_design.h"
#include "design/validation.h"
#include "design_test_support.h"

namespace qv {
namespace {

using design_test::DesignRun;
using design_test::GainDb;
using design_test::RunDesign;

constexpr FilterClass kFir = FilterClass::Fir;
constexpr Quantization kFloat = Quantization::Float;

FrequencyGrid GridOf(FilterSpec spec) {
  EXPECT_EQ(Validate(spec), ValidationCode::Valid);
  FilterDesign design;
  if (IsIirModel(spec.model)) {
    EXPECT_EQ(DesignIir(spec, design), 0);
  }
  FrequencyGrid grid;
  grid.fill(-1.0);
  LayOutDesiredResponse(spec, design, grid);
  return grid;
}

void ExpectMirrored(const FrequencyGrid& grid) {
  for (int j = 0; j < kFrequencyBins / 2; ++j) {
    ASSERT_EQ(grid[kFrequencyBins - 1 - j], grid[j]) << "bin " << j;
  }
}

struct RectangleCase {
  std::string name;
  BandType band;
  int fcut1, fcut2, fsample;
};

class RectangleGrid : public ::testing::TestWithParam<RectangleCase> {};

// A bin is in the pass band exactly when the whole bin, up to the next one, lies on the pass
// side of each cut frequency.
TEST_P(RectangleGrid, PassesTheBinsWhollyInsideThePassBand) {
  const RectangleCase& c = GetParam();
  const FrequencyGrid grid = GridOf(FilterSpec{.filterClass = kFir,
                                               .bandType = c.band,
                                               .model = FilterModel::Rectangle,
                                               .order = 2,
                                               .fcut1 = c.fcut1,
                                               .fcut2 = c.fcut2,
                                               .fsample = c.fsample,
                                               .taps = 31,
                                               .quantization = kFloat});
  const auto below = [&](int j, int edge) {
    return static_cast<long long>(j + 1) * c.fsample <= 512LL * edge;
  };
  for (int j = 0; j < kFrequencyBins / 2; ++j) {
    bool pass = false;
    switch (c.band) {
      case BandType::LowPass:
        pass = below(j, c.fcut1);
        break;
      case BandType::HighPass:
        pass = !below(j, c.fcut1);
        break;
      case BandType::BandPass:
        pass = !below(j, c.fcut1) && below(j, c.fcut2);
        break;
      case BandType::BandStop:
        pass = below(j, c.fcut1) || !below(j, c.fcut2);
        break;
    }
    ASSERT_EQ(grid[j], pass ? 1.0 : 0.0) << "bin " << j;
  }
  ExpectMirrored(grid);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, RectangleGrid,
    ::testing::Values(RectangleCase{"LowPass", BandType::LowPass, 100, 100, 1000},
                      RectangleCase{"LowPassOnABinEdge", BandType::LowPass, 125, 125, 1000},
                      RectangleCase{"HighPass", BandType::HighPass, 333, 333, 1000},
                      RectangleCase{"BandPass", BandType::BandPass, 100, 350, 1000},
                      RectangleCase{"BandStopAt48k", BandType::BandStop, 3000, 9000, 48000},
                      RectangleCase{"HighSampleRate", BandType::LowPass, 700000000, 700000000,
                                    2000000000}),
    [](const auto& test) { return test.param.name; });

TEST(RectangleGrid, LowPassAtATenthOfTheSamplingFrequencyKeeps51BinsEachSide) {
  const FrequencyGrid grid = GridOf(FilterSpec{.filterClass = kFir,
                                               .bandType = BandType::LowPass,
                                               .model = FilterModel::Rectangle,
                                               .order = 2,
                                               .fcut1 = 100,
                                               .fcut2 = 100,
                                               .quantization = kFloat});
  for (int j = 0; j < kFrequencyBins; ++j) {
    EXPECT_EQ(grid[j], (j <= 50 || j >= 461) ? 1.0 : 0.0) << "bin " << j;
  }
}

// Without roll-off the raised cosine is a brick wall whose last pass bin is the one at or
// below the cut frequency.
TEST(RaisedCosineGrid, NoRollOffIsABrickWallThroughTheCutBin) {
  for (const BandType band : {BandType::LowPass, BandType::HighPass}) {
    for (const int fcut1 : {100, 125, 240}) {
      const FrequencyGrid grid = GridOf(FilterSpec{.filterClass = kFir,
                                                   .bandType = band,
                                                   .model = FilterModel::RaisedCosine,
                                                   .rollOff = 0.0,
                                                   .fcut1 = fcut1,
                                                   .fcut2 = fcut1,
                                                   .fsample = 1000});
      for (int j = 0; j < kFrequencyBins / 2; ++j) {
        const bool below = j * 1000 <= 512 * fcut1;
        const bool pass = band == BandType::LowPass ? below : !below;
        ASSERT_EQ(grid[j], pass ? 1.0 : 0.0) << "cut " << fcut1 << " bin " << j;
      }
      ExpectMirrored(grid);
    }
  }
}

// At 1024 Hz a bin is 2 Hz wide, so the transition of a 100 Hz cut with alpha 0.5 runs from
// bin 25 (50 Hz) to bin 75 (150 Hz), with bin 50 at its centre.
TEST(RaisedCosineGrid, TransitionIsCentredOnTheCutAndOddSymmetric) {
  for (const BandType band : {BandType::LowPass, BandType::HighPass}) {
    const FrequencyGrid grid = GridOf(FilterSpec{.filterClass = kFir,
                                                 .bandType = band,
                                                 .model = FilterModel::RaisedCosine,
                                                 .rollOff = 0.5,
                                                 .fcut1 = 100,
                                                 .fcut2 = 100,
                                                 .fsample = 1024});
    const double inside = band == BandType::LowPass ? 1.0 : 0.0;
    for (int j = 0; j <= 25; ++j) EXPECT_EQ(grid[j], inside) << "bin " << j;
    for (int j = 76; j < 256; ++j) EXPECT_EQ(grid[j], 1.0 - inside) << "bin " << j;
    EXPECT_NEAR(grid[50], 0.5, 1e-15);
    EXPECT_NEAR(grid[75], 1.0 - inside, 1e-15);
    for (int d = 1; d < 25; ++d) {
      EXPECT_NEAR(grid[50 - d] + grid[50 + d], 1.0, 1e-15) << "offset " << d;
      EXPECT_EQ(grid[50 - d] > grid[50 + d], band == BandType::LowPass) << "offset " << d;
    }
    ExpectMirrored(grid);
  }
}

// The second transition of a band is the first one reversed: same width, so the band keeps
// its shape, with its half-way point within a bin of the second cut frequency.
TEST(RaisedCosineGrid, SecondBandEdgeMirrorsTheFirst) {
  for (const BandType band : {BandType::BandPass, BandType::BandStop}) {
    const FrequencyGrid grid = GridOf(FilterSpec{.filterClass = kFir,
                                                 .bandType = band,
                                                 .model = FilterModel::RaisedCosine,
                                                 .rollOff = 0.5,
                                                 .fcut1 = 100,
                                                 .fcut2 = 350,
                                                 .fsample = 1024});
    const int k2 = 76;   // 1 + 512 x 150 / 1024
    const int k3 = 151;  // 1 + 512 x (350 - 50) / 1024
    const int k4 = 201;  // 1 + 512 x (350 + 50) / 1024
    const double inside = band == BandType::BandPass ? 1.0 : 0.0;
    for (int j = k2; j < k3; ++j) EXPECT_EQ(grid[j], inside) << "bin " << j;
    for (int j = k3; j < k4; ++j) EXPECT_EQ(grid[j], grid[k2 - 1 - (j - k3)]) << "bin " << j;
    for (int j = k4; j < 256; ++j) EXPECT_EQ(grid[j], 1.0 - inside) << "bin " << j;
    int halfway = k3;
    while (std::abs(grid[halfway] - 0.5) > 1e-12) ++halfway;
    EXPECT_LE(std::abs(halfway - 175), 1);  // 350 Hz is bin 175
    ExpectMirrored(grid);
  }
}

// 16777217 Hz is not a 32-bit float: as one it is 16777216, on which 327680 Hz lands exactly
// on bin 10, whereas the exact rate puts it just below. The edges follow the float.
TEST(RaisedCosineGrid, EdgesUseTheSamplingFrequencyAsA32BitFloat) {
  const FrequencyGrid grid = GridOf(FilterSpec{.filterClass = kFir,
                                               .bandType = BandType::LowPass,
                                               .model = FilterModel::RaisedCosine,
                                               .rollOff = 0.0,
                                               .fcut1 = 327680,
                                               .fcut2 = 327680,
                                               .fsample = 16777217});
  EXPECT_EQ(grid[10], 1.0);
  EXPECT_EQ(grid[11], 0.0);
}

// Low pass and band stop place their transition frequencies with the float rate too; high
// pass and band pass with the exact integer rate.
TEST(RaisedCosineGrid, TransitionFrequenciesUseTheFloatOrTheExactRate) {
  const int fsample = 16777217;
  const double fcut = 327680.0;
  const double alpha = 0.5;
  for (const BandType band : {BandType::LowPass, BandType::HighPass}) {
    const FrequencyGrid grid = GridOf(FilterSpec{.filterClass = kFir,
                                                 .bandType = band,
                                                 .model = FilterModel::RaisedCosine,
                                                 .rollOff = alpha,
                                                 .fcut1 = 327680,
                                                 .fcut2 = 327680,
                                                 .fsample = fsample});
    const bool rising = band == BandType::HighPass;
    const double rate = rising ? fsample : static_cast<double>(static_cast<float>(fsample));
    const double other = rising ? static_cast<double>(static_cast<float>(fsample)) : fsample;
    for (const int j : {6, 8, 10, 12, 14}) {
      const auto level = [&](double fs) {
        const double f = j * fs / 512.0;
        const double r = 0.5 * (1.0 + std::cos((f - fcut * (1.0 - alpha)) *
                                               (3.141592653589793 / 2.0) / (fcut * alpha)));
        return rising ? 1.0 - r : r;
      };
      EXPECT_NEAR(grid[j], level(rate), 1e-13) << "bin " << j;
      EXPECT_GT(std::abs(grid[j] - level(other)), 1e-10) << "bin " << j;
    }
  }
}

// For the IIR models the grid is the IIR filter's own magnitude at bin k, divided by 512.
TEST(IirModelGrid, IsTheSampledMagnitudeOverTheGridSize) {
  for (const FilterSpec& spec : {FilterSpec{.filterClass = kFir,
                                .bandType = BandType::LowPass,
                                .model = FilterModel::Butterworth,
                                .order = 2,
                                .fcut1 = 100,
                                .fcut2 = 100,
                                .quantization = kFloat},
                                 FilterSpec{.filterClass = kFir,
                                 .bandType = BandType::HighPass,
                                 .model = FilterModel::Chebyshev,
                                 .order = 3,
                                 .fcut1 = 100,
                                 .fcut2 = 100,
                                 .quantization = kFloat},
                                 FilterSpec{.filterClass = kFir,
                                 .bandType = BandType::BandPass,
                                 .model = FilterModel::Bessel,
                                 .order = 2,
                                 .fcut1 = 100,
                                 .fcut2 = 300,
                                 .quantization = kFloat}}) {
    FilterSpec validated = spec;
    ASSERT_EQ(Validate(validated), ValidationCode::Valid);
    FilterDesign design;
    ASSERT_EQ(DesignIir(validated, design), 0);
    FrequencyGrid grid;
    LayOutDesiredResponse(validated, design, grid);
    for (int k = 0; k < kFrequencyBins; ++k) {
      const double w = 2.0 * std::numbers::pi * k / kFrequencyBins;
      std::complex<double> num = 0.0;
      std::complex<double> den = 0.0;
      for (int i = 0; i <= validated.effectiveOrder; ++i) {
        num += design.numerator[i] * std::polar(1.0, -w * i);
        den += design.denominator[i] * std::polar(1.0, -w * i);
      }
      ASSERT_NEAR(grid[k], std::abs(num / den) / kFrequencyBins, 1e-12) << "bin " << k;
    }
  }
}

// The taps are the middle of one cosine transform, so every tap count reads the same values:
// those of the 511-tap design, centred on its tap 255.
TEST(FirTaps, PlacementForOddAndEvenCounts) {
  const auto taps = [](int n) {
    FilterSpec spec{.filterClass = kFir,
                    .bandType = BandType::BandPass,
                    .model = FilterModel::RaisedCosine,
                    .rollOff = 0.3,
                    .fcut1 = 60,
                    .fcut2 = 300,
                    .fsample = 1000};
    spec.taps = n;
    EXPECT_EQ(Validate(spec), ValidationCode::Valid);
    FilterDesign design;
    design.firTaps.fill(-9.0);
    DesignFir(spec, design);
    return design.firTaps;
  };
  const auto longest = taps(kMaxTaps);
  const auto h = [&](int q) { return longest[255 + q]; };
  for (int q = 0; q <= 255; ++q) ASSERT_EQ(longest[255 - q], h(q)) << "tap " << q;

  for (const int n : {1, 2, 3, 4, 5, 30, 31, 64, 255, 256, 510}) {
    SCOPED_TRACE(::testing::Message() << n << " taps");
    const auto got = taps(n);
    const int m = n / 2;
    if (n % 2 == 1) {
      for (int q = 0; q <= m; ++q) {
        EXPECT_EQ(got[m - q], h(q));
        EXPECT_EQ(got[m + q], h(q));
      }
    } else {
      for (int q = 0; q < m; ++q) {
        EXPECT_EQ(got[m - 1 - q], h(q));
        EXPECT_EQ(got[m - 1 + q], h(q));
      }
      EXPECT_EQ(got[n - 1], h(m));
    }
    for (int k = n; k < kTapCapacity; ++k) ASSERT_EQ(got[k], -9.0) << "tap " << k;
  }
}

struct CutCase {
  std::string name;
  FilterModel model;
  int order;
  int taps;
  double expectedDb;  // gain at the 100 Hz cut after normalisation
  double toleranceDb;
};

class NormalisedFirLowPass : public ::testing::TestWithParam<CutCase> {};

TEST_P(NormalisedFirLowPass, UnitGainAtDcAndTheCutFigure) {
  const CutCase& c = GetParam();
  const DesignRun run = RunDesign(FilterSpec{.filterClass = kFir,
                                             .bandType = BandType::LowPass,
                                             .model = c.model,
                                             .order = c.order,
                                             .fcut1 = 100,
                                             .fcut2 = 100,
                                             .taps = c.taps,
                                             .quantization = kFloat});
  ASSERT_EQ(run.code, DesignCode::Ok);
  EXPECT_NEAR(GainDb(run.spec, run.design, 0.0), 0.0, 1e-10);
  EXPECT_NEAR(GainDb(run.spec, run.design, 100.0), c.expectedDb, c.toleranceDb);
}

INSTANTIATE_TEST_SUITE_P(
    Models, NormalisedFirLowPass,
    ::testing::Values(CutCase{"Rectangle31", FilterModel::Rectangle, 2, 31, -7.0, 0.05},
                      CutCase{"RaisedCosine31", FilterModel::RaisedCosine, 2, 31, -5.7, 0.05},
                      // With enough taps the FIR approximation keeps the IIR model's cut
                      // figure: -3 dB, or the ripple of an odd-order Chebyshev.
                      CutCase{"Butterworth255", FilterModel::Butterworth, 4, 255, -3.01, 0.05},
                      CutCase{"Chebyshev511", FilterModel::Chebyshev, 3, 511, -1.0, 0.05}),
    [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace qv
