// The picture of a design with a tolerance scheme: the mask in the palette's blue exactly where
// its geometry puts it, under the magnitude curve, and the verdict beside the summary; a design
// without a scheme shows neither.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "engine/calculate.h"
#include "graph/tolerance_mask.h"
#include "picture/graph_layout.h"
#include "sample_design.h"

namespace qv::test {
namespace {

using Pixel = std::pair<int, int>;

struct SchemeCase {
  const char* name;
  FilterSpec spec;
};

ExportInput CalculatedInput(const FilterSpec& spec) {
  const Calculation c = Calculate(spec);
  EXPECT_TRUE(c.Succeeded()) << c.outcome.message;
  return {c.spec, c.scale, c.responses, c.outcome.scheme};
}

std::set<Pixel> MaskPixels(const ToleranceMask& mask) {
  std::set<Pixel> pixels;
  for (int i = 0; i < mask.count; ++i) {
    const MaskLine& l = mask.lines[i];
    for (int x = std::min(l.x1, l.x2); x <= std::max(l.x1, l.x2); ++x) {
      for (int y = std::min(l.row1, l.row2); y <= std::max(l.row1, l.row2); ++y) {
        pixels.insert({x, y});
      }
    }
  }
  return pixels;
}

// Ink in the summary's second column, rows of the summary.
bool VerdictInk(const Picture& picture) {
  return picture
      .InkColumns(picture::kVerdictX, picture::kSummaryY, picture::kImageWidth, picture::kTopTitleY)
      .has_value();
}

class SchemePicture : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(SchemePicture, MaskIsBlueWhereItsGeometryLies) {
  const ExportInput input = CalculatedInput(GetParam().spec);
  const ToleranceMask mask =
      MakeToleranceMask(input.spec, input.responses, picture::kLeftColumn, picture::kTopRow);
  ASSERT_GT(mask.count, 0);
  const std::set<Pixel> pixels = MaskPixels(mask);
  const Picture picture = ExportAndDecode(input, std::string(GetParam().name) + ".gif");
  ASSERT_TRUE(picture.IsValid());
  int blue = 0;
  for (const auto& [x, y] : pixels) {
    // The curve is drawn over the mask.
    EXPECT_TRUE(picture.ColourAt(x, y) == kBlue || picture.IsRed(x, y)) << x << ", " << y;
    blue += picture.ColourAt(x, y) == kBlue ? 1 : 0;
  }
  EXPECT_GT(blue, static_cast<int>(pixels.size()) / 2);
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      if (picture.ColourAt(x, y) == kBlue) {
        ASSERT_TRUE(pixels.count({x, y}) == 1) << "blue outside the mask at " << x << ", " << y;
      }
    }
  }
  EXPECT_TRUE(VerdictInk(picture));
}

TEST_P(SchemePicture, WithoutTheSchemeNeitherMaskNorVerdict) {
  FilterSpec spec = GetParam().spec;
  spec.scheme.active = false;
  spec.scheme.minimumOrder = false;
  if (NeedsScheme(spec.model)) {
    // Designed from its scheme, the model has no design without one: a Chebyshev of the same
    // band and cut frequencies stands in.
    spec.model = FilterModel::Chebyshev;
  }
  const Picture picture =
      ExportAndDecode(CalculatedInput(spec), std::string(GetParam().name) + "-plain.gif");
  ASSERT_TRUE(picture.IsValid());
  EXPECT_FALSE(picture.AnyInRectangle(0, 0, picture.Width(), picture.Height(), kBlue));
  EXPECT_FALSE(VerdictInk(picture));
}

// A caller without the check still gets the mask, but no verdict is invented.
TEST_P(SchemePicture, WithoutTheCheckTheMaskStaysAndTheVerdictGoes) {
  ExportInput input = CalculatedInput(GetParam().spec);
  input.scheme = SchemeCheck{};
  const Picture picture = ExportAndDecode(input, std::string(GetParam().name) + "-unchecked.gif");
  ASSERT_TRUE(picture.IsValid());
  EXPECT_TRUE(picture.AnyInRectangle(0, 0, picture.Width(), picture.Height(), kBlue));
  EXPECT_FALSE(VerdictInk(picture));
}

FilterSpec Scheme(FilterModel model, BandType band, int order, ToleranceScheme scheme) {
  FilterSpec spec;
  spec.bandType = band;
  spec.model = model;
  spec.order = order;
  spec.fcut1 = static_cast<std::int32_t>(scheme.pass1);
  spec.fcut2 = static_cast<std::int32_t>(band == BandType::BandStop ? scheme.pass2 : scheme.pass1);
  spec.scheme = scheme;
  spec.scheme.active = true;
  return spec;
}

INSTANTIATE_TEST_SUITE_P(
    Designs, SchemePicture,
    ::testing::Values(
        SchemeCase{"EllipticLowPass",
                   Scheme(FilterModel::Elliptic, BandType::LowPass, 2,
                          {.minimumOrder = true, .pass1 = 100, .stop1 = 130, .attenuation = 50})},
        SchemeCase{
            "ChebyshevBandStop",
            Scheme(FilterModel::Chebyshev, BandType::BandStop, 4,
                   {.pass1 = 100, .pass2 = 350, .stop1 = 180, .stop2 = 260, .attenuation = 30})}),
    [](const ::testing::TestParamInfo<SchemeCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qv::test
