// The tolerance mask over the magnitude graph: its lines for every band type on a known curve,
// where its limits sit, and that designs which meet their scheme keep their pass band on the
// right side of them.
#include "graph/tolerance_mask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/calculate.h"

namespace qv {
namespace {

// The picture's magnitude frame: columns 42..298, rows 162..362. At 1000 Hz a frequency f lies
// in column 42 + trunc(0.512 f); with the range -100..0 dB a level v lies in row
// 162 - trunc(2 v).
constexpr int kLeft = 42;
constexpr int kTop = 162;
constexpr int kBottomInside = 361;  // the last row inside the frame
constexpr int kTopInside = 163;

struct MaskCase {
  const char* name;
  BandType band;
  ToleranceScheme scheme;
  double passDb;  // the curve in the pass bands
  double stopDb;  // and elsewhere
  std::vector<MaskLine> lines;
};

ResponseSet KnownCurve(const FilterSpec& spec, double passDb, double stopDb) {
  ResponseSet responses;
  responses.magnitudeMinDb = -100.0;
  responses.magnitudeMaxDb = 0.0;
  const ToleranceScheme& s = spec.scheme;
  for (int k = 0; k < kDisplayPoints; ++k) {
    const double f = k * 1000.0 / 512.0;
    bool pass = false;
    switch (spec.bandType) {
      case BandType::LowPass:
        pass = f <= s.pass1;
        break;
      case BandType::HighPass:
        pass = f >= s.pass1;
        break;
      case BandType::BandPass:
        pass = f >= s.pass1 && f <= s.pass2;
        break;
      case BandType::BandStop:
        pass = f <= s.pass1 || f >= s.pass2;
        break;
    }
    responses.magnitudeDb[k] = pass ? passDb : stopDb;
  }
  return responses;
}

class Mask : public ::testing::TestWithParam<MaskCase> {};

TEST_P(Mask, OutlinesTheForbiddenRegions) {
  const MaskCase& c = GetParam();
  FilterSpec spec;
  spec.bandType = c.band;
  spec.fsample = 1000;
  spec.ripple = 1.0;
  spec.scheme = c.scheme;
  spec.scheme.active = true;
  const ToleranceMask mask =
      MakeToleranceMask(spec, KnownCurve(spec, c.passDb, c.stopDb), kLeft, kTop);
  const std::vector<MaskLine> lines(mask.lines.begin(), mask.lines.begin() + mask.count);
  ASSERT_EQ(lines.size(), c.lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const MaskLine& a = lines[i];
    const MaskLine& e = c.lines[i];
    EXPECT_EQ(a, e) << "line " << i << ": (" << a.x1 << ", " << a.row1 << ") to (" << a.x2 << ", "
                    << a.row2 << ")";
  }
}

// Pass limit 1 dB below the pass band's largest value, stop limit As below it.
INSTANTIATE_TEST_SUITE_P(
    Bands, Mask,
    ::testing::Values(
        // Pass band 0..100 Hz: columns 43 (off the left edge) to 93; stop band 200 Hz (column
        // 144) to 500 Hz (column 297, off the right edge). Limits 0 - 1 dB and 0 - 40 dB.
        MaskCase{"LowPass",
                 BandType::LowPass,
                 {.pass1 = 100, .stop1 = 200, .attenuation = 40},
                 0.0,
                 -60.0,
                 {{43, 164, 93, 164},
                  {93, 164, 93, kBottomInside},
                  {144, 242, 297, 242},
                  {144, 242, 144, kTopInside}}},
        MaskCase{"HighPassAt30Db",
                 BandType::HighPass,
                 {.pass1 = 300, .stop1 = 150, .attenuation = 30},
                 0.0,
                 -60.0,
                 {{195, 164, 297, 164},
                  {195, 164, 195, kBottomInside},
                  {43, 222, 118, 222},
                  {118, 222, 118, kTopInside}}},
        // The pass band's largest value is the reference, not the curve's top: limits at
        // -3 dB (row 168) and -42 dB (row 246).
        MaskCase{"BandPassBelowTheTop",
                 BandType::BandPass,
                 {.pass1 = 150, .pass2 = 300, .stop1 = 100, .stop2 = 400, .attenuation = 40},
                 -2.0,
                 -70.0,
                 {{118, 168, 195, 168},
                  {118, 168, 118, kBottomInside},
                  {195, 168, 195, kBottomInside},
                  {43, 246, 93, 246},
                  {93, 246, 93, kTopInside},
                  {246, 246, 297, 246},
                  {246, 246, 246, kTopInside}}},
        MaskCase{"BandStop",
                 BandType::BandStop,
                 {.pass1 = 100, .pass2 = 400, .stop1 = 150, .stop2 = 300, .attenuation = 40},
                 0.0,
                 -60.0,
                 {{43, 164, 93, 164},
                  {93, 164, 93, kBottomInside},
                  {246, 164, 297, 164},
                  {246, 164, 246, kBottomInside},
                  {118, 242, 195, 242},
                  {118, 242, 118, kTopInside},
                  {195, 242, 195, kTopInside}}},
        // -120 dB lies below the frame: no stop limit line, the edge runs the frame's height.
        MaskCase{"StopLimitBelowTheRange",
                 BandType::LowPass,
                 {.pass1 = 100, .stop1 = 200, .attenuation = 120},
                 0.0,
                 -60.0,
                 {{43, 164, 93, 164},
                  {93, 164, 93, kBottomInside},
                  {144, kBottomInside, 144, kTopInside}}}),
    [](const ::testing::TestParamInfo<MaskCase>& test) { return std::string(test.param.name); });

TEST(Mask, NothingWithoutAScheme) {
  FilterSpec spec;
  spec.scheme = {.pass1 = 100, .stop1 = 200};
  ResponseSet responses;
  responses.magnitudeMinDb = -100.0;
  EXPECT_EQ(MakeToleranceMask(spec, responses, kLeft, kTop).count, 0);
}

// A pass limit below the range leaves nothing forbidden in view: no pass-band line or edge.
TEST(Mask, PassLimitBelowTheRangeDrawsNoPassBand) {
  FilterSpec spec;
  spec.fsample = 1000;
  spec.ripple = 3.0;
  spec.scheme = {.active = true, .pass1 = 100, .stop1 = 200, .attenuation = 40};
  ResponseSet responses = KnownCurve(spec, -98.0, -99.0);
  const ToleranceMask mask = MakeToleranceMask(spec, responses, kLeft, kTop);
  for (int i = 0; i < mask.count; ++i) {
    EXPECT_GE(mask.lines[i].x1, 144) << "line " << i << " is not in the stop band";
  }
}

struct DesignCase {
  const char* name;
  FilterSpec spec;
};

class MaskOfADesign : public ::testing::TestWithParam<DesignCase> {};

// Float designs that meet their scheme: every display point of the pass bands lies on or above
// the pass limit, and none of the stop band above the stop limit by more than the pass band's
// sampling can hide (the largest gain may fall between display points, at most Rp above them).
TEST_P(MaskOfADesign, PassBandStaysAboveItsLimit) {
  const Calculation c = Calculate(GetParam().spec);
  ASSERT_TRUE(c.Succeeded()) << c.outcome.message;
  ASSERT_TRUE(c.outcome.scheme.meets);
  const ToleranceMask mask = MakeToleranceMask(c.spec, c.responses, kLeft, kTop);
  EXPECT_GT(mask.count, 0);
  const ToleranceScheme& s = c.spec.scheme;
  const double nyquist = c.spec.fsample / 2.0;
  for (int k = 0; k < kDisplayPoints; ++k) {
    const double f = k * c.spec.fsample / 512.0;
    const double db = c.responses.magnitudeDb[k];
    bool pass = false;
    bool stop = false;
    switch (c.spec.bandType) {
      case BandType::LowPass:
        pass = f <= s.pass1;
        stop = f >= s.stop1;
        break;
      case BandType::HighPass:
        pass = f >= s.pass1 && f <= nyquist;
        stop = f <= s.stop1;
        break;
      case BandType::BandPass:
        pass = f >= s.pass1 && f <= s.pass2;
        stop = f <= s.stop1 || f >= s.stop2;
        break;
      case BandType::BandStop:
        pass = f <= s.pass1 || f >= s.pass2;
        stop = f >= s.stop1 && f <= s.stop2;
        break;
    }
    if (pass) {
      EXPECT_GE(db, mask.passLimitDb - kSchemeToleranceDb) << "point " << k;
    }
    if (stop) {
      EXPECT_LE(db, mask.stopLimitDb + c.spec.ripple + kSchemeToleranceDb) << "point " << k;
    }
  }
}

FilterSpec SchemeDesign(FilterModel model, BandType band, ToleranceScheme scheme) {
  FilterSpec spec;
  spec.filterClass = model == FilterModel::Kaiser || model == FilterModel::Equiripple
                         ? FilterClass::Fir
                         : FilterClass::Iir;
  spec.bandType = band;
  spec.model = model;
  spec.fsample = 1000;
  spec.ripple = 0.5;
  spec.scheme = scheme;
  spec.scheme.active = true;
  spec.scheme.minimumOrder = true;
  return spec;
}

INSTANTIATE_TEST_SUITE_P(
    Designs, MaskOfADesign,
    ::testing::Values(
        DesignCase{"EllipticLowPass",
                   SchemeDesign(FilterModel::Elliptic, BandType::LowPass,
                                {.pass1 = 100, .stop1 = 130, .attenuation = 60})},
        DesignCase{"ChebyshevIIHighPass",
                   SchemeDesign(FilterModel::ChebyshevII, BandType::HighPass,
                                {.pass1 = 200, .stop1 = 150, .attenuation = 50})},
        DesignCase{"ButterworthBandPass",
                   SchemeDesign(
                       FilterModel::Butterworth, BandType::BandPass,
                       {.pass1 = 150, .pass2 = 250, .stop1 = 80, .stop2 = 350, .attenuation = 30})},
        DesignCase{
            "EllipticBandStop",
            SchemeDesign(
                FilterModel::Elliptic, BandType::BandStop,
                {.pass1 = 100, .pass2 = 400, .stop1 = 180, .stop2 = 300, .attenuation = 50})},
        DesignCase{"EquirippleLowPass",
                   SchemeDesign(FilterModel::Equiripple, BandType::LowPass,
                                {.pass1 = 100, .stop1 = 150, .attenuation = 50})},
        DesignCase{
            "KaiserBandPass",
            SchemeDesign(
                FilterModel::Kaiser, BandType::BandPass,
                {.pass1 = 150, .pass2 = 250, .stop1 = 100, .stop2 = 300, .attenuation = 40})}),
    [](const ::testing::TestParamInfo<DesignCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qv
