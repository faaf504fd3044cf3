// What the screen page's painter puts on the image: which pixels lines, boxes, dots and text
// cover, and pixel access at device-pixel ratios 1 and 2.
#include "framework/screen_dc.h"
#include "framework/stroke_pixels.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace qv {
namespace {

QImage Filled(int width, int height, QColor colour = Qt::white, double ratio = 1.0) {
  QImage image(static_cast<int>(width * ratio), static_cast<int>(height * ratio),
               QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(colour);
  return image;
}

bool IsWhite(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(255, 255, 255); }

// n pixels from (x, y) in the direction (dx, dy) as '#' for ink and '.' for white.
std::string Ink(const QImage& image, int x, int y, int dx, int dy, int n) {
  std::string ink;
  for (int i = 0; i < n; ++i) ink += IsWhite(image, x + i * dx, y + i * dy) ? '.' : '#';
  return ink;
}

// The readout's cross, scrolled by the viewport origin: each stroke leaves out its end point,
// so each arm covers the 7 pixels centred on the cross.
TEST(ScreenDC, LinesLeaveOutTheirEndPoint) {
  QImage image = Filled(64, 64);
  {
    CScreenDC dc(image);
    dc.SetViewportOrg(-10, -5);
    CPen blue;
    blue.CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    dc.SelectObject(&blue);
    dc.MoveTo(30, 22);
    dc.LineTo(30, 29);
    dc.MoveTo(27, 25);
    dc.LineTo(34, 25);
  }
  EXPECT_EQ(Ink(image, 15, 20, 1, 0, 11), "..#######..");
  EXPECT_EQ(Ink(image, 20, 15, 0, 1, 11), "..#######..");
}

struct Direction {
  const char* name;
  int dx;
  int dy;
};

void PrintTo(const Direction& d, std::ostream* os) { *os << d.name; }

class StrokeDirection : public ::testing::TestWithParam<Direction> {};

// Whatever its direction, a stroke of five steps draws its start pixel and the next four and
// leaves out its end pixel.
TEST_P(StrokeDirection, DrawsItsStartAndLeavesOutItsEnd) {
  const Direction d = GetParam();
  QImage image = Filled(40, 40);
  {
    CScreenDC dc(image);
    dc.MoveTo(20, 20);
    dc.LineTo(20 + 5 * d.dx, 20 + 5 * d.dy);
  }
  EXPECT_EQ(Ink(image, 20 - d.dx, 20 - d.dy, d.dx, d.dy, 7), ".#####.");
}

INSTANTIATE_TEST_SUITE_P(EightWays, StrokeDirection,
                         ::testing::Values(Direction{"Right", 1, 0}, Direction{"Left", -1, 0},
                                           Direction{"Down", 0, 1}, Direction{"Up", 0, -1},
                                           Direction{"DownRight", 1, 1},
                                           Direction{"DownLeft", -1, 1},
                                           Direction{"UpRight", 1, -1},
                                           Direction{"UpLeft", -1, -1}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

class StrokeReversal : public ::testing::TestWithParam<Direction> {};

// A stroke and its reverse cover the same pixels but for their ends: the curves look the same
// whichever way they run.
TEST_P(StrokeReversal, CoversTheSamePixelsButForItsEnds) {
  const Direction d = GetParam();
  const CPoint a{30, 30};
  const CPoint b{30 + d.dx, 30 + d.dy};
  QImage forward = Filled(64, 64);
  QImage backward = Filled(64, 64);
  {
    CScreenDC dc(forward);
    dc.MoveTo(a.x, a.y);
    dc.LineTo(b.x, b.y);
    dc.SetPixel(b.x, b.y, RGB(0, 0, 0));
  }
  {
    CScreenDC dc(backward);
    dc.MoveTo(b.x, b.y);
    dc.LineTo(a.x, a.y);
    dc.SetPixel(a.x, a.y, RGB(0, 0, 0));
  }
  EXPECT_TRUE(forward == backward);
  int ink = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) ink += IsWhite(forward, x, y) ? 0 : 1;
  }
  EXPECT_EQ(ink, std::max(std::abs(d.dx), std::abs(d.dy)) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Slopes, StrokeReversal,
    ::testing::Values(Direction{"ShallowRight", 7, 2}, Direction{"ShallowLeftUp", -9, -4},
                      Direction{"SteepDown", 3, 11}, Direction{"SteepUpRight", 2, -9},
                      Direction{"HalfSlope", 6, -3}, Direction{"OneInTwo", -1, 2}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A stroke to a far point walks only the pixels of the target: the part inside is the ideal
// line's, and a stroke reaching kFarthestStrokePixel away is one run for a clip of ten rows.
TEST(StrokePixels, FarStrokesAreWalkedInsideTheClipOnly) {
  std::vector<PixelRun> runs;
  StrokePixelRuns({3, 0}, {3, kFarthestStrokePixel}, 0, {0, 0, 9, 9},
                  [&runs](const PixelRun& run) { runs.push_back(run); });
  EXPECT_EQ(runs, (std::vector<PixelRun>{{3, 0, 1, 10}}));
  QImage image = Filled(64, 64);
  {
    CScreenDC dc(image);
    dc.MoveTo(40, 40);
    dc.LineTo(40 - 1000000, 40 - 1000000);
  }
  EXPECT_EQ(Ink(image, 0, 0, 1, 1, 42), std::string(41, '#') + ".");
}

// Under the page's upward y: the box covers device rows 10..29 and columns 10..39 and is filled
// white; a dotted line inside it runs 3 pixels on, 3 off.
TEST(ScreenDC, BoxesLeaveOutTheirRightAndBottomEdgeAndDotsAlternate) {
  const QRgb grey = qRgb(128, 128, 128);
  QImage image = Filled(64, 64, QColor(grey));
  {
    CScreenDC dc(image);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(64, 64);
    dc.SetViewportExt(64, -64);
    dc.Rectangle(10, -10, 40, -30);
    CPen dot;
    dot.CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    dc.SelectObject(&dot);
    dc.MoveTo(12, -20);
    dc.LineTo(27, -20);
  }
  EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(39, 29), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(40, 29), grey);
  EXPECT_EQ(image.pixel(39, 30), grey);
  EXPECT_EQ(Ink(image, 11, 20, 1, 0, 18), ".###...###...###..");
}

// Text hangs upright from its point under the page's upward y; Courier New at 10 points is 8
// pixels a character on the screen page.
TEST(ScreenDC, TextHangsUprightFromItsTopLeftCorner) {
  QImage image = Filled(200, 40);
  {
    CScreenDC dc(image);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(200, 40);
    dc.SetViewportExt(200, -40);
    CFont courier;
    courier.CreatePointFont(100, "Courier New", &dc);
    dc.SelectObject(&courier);
    dc.TextOut(20, -10, "MMMMMMMMMM");
  }
  int top = 40;
  int left = 200;
  int right = -1;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (IsWhite(image, x, y)) continue;
      top = std::min(top, y);
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  EXPECT_GE(top, 10);
  EXPECT_LT(top, 20);
  EXPECT_GE(left, 20);
  EXPECT_GE(right, 20 + 9 * 8);  // the tenth character starts 72 pixels in
  EXPECT_LT(right, 20 + 10 * 8);
}

class PixelRatio : public ::testing::TestWithParam<int> {};

// Pixels are logical: a set pixel covers its ratio x ratio block, and reading returns it.
TEST_P(PixelRatio, SetPixelPaintsTheLogicalPixelsBlock) {
  const int ratio = GetParam();
  QImage image = Filled(64, 64, Qt::white, ratio);
  CScreenDC dc(image);
  dc.SetViewportOrg(-2, -3);
  dc.SetPixel(12, 13, RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(12, 13), RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(13, 13), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(-100, 0), CLR_INVALID);
  const std::string block(ratio, '#');
  EXPECT_EQ(Ink(image, 10 * ratio, 10 * ratio, 1, 0, ratio + 1), block + ".");
  EXPECT_EQ(Ink(image, 10 * ratio + ratio - 1, 10 * ratio, 0, 1, ratio + 1), block + ".");
}

INSTANTIATE_TEST_SUITE_P(Ratios, PixelRatio, ::testing::Values(1, 2));

}  // namespace
}  // namespace qv
