// The device pixels of a one-pixel stroke. Every stroke draws its start pixel and leaves out
// its end pixel, whatever its direction, so a stroke and its reverse cover the same pixels but
// for their two ends, and a polyline draws each joint once.
#pragma once

#include <functional>

#include "framework/device_context.h"

namespace qv {

// A block of drawn pixels, whole rows and columns: from (left, top), width x height pixels.
struct PixelRun {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelRun&, const PixelRun&) = default;
};

// Inclusive pixel bounds of the target: pixels outside are neither walked nor drawn.
struct PixelClip {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Ends further than this from the origin, in device pixels, are not walked exactly: callers
// hold them at this distance (the page never draws beyond a few ten thousand pixels).
inline constexpr int kFarthestStrokePixel = 1 << 24;

// Walks the stroke from `from` to `to` (device pixels, within kFarthestStrokePixel) one pixel per
// step along its longer axis; the shorter axis follows the ideal line, rounded half up in device
// coordinates so the choice does not depend on the direction. `dotLength` is 0 for a solid stroke,
// else the pixels drawn and left out in turn from the start. Hands each run of drawn pixels inside
// `clip` in one row or column to `draw`, in stroke order; a stroke of no length draws nothing.
// Only the steps inside the clip are walked, however far the ends lie.
void StrokePixelRuns(CPoint from, CPoint to, int dotLength, const PixelClip& clip,
                     const std::function<void(const PixelRun&)>& draw);

}  // namespace qv
