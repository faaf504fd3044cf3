// Value-to-pixel mappings: truncation toward zero, the graph scales, and values without a
// place on their axis.
#include "graph/pixel_position.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace qv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

int Truncate(double v) { return TruncatePixel(v, -1); }
// The export's frame origins: top row at 162, zero-pole centre at (170, 554).
int Magnitude(double db) { return MagnitudeRow(db, -100.0, 0.0, 162); }
int FlatMagnitude(double db) { return MagnitudeRow(db, -5.0, -5.0, 162); }
int Phase(double radians) { return PhaseRow(radians, 162); }
int Delay(double seconds) { return GroupDelayRow(seconds, 0.001, 0.003, 162); }
int FlatDelay(double seconds) { return GroupDelayRow(seconds, 0.002, 0.002, 162); }
int Response(double value) { return BottomRow(value, 554); }
int Column(double re) { return ZeroPoleColumn(re, 170); }

struct MappingCase {
  const char* name;
  int (*map)(double value);
  double value;
  int pixel;
};

class Mapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(Mapping, GivesThePixel) { EXPECT_EQ(GetParam().map(GetParam().value), GetParam().pixel); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Mapping,
    ::testing::Values(MappingCase{"TruncatesDown", Truncate, 2.9, 2},
                      MappingCase{"TruncatesUp", Truncate, -2.9, -2},
                      MappingCase{"NaNFallsBack", Truncate, kNaN, -1},
                      MappingCase{"HugeHeld", Truncate, 1e300, kPixelLimit},
                      MappingCase{"MinusInfinityHeld", Truncate, -kInfinity, -kPixelLimit},
                      MappingCase{"MagnitudeTop", Magnitude, 0.0, 162},
                      MappingCase{"MagnitudeBottom", Magnitude, -100.0, 362},
                      MappingCase{"MagnitudeFlat", FlatMagnitude, -7.0, 262},
                      MappingCase{"PhaseNaN", Phase, kNaN, 262},
                      MappingCase{"DelayBottom", Delay, 0.001, 362},
                      MappingCase{"DelayFlat", FlatDelay, 0.003, 262},
                      // 554 - trunc(55.5), not trunc(554 - 55.5).
                      MappingCase{"ResponseAbove", Response, 0.555, 499},
                      MappingCase{"ResponseNaN", Response, kNaN, 554},
                      MappingCase{"ColumnHeld", Column, -kInfinity, 170 - kPixelLimit}),
    [](const ::testing::TestParamInfo<MappingCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qv
