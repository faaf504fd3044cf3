#include "graph/pixel_position.h"

#include <cmath>

#include "graph/graph_geometry.h"

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

int MagnitudeRow(double db, double minDb, double maxDb, int frameTop) {
  const int middle = frameTop + kHalfFrame;
  const double range = maxDb - minDb;
  if (range == 0.0) {
    return middle;
  }
  return TruncatePixel(frameTop - (db - maxDb) * kFrameHeight / range, middle);
}

int PhaseRow(double radians, int frameTop) {
  const int middle = frameTop + kHalfFrame;
  return TruncatePixel(middle - radians * kPixelsPerRadian, middle);
}

int GroupDelayRow(double seconds, double min, double max, int frameTop) {
  const int bottom = frameTop + kFrameHeight;
  const int middle = frameTop + kHalfFrame;
  const double range = max - min;
  if (range == 0.0) {
    return middle;
  }
  return TruncatePixel(bottom - (seconds - min) * kFrameHeight / range, middle);
}

int BottomRow(double value, int centreRow) {
  return centreRow - TruncatePixel(kUnitPixels * value, 0);
}

int ZeroPoleColumn(double re, int centreColumn) {
  return centreColumn + TruncatePixel(kUnitPixels * re, 0);
}

}  // namespace qv
