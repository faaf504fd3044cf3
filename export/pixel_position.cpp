#include "export/pixel_position.h"

#include <cmath>

#include "export/graph_layout.h"

namespace qv {
namespace {

constexpr double kPixelsPerRadian = 31.83098861837907;  // 100 / pi
constexpr int kHalfFrame = kFrameHeight / 2;

}  // namespace

int TruncatePixel(double position, int fallback) {
  if (std::isnan(position)) {
    return fallback;
  }
  if (position >= kPixelLimit) {
    return kPixelLimit;
  }
  if (position <= -kPixelLimit) {
    return -kPixelLimit;
  }
  return static_cast<int>(position);
}

int MagnitudeRow(double db, double minDb, double maxDb) {
  const int middle = kTopRow + kHalfFrame;
  const double range = maxDb - minDb;
  if (range == 0.0) {
    return middle;
  }
  return TruncatePixel(kTopRow - (db - maxDb) * kFrameHeight / range, middle);
}

int PhaseRow(double radians) {
  const int middle = kTopRow + kHalfFrame;
  return TruncatePixel(middle - radians * kPixelsPerRadian, middle);
}

int GroupDelayRow(double seconds, double min, double max) {
  const int bottom = kTopRow + kFrameHeight;
  const int middle = kTopRow + kHalfFrame;
  const double range = max - min;
  if (range == 0.0) {
    return middle;
  }
  return TruncatePixel(bottom - (seconds - min) * kFrameHeight / range, middle);
}

int BottomRow(double value) { return kZeroPoleY - TruncatePixel(kUnitPixels * value, 0); }

int ZeroPoleColumn(double re) { return kZeroPoleX + TruncatePixel(kUnitPixels * re, 0); }

}  // namespace qv
