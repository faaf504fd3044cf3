// The shape of every graph, the same in the exported picture and on the graph page: frames
// of 256 x 200 pixels (one pixel per display point) with a 4 x 4 grid, a zero-pole plot of
// 100 pixels per unit, five labels per axis.
#pragma once

namespace qv {

inline constexpr int kFrameWidth = 256;
inline constexpr int kFrameHeight = 200;
inline constexpr int kGridRowStep = 50;     // three grid rows inside a frame
inline constexpr int kGridColumnStep = 64;  // three grid columns inside a frame
inline constexpr int kGridLines = 3;
inline constexpr int kUnitPixels = 100;  // zero-pole plot, impulse and step: pixels per unit
// Axis labels: one under (or beside) every grid line and frame edge.
inline constexpr int kAxisLabels = 5;

}  // namespace qv
