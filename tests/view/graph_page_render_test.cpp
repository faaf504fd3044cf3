// The graph page drawn on the screen page's image: the pixels must be where the logical
// drawing puts them, with y turned downwards.
#include <QImage>

#include <gtest/gtest.h>

#include "framework/screen_dc.h"
#include "view/graph_page.h"
#include "view_test_support.h"

namespace qv::test {
namespace {

QImage ScreenPage(const CalculatedDesign& design, bool calculated) {
  QImage image(1024, 700, QImage::Format_RGB32);
  image.fill(Qt::white);
  CScreenDC dc(image);
  DrawGraphPage(dc, design.spec, design.scale, design.responses, design.scheme, calculated);
  return image;
}

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);

struct Corner {
  int x;
  int y;
  QRgb colour;
};

// Frames cover columns left..left+255 and rows top..top+199: the box's right column and bottom
// row stay outside.
TEST(ScreenPage, FramesSitOnTheirPixels) {
  const QImage image = ScreenPage(Calculated(FilterSpec{}), true);
  for (const Corner& c :
       {Corner{297, 169, kBlack}, Corner{298, 169, kWhite}, Corner{382, 368, kBlack},
        Corner{382, 369, kWhite}, Corner{722, 455, kBlack}, Corner{977, 654, kBlack},
        Corner{978, 654, kWhite}, Corner{977, 655, kWhite}}) {
    EXPECT_EQ(image.pixel(c.x, c.y), c.colour) << c.x << ", " << c.y;
  }
}

// The default low pass starts at its reference gain: the magnitude curve's first point is the
// frame's top-left corner. Every curve's first point is where the logical drawing put it.
TEST(ScreenPage, CurvesStartWhereTheDrawingPutsThem) {
  const CalculatedDesign design = Calculated(FilterSpec{});
  const QImage image = ScreenPage(design, true);
  EXPECT_EQ(image.pixel(42, 169), kRed);
  const auto polylines = RedPolylines(DrawnPage(design));
  ASSERT_EQ(polylines.size(), 5u);
  for (const auto& polyline : polylines) {
    const CPoint first = polyline.front();
    EXPECT_EQ(image.pixel(first.x, -first.y), kRed) << first.x << ", " << first.y;
  }
}

// A pole's cross: two strokes of five pixels through its centre, (M-2, N+2) to (M+2, N-2) and
// (M+2, N+2) to (M-2, N-2); the strokes' end points (M+3, N-3) and (M-3, N-3) stay white.
TEST(ScreenPage, PoleCrossIsSymmetric) {
  const CalculatedDesign design = Calculated(FilterSpec{});
  const QImage image = ScreenPage(design, true);
  const Complex pole = design.responses.poles[0];
  const int m = 170 + static_cast<int>(100.0 * pole.re);
  const int n = static_cast<int>(100.0 * pole.im) - 555;
  const auto colourAt = [&](int x, int y) { return image.pixel(x, -y); };
  for (int i = -2; i <= 2; ++i) {
    EXPECT_EQ(colourAt(m + i, n - i), kRed) << "first stroke, step " << i;
    EXPECT_EQ(colourAt(m - i, n - i), kRed) << "second stroke, step " << i;
  }
  EXPECT_EQ(colourAt(m + 3, n - 3), kWhite);
  EXPECT_EQ(colourAt(m - 3, n - 3), kWhite);
  EXPECT_EQ(colourAt(m - 3, n + 3), kWhite);
  EXPECT_EQ(colourAt(m + 3, n + 3), kWhite);
}

TEST(ScreenPage, StaysWhiteWhenNotCalculated) {
  const QImage image = ScreenPage(Calculated(FilterSpec{}), false);
  QImage white(image.size(), image.format());
  white.fill(Qt::white);
  EXPECT_TRUE(image == white);
}

}  // namespace
}  // namespace qv::test
