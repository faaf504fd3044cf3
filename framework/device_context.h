// The device context: drawing in logical units through a mapping mode onto a target (the
// screen page, a printer, a recording). The base keeps the mapping, the selected pen and font
// and the current position; each target draws the primitives.
//
// Semantics of the classic drawing interface where they matter:
//   - MM_TEXT: one unit is one device pixel, y downwards. MM_LOENGLISH: one unit is 0.01 inch,
//     y upwards. MM_ANISOTROPIC: device = logical x viewport extent / window extent, so a
//     negative viewport y extent turns y upwards. The viewport origin is added last, in device
//     pixels, in every mode.
//   - Rectangle and Ellipse take two opposite corners, leave out the right column and bottom
//     row of device pixels of the box, outline it with the pen and fill it white.
//   - LineTo draws from the current position to the point, leaving out the point itself, and
//     makes the point the current position.
//   - TextOut places the top-left corner of the first character on the point and draws the
//     text upright and black on a transparent background, whatever the mapping.
//   - Pen widths are logical units.
#pragma once

#include <string_view>

#include "framework/gdi_objects.h"

namespace qv {

inline constexpr int MM_TEXT = 1;
inline constexpr int MM_LOENGLISH = 4;
inline constexpr int MM_ANISOTROPIC = 8;

struct CPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const CSize&, const CSize&) = default;
};

// A point in device pixels of the target (the painter's units for a painter target).
struct DevicePoint {
  double x = 0.0;
  double y = 0.0;
};

class CDC {
 public:
  CDC();
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // Takes MM_TEXT, MM_LOENGLISH or MM_ANISOTROPIC; returns the previous mode, or 0 (nothing
  // changed) for another value.
  int SetMapMode(int mode);
  int GetMapMode() const { return mapMode_; }

  // Window and viewport extents (logical units and device pixels); they take effect in
  // MM_ANISOTROPIC only. Return the previous extent; a zero extent is refused and leaves the
  // extent as it was.
  CSize SetWindowExt(int cx, int cy);
  CSize SetViewportExt(int cx, int cy);
  // Takes the device pixel that logical (0, 0) maps to; returns the previous one.
  CPoint SetViewportOrg(int x, int y);

  // Take a pen or font (null is refused: nothing changes and null is returned); return the
  // one selected before. The caller keeps the object alive while it is selected; the context
  // starts with a solid black pen of width 1 and a 10-point system font of its own.
  CPen* SelectObject(CPen* pen);
  CFont* SelectObject(CFont* font);
  const CPen& SelectedPen() const { return *pen_; }
  const CFont& SelectedFont() const { return *font_; }

  // Coordinates in logical units; see the semantics above.
  void Rectangle(int x1, int y1, int x2, int y2);
  void Ellipse(int x1, int y1, int x2, int y2);
  // Returns the previous current position.
  CPoint MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, std::string_view text);

  // Takes a logical point; returns the colour of its pixel, CLR_INVALID where there is none to
  // read.
  virtual COLORREF GetPixel(int x, int y) const = 0;
  // Takes a logical point and a colour; paints the point's pixel and returns the colour.
  virtual COLORREF SetPixel(int x, int y, COLORREF color) = 0;

  // True on a printer or in a print preview.
  virtual bool IsPrinting() const = 0;
  // The target's resolution: device pixels per inch (96 on the screen page).
  virtual int DotsPerInch() const = 0;

  // Takes a logical point; returns its device pixel.
  DevicePoint LogicalToDevice(int x, int y) const;
  // Takes a logical width (pen width); returns it in device pixels, along x.
  double LogicalToDeviceWidth(int width) const;

 protected:
  // Each target draws the primitives from logical coordinates as they were given; the base
  // keeps the current position and the selection.
  virtual void DrawRectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void DrawEllipse(int x1, int y1, int x2, int y2) = 0;
  virtual void DrawLine(CPoint from, CPoint to) = 0;
  virtual void DrawText(int x, int y, std::string_view text) = 0;

 private:
  struct Scale {
    double x = 1.0;
    double y = 1.0;
  };
  Scale LogicalToDeviceScale() const;

  int mapMode_ = MM_TEXT;
  CSize windowExt_{1, 1};
  CSize viewportExt_{1, 1};
  CPoint viewportOrg_{};
  CPoint position_{};
  CPen stockPen_;
  CFont stockFont_;
  CPen* pen_ = &stockPen_;
  CFont* font_ = &stockFont_;
};

}  // namespace qv
