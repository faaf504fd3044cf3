// Value-to-pixel mappings: truncation toward zero, the graph scales, and values without a
// place on their axis.
#include "export/pixel_position.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace qv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

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
    ::testing::Values(
        MappingCase{"TruncatesDown", [](double v) { return TruncatePixel(v, -1); }, 2.9, 2},
        MappingCase{"TruncatesUp", [](double v) { return TruncatePixel(v, -1); }, -2.9, -2},
        MappingCase{"NaNFallsBack", [](double v) { return TruncatePixel(v, -1); }, kNaN, -1},
        MappingCase{"HugeHeld", [](double v) { return TruncatePixel(v, -1); }, 1e300, kPixelLimit},
        MappingCase{"MinusInfinityHeld", [](double v) { return TruncatePixel(v, -1); }, -kInfinity,
                    -kPixelLimit},
        MappingCase{"MagnitudeTop", [](double v) { return MagnitudeRow(v, -100, 0); }, 0.0, 162},
        MappingCase{"MagnitudeBottom", [](double v) { return MagnitudeRow(v, -100, 0); }, -100,
                    362},
        MappingCase{"MagnitudeInside", [](double v) { return MagnitudeRow(v, -100, 0); }, -30.3,
                    222},
        MappingCase{"MagnitudeFlat", [](double v) { return MagnitudeRow(v, -5, -5); }, -7, 262},
        MappingCase{"PhaseUpper", PhaseRow, 0.3, 252},
        MappingCase{"PhaseLower", PhaseRow, -2.0, 325},
        MappingCase{"PhaseNaN", PhaseRow, kNaN, 262},
        MappingCase{"DelayBottom", [](double v) { return GroupDelayRow(v, 0.001, 0.003); }, 0.001,
                    362},
        MappingCase{"DelayInside", [](double v) { return GroupDelayRow(v, 0.001, 0.003); },
                    0.002655, 196},
        MappingCase{"DelayFlat", [](double v) { return GroupDelayRow(v, 0.002, 0.002); }, 0.003,
                    262},
        // 554 - trunc(55.5), not trunc(554 - 55.5).
        MappingCase{"ResponseAbove", BottomRow, 0.555, 499},
        MappingCase{"ResponseBelow", BottomRow, -0.385, 592},
        MappingCase{"ResponseNaN", BottomRow, kNaN, 554},
        MappingCase{"ColumnLeft", ZeroPoleColumn, -0.305, 140},
        MappingCase{"ColumnHeld", ZeroPoleColumn, -kInfinity, 170 - kPixelLimit}),
    [](const ::testing::TestParamInfo<MappingCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qv
