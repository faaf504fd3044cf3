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

// Walks the stroke from `from` to `to` (device pixels) one pixel per step along its longer
// axis; the shorter axis follows the ideal line, rounded half up in device coordinates so the
// choice does not depend on the direction. `dotLength` is 0 for a solid stroke, else the
// pixels drawn and left out in turn from the start. Hands each run of drawn pixels in one row
// or column to `draw`, in stroke order; a stroke of no length draws nothing.
void StrokePixelRuns(CPoint from, CPoint to, int dotLength,
                     const std::function<void(const PixelRun&)>& draw);

}  // namespace qv
