#include "analysis/zero_placement.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace qv {
namespace {

constexpr Complex kUntouched{7.0, 7.0};

struct ZeroCase {
  std::string name;
  BandType band;
  int order;
  double fcenter;
  int fsample;
};

class ZeroPlacement : public ::testing::TestWithParam<ZeroCase> {};

TEST_P(ZeroPlacement, WritesTheBandTypesZerosAndNothingElse) {
  const ZeroCase& c = GetParam();
  FilterSpec spec{.bandType = c.band, .order = c.order, .fsample = c.fsample, .fcenter = c.fcenter};
  std::array<Complex, kMaxCoefficients> zeros;
  zeros.fill(kUntouched);
  EXPECT_EQ(PlaceIirZeros(spec, zeros), 0);

  const int n = c.order;
  const int written = IsBandType(c.band) ? 2 * n : n;
  const double theta = 2.0 * std::atan(3.141592653589793 * c.fcenter / c.fsample);
  for (int i = 0; i < written; ++i) {
    SCOPED_TRACE(::testing::Message() << "zero " << i);
    switch (c.band) {
      case BandType::LowPass:
        EXPECT_EQ(zeros[i], (Complex{-1.0, 0.0}));
        break;
      case BandType::HighPass:
        EXPECT_EQ(zeros[i], (Complex{1.0, 0.0}));
        break;
      case BandType::BandPass:
        EXPECT_EQ(zeros[i], (Complex{i < n ? -1.0 : 1.0, 0.0}));
        break;
      case BandType::BandStop:
        // On the unit circle at the notch, the second half the conjugates of the first.
        EXPECT_NEAR(std::hypot(zeros[i].re, zeros[i].im), 1.0, 1e-15);
        EXPECT_NEAR(std::atan2(zeros[i].im, zeros[i].re), i < n ? theta : -theta, 1e-14);
        EXPECT_EQ(zeros[i], i < n ? zeros[0] : Conjugate(zeros[0]));
        break;
    }
  }
  for (int i = written; i < kMaxCoefficients; ++i) EXPECT_EQ(zeros[i], kUntouched);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, ZeroPlacement,
    ::testing::Values(ZeroCase{"LowPassOrder4", BandType::LowPass, 4, 0.0, 1000},
                      ZeroCase{"LowPassOrder19", BandType::LowPass, 19, 0.0, 1000},
                      ZeroCase{"HighPassOrder3", BandType::HighPass, 3, 0.0, 1000},
                      ZeroCase{"BandPassOrder3", BandType::BandPass, 3, 150.0, 1000},
                      ZeroCase{"BandStopQuarter", BandType::BandStop, 2, 250.0, 1000},
                      ZeroCase{"BandStopOrder9", BandType::BandStop, 9, 12345.6, 96000},
                      ZeroCase{"OrderZero", BandType::BandStop, 0, 250.0, 1000}),
    [](const auto& test) { return test.param.name; });

TEST(ZeroPlacement, BandStopAtAQuarterOfTheSamplingFrequency) {
  FilterSpec spec{.bandType = BandType::BandStop, .order = 1, .fsample = 1000, .fcenter = 250.0};
  std::array<Complex, 2> zeros{};
  PlaceIirZeros(spec, zeros);
  EXPECT_NEAR(zeros[0].re, 0.2370, 5e-5);
  EXPECT_NEAR(zeros[0].im, 0.9715, 5e-5);
  EXPECT_EQ(zeros[1], Conjugate(zeros[0]));
}

}  // namespace
}  // namespace qv
