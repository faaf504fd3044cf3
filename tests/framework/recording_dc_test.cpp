// The device context's bookkeeping, seen through the recording target: mapping, selection,
// current position and font sizes.
#include "tests/support/recording_dc.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

struct MappingCase {
  const char* name;
  int mode;
  int dotsPerInch;
  CSize window;
  CSize viewport;
  CPoint origin;
  CPoint logical;
  DevicePoint device;
};

class Mapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(Mapping, TakesTheLogicalPointToItsDevicePixel) {
  const MappingCase& c = GetParam();
  CRecordingDC dc(false, c.dotsPerInch);
  dc.SetMapMode(c.mode);
  dc.SetWindowExt(c.window.cx, c.window.cy);
  dc.SetViewportExt(c.viewport.cx, c.viewport.cy);
  dc.SetViewportOrg(c.origin.x, c.origin.y);
  const DevicePoint device = dc.LogicalToDevice(c.logical.x, c.logical.y);
  EXPECT_DOUBLE_EQ(device.x, c.device.x);
  EXPECT_DOUBLE_EQ(device.y, c.device.y);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Mapping,
    ::testing::Values(
        // The screen page: one unit per pixel, y upwards from the top edge.
        MappingCase{"ScreenPage",
                    MM_ANISOTROPIC,
                    96,
                    {1024, 700},
                    {1024, -700},
                    {},
                    {42, -169},
                    {42.0, 169.0}},
        MappingCase{
            "HalfScale", MM_ANISOTROPIC, 96, {200, 200}, {100, -100}, {}, {40, -60}, {20.0, 30.0}},
        // Extents count only in the anisotropic mode; the origin scrolls in every mode.
        MappingCase{
            "ScrolledText", MM_TEXT, 96, {200, 200}, {100, -100}, {-10, -20}, {15, 25}, {5.0, 5.0}},
        // 0.01 inch per unit on a 600 dots-per-inch printer.
        MappingCase{
            "LoEnglish", MM_LOENGLISH, 600, {1, 1}, {1, 1}, {}, {100, -700}, {600.0, 4200.0}},
        MappingCase{
            "ZeroExtentRefused", MM_ANISOTROPIC, 96, {0, 5}, {3, 0}, {}, {7, 7}, {7.0, 7.0}}),
    [](const ::testing::TestParamInfo<MappingCase>& test) { return std::string(test.param.name); });

TEST(RecordingDC, KeepsEachPrimitiveWithThePenFontAndModeInEffect) {
  CRecordingDC dc;
  CPen red;
  ASSERT_TRUE(red.CreatePen(PS_DOT, 2, RGB(255, 0, 0)));
  CFont arial;
  ASSERT_TRUE(arial.CreatePointFont(80, "Arial", &dc));
  dc.SetMapMode(MM_ANISOTROPIC);
  CPen* stockPen = dc.SelectObject(&red);
  dc.SelectObject(&arial);
  dc.MoveTo(1, 2);
  dc.LineTo(3, 4);
  dc.LineTo(5, 6);  // from where the last line ended
  dc.TextOut(7, 8, "abc");
  dc.SelectObject(stockPen);
  dc.SetPixel(4, -5, RGB(0, 0, 255));

  const auto& primitives = dc.Primitives();
  ASSERT_EQ(primitives.size(), 4u);
  EXPECT_EQ(primitives[1].from, (CPoint{3, 4}));
  EXPECT_EQ(primitives[1].to, (CPoint{5, 6}));
  EXPECT_EQ(primitives[1].penStyle, PS_DOT);
  EXPECT_EQ(primitives[1].penWidth, 2);
  EXPECT_EQ(primitives[1].penColor, RGB(255, 0, 0));
  EXPECT_EQ(primitives[2].text, "abc");
  EXPECT_EQ(primitives[2].fontFace, "Arial");
  EXPECT_EQ(primitives[2].fontTenthsOfPoint, 80);
  EXPECT_EQ(primitives[2].mapMode, MM_ANISOTROPIC);
  EXPECT_EQ(primitives[3].penColor, RGB(0, 0, 0));  // the stock pen is back
  EXPECT_EQ(dc.GetPixel(4, -5), RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(4, 5), RGB(255, 255, 255));
}

struct FontCase {
  int tenths;
  int dotsPerInch;
  int pixels;
};

class FontSize : public ::testing::TestWithParam<FontCase> {};

// Point sizes are realised in whole pixels of the target, rounded to the nearest.
TEST_P(FontSize, FollowsTheTargetsResolution) {
  const CRecordingDC dc(true, GetParam().dotsPerInch);
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(GetParam().tenths, "Courier New", &dc));
  EXPECT_EQ(font.PixelHeight(), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Targets, FontSize,
                         ::testing::Values(FontCase{100, 96, 13}, FontCase{80, 96, 11},
                                           FontCase{100, 600, 83}, FontCase{80, 1200, 133}));

}  // namespace
}  // namespace qv
