#include "framework/gdi_objects.h"

#include <algorithm>
#include <cstdint>

#include "framework/device_context.h"

namespace qv {
namespace {

constexpr std::int64_t kTenthsPerInch = 720;  // 72 points of ten tenths

}  // namespace

bool CPen::CreatePen(int style, int width, COLORREF color) {
  if ((style != PS_SOLID && style != PS_DOT) || width < 0) {
    return false;
  }
  style_ = style;
  width_ = width;
  color_ = color;
  return true;
}

bool CFont::CreatePointFont(int tenthsOfPoint, std::string_view face, const CDC* dc) {
  if (tenthsOfPoint < 1) {
    return false;
  }
  const std::int64_t dotsPerInch = dc != nullptr ? dc->DotsPerInch() : kScreenDotsPerInch;
  // Whole pixels, rounded to the nearest, as fonts are realised on every target.
  const std::int64_t pixels = (tenthsOfPoint * dotsPerInch + kTenthsPerInch / 2) / kTenthsPerInch;
  face_ = face;
  tenthsOfPoint_ = tenthsOfPoint;
  pixelHeight_ = static_cast<int>(std::clamp<std::int64_t>(pixels, 1, INT32_MAX));
  return true;
}

}  // namespace qv
