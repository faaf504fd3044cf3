// The picture of the default design, calculated by the engine, against the committed golden
// picture: any drift of the layout shows as differing pixels.
#include <gtest/gtest.h>

#include "engine/calculate.h"
#include "gif_picture.h"
#include "sample_design.h"

namespace qv::test {
namespace {

ExportInput DefaultDesign() {
  const Calculation calculation = Calculate(FilterSpec{});
  EXPECT_TRUE(calculation.Succeeded()) << calculation.outcome.message;
  return {calculation.spec, calculation.scale, calculation.responses, calculation.outcome.scheme};
}

TEST(DefaultDesignPicture, MatchesTheGoldenPicture) {
  const Picture picture = ExportAndDecode(DefaultDesign(), "default.gif");
  const Picture golden(DefaultDesignGoldenPath());
  ASSERT_TRUE(picture.IsValid());
  ASSERT_TRUE(golden.IsValid());
  ASSERT_EQ(golden.Width(), picture.Width());
  ASSERT_EQ(golden.Height(), picture.Height());
  EXPECT_EQ(picture.CountDifferences(golden), 0);
}

// A low pass is referenced to 0 Hz, so its magnitude curve starts at the top of its range:
// the frame's top-left corner.
TEST(DefaultDesignPicture, MagnitudeStartsInTheFramesTopLeftCorner) {
  const ExportInput input = DefaultDesign();
  ASSERT_EQ(input.responses.magnitudeDb[0], 0.0);
  ASSERT_EQ(input.responses.magnitudeMaxDb, 0.0);
  const Picture picture = ExportAndDecode(input, "default-corner.gif");
  ASSERT_TRUE(picture.IsValid());
  EXPECT_TRUE(picture.IsRed(42, 162));
}

}  // namespace
}  // namespace qv::test
