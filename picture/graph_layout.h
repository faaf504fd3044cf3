// Where everything sits in the exported picture of the six graphs. Pixels, y growing
// downwards; every graph frame is 256 pixels wide (one pixel per curve point) and 200 high.
#pragma once

#include "graph/graph_geometry.h"

namespace qv::picture {

inline constexpr int kImageWidth = 1024;
inline constexpr int kImageHeight = 700;

// Left edges of the three graph columns and top edges of the two rows.
inline constexpr int kLeftColumn = 42;
inline constexpr int kMiddleColumn = 384;
inline constexpr int kRightColumn = 725;
inline constexpr int kTopRow = 162;
inline constexpr int kBottomRow = 454;

// The zero-pole graph: a unit circle of 100 pixels radius around its centre, no frame.
inline constexpr int kZeroPoleX = 170;
inline constexpr int kZeroPoleY = 554;
inline constexpr int kZeroMarkSize = 7;   // width and height of the circle marking a zero
inline constexpr int kPoleMarkReach = 2;  // half the extent of the cross marking a pole

// Built-in gd fonts: the small one for header lines, summary and axis labels, the large one
// for the main title and the graph titles.
inline constexpr int kSmallCharWidth = 6;
inline constexpr int kLargeCharWidth = 8;

// Rows of text.
inline constexpr int kTitleY = 26;
inline constexpr int kTextLeft = 3;
inline constexpr int kFooterY = 661;
inline constexpr int kFooterLineStep = 13;
inline constexpr int kSummaryY = 39;
inline constexpr int kSummaryLineStep = 13;
// The summary's second column (verdict and structure), right of the title, whose descenders
// reach into the first summary row.
inline constexpr int kVerdictX = 612;
inline constexpr int kTopTitleY = 128;
inline constexpr int kBottomTitleY = 419;
inline constexpr int kFrequencyLabelY = 367;
inline constexpr int kTimeLabelY = 659;

// Value labels sit this far above the grid row they name, so the 13-pixel font centres on it.
inline constexpr int kLabelRaise = 6;
// Value labels of the phase, group-delay, impulse and step graphs are centred this far left of
// their frame; magnitude labels are centred in the left margin.
inline constexpr int kValueLabelOffset = 22;
inline constexpr int kMagnitudeLabelX = 21;
inline constexpr int kDecibelLabelX = 15;
inline constexpr int kDelayUnitX = 704;
// Horizontal distance between the origins of neighbouring graph columns, for axis labels.
inline constexpr int kColumnPitch = 341;
// Offset of an axis unit from its column origin.
inline constexpr int kAxisUnitOffset = 320;

}  // namespace qv::picture
