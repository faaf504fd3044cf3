#include "framework/stroke_pixels.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace qv {
namespace {

// Integer division rounded toward minus infinity; `divisor` is positive.
std::int64_t FloorDiv(std::int64_t dividend, std::int64_t divisor) {
  const std::int64_t quotient = dividend / divisor;
  return dividend % divisor != 0 && dividend < 0 ? quotient - 1 : quotient;
}

// The run being collected, as inclusive pixel bounds.
struct Bounds {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
  PixelRun Run() const { return {x0, y0, x1 - x0 + 1, y1 - y0 + 1}; }
};

}  // namespace

void StrokePixelRuns(CPoint from, CPoint to, int dotLength, const PixelClip& clip,
                     const std::function<void(const PixelRun&)>& draw) {
  const std::int64_t dx = static_cast<std::int64_t>(to.x) - from.x;
  const std::int64_t dy = static_cast<std::int64_t>(to.y) - from.y;
  const bool alongX = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t steps = alongX ? std::llabs(dx) : std::llabs(dy);
  const std::int64_t majorDelta = alongX ? dx : dy;
  const std::int64_t minorDelta = alongX ? dy : dx;
  const int majorStart = alongX ? from.x : from.y;
  const int minorStart = alongX ? from.y : from.x;
  const int majorStep = majorDelta < 0 ? -1 : 1;
  const std::int64_t majorLow = alongX ? clip.left : clip.top;
  const std::int64_t majorHigh = alongX ? clip.right : clip.bottom;
  const int minorLow = alongX ? clip.top : clip.left;
  const int minorHigh = alongX ? clip.bottom : clip.right;
  // The steps whose pixel lies inside the clip along the longer axis.
  const std::int64_t first =
      std::max<std::int64_t>(0, majorStep > 0 ? majorLow - majorStart : majorStart - majorHigh);
  const std::int64_t last = std::min<std::int64_t>(
      steps - 1, majorStep > 0 ? majorHigh - majorStart : majorStart - majorLow);

  bool open = false;
  Bounds run;
  int lastMinor = 0;
  for (std::int64_t i = first; i <= last; ++i) {
    // The shorter axis at this step: minorStart + i * minorDelta / steps, rounded half up.
    const int minor =
        static_cast<int>(minorStart + FloorDiv(2 * i * minorDelta + steps, 2 * steps));
    const bool drawn =
        (dotLength <= 0 || (i / dotLength) % 2 == 0) && minor >= minorLow && minor <= minorHigh;
    if (!drawn) {
      if (open) draw(run.Run());
      open = false;
      continue;
    }
    const int major = static_cast<int>(majorStart + i * majorStep);
    const int x = alongX ? major : minor;
    const int y = alongX ? minor : major;
    if (open && minor == lastMinor) {
      run.x0 = std::min(run.x0, x);
      run.y0 = std::min(run.y0, y);
      run.x1 = std::max(run.x1, x);
      run.y1 = std::max(run.y1, y);
    } else {
      if (open) draw(run.Run());
      run = {x, y, x, y};
      open = true;
    }
    lastMinor = minor;
  }
  if (open) draw(run.Run());
}

}  // namespace qv
