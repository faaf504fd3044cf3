// Colours, pens and fonts: the drawing tools a device context draws with. Pens and fonts only
// describe themselves; the device context realises them for its target when they are selected.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class CDC;

// A colour as 0x00BBGGRR, eight bits per channel.
using COLORREF = std::uint32_t;

// Resolution of the screen page: one logical unit is one pixel of a 96 dots-per-inch screen.
inline constexpr int kScreenDotsPerInch = 96;

// What GetPixel answers when the target has no pixels to read (a printer).
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

// Takes the red, green and blue intensities (0..255 each; higher bits are dropped); returns
// the colour.
constexpr COLORREF RGB(int r, int g, int b) {
  return (static_cast<COLORREF>(r) & 0xFFu) | ((static_cast<COLORREF>(g) & 0xFFu) << 8) |
         ((static_cast<COLORREF>(b) & 0xFFu) << 16);
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFFu); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFFu); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFFu); }

// Pen styles: a continuous line, or dots three pixels long with three-pixel gaps (on a
// printer, where the pen is wider than a pixel, dots and gaps as long as the pen is wide).
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DOT = 2;

class CPen {
 public:
  // Takes the style (PS_SOLID or PS_DOT), the width in logical units (0 draws one device
  // pixel wide) and the colour; returns false, leaving the pen as it was, for another style
  // or a negative width.
  bool CreatePen(int style, int width, COLORREF color);

  int Style() const { return style_; }
  int Width() const { return width_; }
  COLORREF Color() const { return color_; }

 private:
  int style_ = PS_SOLID;
  int width_ = 1;
  COLORREF color_ = RGB(0, 0, 0);
};

class CFont {
 public:
  // Takes the size in tenths of a point, the face name and the device context the font is
  // meant for (null: a screen of 96 dots per inch); returns false, leaving the font as it
  // was, for a size below one tenth. The height in device pixels follows from the target's
  // resolution, rounded to whole pixels: 10 points are 13 pixels on the screen page.
  bool CreatePointFont(int tenthsOfPoint, std::string_view face, const CDC* dc);

  const std::string& Face() const { return face_; }
  int TenthsOfPoint() const { return tenthsOfPoint_; }
  // Height of the em square in device pixels of the target it was created for.
  int PixelHeight() const { return pixelHeight_; }

 private:
  std::string face_ = "System";
  int tenthsOfPoint_ = 100;
  int pixelHeight_ = 13;
};

}  // namespace qv
