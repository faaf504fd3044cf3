#include "tests/support/recording_dc.h"

namespace qv {

CRecordingDC::CRecordingDC(bool printing, int dotsPerInch)
    : printing_(printing), dotsPerInch_(dotsPerInch) {}

RecordedPrimitive& CRecordingDC::Record(PrimitiveKind kind, CPoint from, CPoint to) {
  RecordedPrimitive& primitive = primitives_.emplace_back();
  primitive.kind = kind;
  primitive.from = from;
  primitive.to = to;
  primitive.penStyle = SelectedPen().Style();
  primitive.penWidth = SelectedPen().Width();
  primitive.penColor = SelectedPen().Color();
  primitive.fontFace = SelectedFont().Face();
  primitive.fontTenthsOfPoint = SelectedFont().TenthsOfPoint();
  primitive.mapMode = GetMapMode();
  return primitive;
}

COLORREF CRecordingDC::GetPixel(int x, int y) const {
  const auto found = pixels_.find({x, y});
  return found != pixels_.end() ? found->second : RGB(255, 255, 255);
}

COLORREF CRecordingDC::SetPixel(int x, int y, COLORREF color) {
  Record(PrimitiveKind::Pixel, {x, y}, {x, y}).pixelColor = color;
  pixels_[{x, y}] = color;
  return color;
}

void CRecordingDC::DrawRectangle(int x1, int y1, int x2, int y2) {
  Record(PrimitiveKind::Rectangle, {x1, y1}, {x2, y2});
}

void CRecordingDC::DrawEllipse(int x1, int y1, int x2, int y2) {
  Record(PrimitiveKind::Ellipse, {x1, y1}, {x2, y2});
}

void CRecordingDC::DrawLine(CPoint from, CPoint to) { Record(PrimitiveKind::Line, from, to); }

void CRecordingDC::DrawText(int x, int y, std::string_view text) {
  Record(PrimitiveKind::Text, {x, y}, {x, y}).text = text;
}

}  // namespace qv
