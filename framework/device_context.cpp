#include "framework/device_context.h"

#include <algorithm>
#include <cmath>

namespace qv {
namespace {

constexpr double kLoEnglishUnitsPerInch = 100.0;

}  // namespace

CDC::CDC() = default;
CDC::~CDC() = default;

int CDC::SetMapMode(int mode) {
  if (mode != MM_TEXT && mode != MM_LOENGLISH && mode != MM_ANISOTROPIC) {
    return 0;
  }
  const int previous = mapMode_;
  mapMode_ = mode;
  return previous;
}

namespace {

// A zero extent would divide by zero: it is refused.
CSize SetExtent(CSize& extent, int cx, int cy) {
  const CSize previous = extent;
  if (cx != 0 && cy != 0) {
    extent = {cx, cy};
  }
  return previous;
}

}  // namespace

CSize CDC::SetWindowExt(int cx, int cy) { return SetExtent(windowExt_, cx, cy); }

CSize CDC::SetViewportExt(int cx, int cy) { return SetExtent(viewportExt_, cx, cy); }

CPoint CDC::SetViewportOrg(int x, int y) {
  const CPoint previous = viewportOrg_;
  viewportOrg_ = {x, y};
  return previous;
}

CPen* CDC::SelectObject(CPen* pen) {
  if (pen == nullptr) {
    return nullptr;
  }
  CPen* previous = pen_;
  pen_ = pen;
  return previous;
}

CFont* CDC::SelectObject(CFont* font) {
  if (font == nullptr) {
    return nullptr;
  }
  CFont* previous = font_;
  font_ = font;
  return previous;
}

void CDC::Rectangle(int x1, int y1, int x2, int y2) { DrawRectangle(x1, y1, x2, y2); }

void CDC::Ellipse(int x1, int y1, int x2, int y2) { DrawEllipse(x1, y1, x2, y2); }

CPoint CDC::MoveTo(int x, int y) {
  const CPoint previous = position_;
  position_ = {x, y};
  return previous;
}

void CDC::LineTo(int x, int y) {
  DrawLine(position_, {x, y});
  position_ = {x, y};
}

void CDC::TextOut(int x, int y, std::string_view text) { DrawText(x, y, text); }

CDC::Scale CDC::LogicalToDeviceScale() const {
  switch (mapMode_) {
    case MM_LOENGLISH: {
      const double pixelsPerUnit = DotsPerInch() / kLoEnglishUnitsPerInch;
      return {pixelsPerUnit, -pixelsPerUnit};
    }
    case MM_ANISOTROPIC:
      return {static_cast<double>(viewportExt_.cx) / windowExt_.cx,
              static_cast<double>(viewportExt_.cy) / windowExt_.cy};
    default:
      return {};
  }
}

DevicePoint CDC::LogicalToDevice(int x, int y) const {
  const Scale scale = LogicalToDeviceScale();
  return {x * scale.x + viewportOrg_.x, y * scale.y + viewportOrg_.y};
}

double CDC::LogicalToDeviceWidth(int width) const {
  // A pen is never thinner than one device pixel.
  return std::max(1.0, std::abs(width * LogicalToDeviceScale().x));
}

}  // namespace qv
