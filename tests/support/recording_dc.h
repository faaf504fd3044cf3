// A device context that draws nothing and keeps every primitive with its logical coordinates
// and the pen, font and mapping mode in effect: what a drawing routine asked for, for tests.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/device_context.h"

namespace qv {

enum class PrimitiveKind { Rectangle, Ellipse, Line, Text, Pixel };

struct RecordedPrimitive {
  PrimitiveKind kind = PrimitiveKind::Line;
  CPoint from;       // first corner, line start, top-left of a text, the pixel
  CPoint to;         // opposite corner, line end (left out); `from` for texts and pixels
  std::string text;  // texts only
  COLORREF pixelColor = CLR_INVALID;  // pixels only
  int penStyle = PS_SOLID;
  int penWidth = 1;  // logical units
  COLORREF penColor = RGB(0, 0, 0);
  std::string fontFace;
  int fontTenthsOfPoint = 0;
  int mapMode = MM_TEXT;
};

class CRecordingDC : public CDC {
 public:
  // Takes whether it stands for a printer and its resolution (dots per inch).
  explicit CRecordingDC(bool printing = false, int dotsPerInch = kScreenDotsPerInch);

  const std::vector<RecordedPrimitive>& Primitives() const { return primitives_; }

  // What SetPixel stored at the logical point, white where it stored nothing.
  COLORREF GetPixel(int x, int y) const override;
  COLORREF SetPixel(int x, int y, COLORREF color) override;
  bool IsPrinting() const override { return printing_; }
  int DotsPerInch() const override { return dotsPerInch_; }

 protected:
  void DrawRectangle(int x1, int y1, int x2, int y2) override;
  void DrawEllipse(int x1, int y1, int x2, int y2) override;
  void DrawLine(CPoint from, CPoint to) override;
  void DrawText(int x, int y, std::string_view text) override;

 private:
  RecordedPrimitive& Record(PrimitiveKind kind, CPoint from, CPoint to);

  bool printing_;
  int dotsPerInch_;
  std::vector<RecordedPrimitive> primitives_;
  std::map<std::pair<int, int>, COLORREF> pixels_;
};

}  // namespace qv
