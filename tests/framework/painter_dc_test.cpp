// What the painter targets put on an image: which pixels lines, boxes, dots and text cover,
// and the pixel access of the screen page at device-pixel ratios 1 and 2.
#include "framework/painter_dc.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "framework/screen_dc.h"

namespace qv {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr int kSize = 64;

QImage WhiteImage(double ratio = 1.0) {
  QImage image(static_cast<int>(kSize * ratio), static_cast<int>(kSize * ratio),
               QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  return image;
}

bool IsWhite(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(255, 255, 255); }

// Columns of one row that carry ink, from x0 up to (not including) x1, as a string of '#'
// and '.'.
std::string InkRow(const QImage& image, int y, int x0, int x1) {
  std::string ink;
  for (int x = x0; x < x1; ++x) {
    ink += IsWhite(image, x, y) ? '.' : '#';
  }
  return ink;
}

std::string InkColumn(const QImage& image, int x, int y0, int y1) {
  std::string ink;
  for (int y = y0; y < y1; ++y) {
    ink += IsWhite(image, x, y) ? '.' : '#';
  }
  return ink;
}

// The readout's cross: each stroke leaves out its end point, so each arm covers the 7 pixels
// centred on the cross, scrolled by the viewport origin.
TEST(ScreenDC, LinesLeaveOutTheirEndPoint) {
  QImage image = WhiteImage();
  {
    CScreenDC dc(image);
    dc.SetViewportOrg(-10, -5);
    CPen blue;
    blue.CreatePen(PS_SOLID, 1, kBlue);
    dc.SelectObject(&blue);
    const int x = 30;
    const int y = 25;
    dc.MoveTo(x, y - 3);
    dc.LineTo(x, y + 4);
    dc.MoveTo(x - 3, y);
    dc.LineTo(x + 4, y);
  }
  EXPECT_EQ(InkRow(image, 20, 15, 26), "..#######..");
  EXPECT_EQ(InkColumn(image, 20, 15, 26), "..#######..");
}

TEST(ScreenDC, BoxesLeaveOutTheirRightColumnAndBottomRowAndFillWhite) {
  QImage image(kSize, kSize, QImage::Format_RGB32);
  image.fill(QColor(128, 128, 128));
  {
    CScreenDC dc(image);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(kSize, kSize);
    dc.SetViewportExt(kSize, -kSize);
    dc.Rectangle(10, -10, 20, -30);  // device rows 10..29, columns 10..19
  }
  EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(19, 29), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(20, 29), qRgb(128, 128, 128));
  EXPECT_EQ(image.pixel(19, 30), qRgb(128, 128, 128));
  EXPECT_TRUE(IsWhite(image, 15, 20));
}

TEST(ScreenDC, DottedLinesAlternateThreePixelsOnAndOff) {
  QImage image = WhiteImage();
  {
    CScreenDC dc(image);
    CPen dot;
    dot.CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    dc.SelectObject(&dot);
    dc.MoveTo(0, 5);
    dc.LineTo(15, 5);
  }
  EXPECT_EQ(InkRow(image, 5, 0, 16), "###...###...###.");
}

// Text hangs from its point, upright, even where the mapping turns y upwards; Courier New at
// 10 points is 8 pixels a character on the screen page.
TEST(ScreenDC, TextHangsUprightFromItsTopLeftCorner) {
  QImage image(200, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
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
  bool inkAbove = false;
  bool inkBelow = false;
  int firstColumn = 200;
  int lastColumn = -1;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (IsWhite(image, x, y)) continue;
      (y < 10 ? inkAbove : inkBelow) = true;
      firstColumn = std::min(firstColumn, x);
      lastColumn = std::max(lastColumn, x);
    }
  }
  EXPECT_FALSE(inkAbove);
  EXPECT_TRUE(inkBelow);
  EXPECT_GE(firstColumn, 20);
  EXPECT_GE(lastColumn, 20 + 9 * 8);  // the tenth character starts 72 pixels in
  EXPECT_LT(lastColumn, 20 + 10 * 8);
}

class PixelRatio : public ::testing::TestWithParam<double> {};

// Pixels are logical: a set pixel covers its ratio x ratio block, and reading returns the
// block's colour.
TEST_P(PixelRatio, SetPixelPaintsTheLogicalPixelsBlock) {
  const double ratio = GetParam();
  QImage image = WhiteImage(ratio);
  const int block = static_cast<int>(ratio);
  CScreenDC dc(image);
  dc.SetViewportOrg(-2, -3);
  EXPECT_EQ(dc.SetPixel(12, 13, kBlue), kBlue);
  EXPECT_EQ(dc.GetPixel(12, 13), kBlue);
  EXPECT_EQ(dc.GetPixel(13, 13), kWhite);
  EXPECT_EQ(dc.GetPixel(-100, 0), CLR_INVALID);
  for (int dy = 0; dy < block; ++dy) {
    for (int dx = 0; dx < block; ++dx) {
      EXPECT_EQ(image.pixel(10 * block + dx, 10 * block + dy), qRgb(0, 0, 255));
    }
  }
  EXPECT_TRUE(IsWhite(image, 10 * block + block, 10 * block));
}

INSTANTIATE_TEST_SUITE_P(Ratios, PixelRatio, ::testing::Values(1.0, 2.0));

// On paper the units are hundredths of an inch of the device's resolution, and pens are as wide
// as a unit.
TEST(PainterDC, PaperUnitsFollowTheResolution) {
  QImage image(240, 240, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    CPainterDC dc(painter, true, 200);
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);
    dc.SetMapMode(MM_LOENGLISH);
    dc.MoveTo(10, -50);
    dc.LineTo(110, -50);  // device columns 20..219 around row 100, two pixels wide
  }
  EXPECT_FALSE(IsWhite(image, 20, 100));
  EXPECT_FALSE(IsWhite(image, 218, 100));
  EXPECT_TRUE(IsWhite(image, 20, 97));
  EXPECT_TRUE(IsWhite(image, 20, 103));
  EXPECT_TRUE(IsWhite(image, 10, 100));
}

}  // namespace
}  // namespace qv
