// Where everything sits on the graph page. Page pixels: 1024 x 700, x to the right, rows
// counted downwards from the top (a row r is the logical y = -r of the drawing, whose y grows
// upwards). Each rectangular graph is 256 pixels wide (one per display point) and 200 high.
#pragma once

#include "graph/graph_geometry.h"

namespace qv::page {

inline constexpr int kPageWidth = 1024;
inline constexpr int kPageHeight = 700;

// Left edges of the three graph columns and top edges of the two rows of frames.
inline constexpr int kLeftColumn = 42;
inline constexpr int kMiddleColumn = 382;
inline constexpr int kRightColumn = 722;
inline constexpr int kTopFrameTop = 169;
inline constexpr int kBottomFrameTop = 455;

// The zero-pole graph: a unit circle of 100 pixels radius around its centre, no frame.
inline constexpr int kZeroPoleX = 170;
inline constexpr int kZeroPoleY = 555;
inline constexpr int kZeroMarkReach = 3;  // half the box of the circle marking a zero
inline constexpr int kPoleMarkNear = 2;   // a pole's cross: strokes from 2 pixels on one side
inline constexpr int kPoleMarkFar = 3;    // to 3 on the other

// Fonts: Courier New 10 for the summary, header and titles, Arial 8 for all axis labels.
// Text widths are not measured; these are the widths the layout assumes per character.
inline constexpr int kCourierTenths = 100;
inline constexpr int kArialTenths = 80;
inline constexpr int kCourierCharWidth = 8;
inline constexpr int kArialCharWidth = 7;
inline constexpr int kTitleChars = 32;  // a title is centred over 32 Courier characters
inline constexpr int kPageChars = 128;  // the printed heading over 128

// Rows of text.
inline constexpr int kTextLeft = 8;
inline constexpr int kHeadingRow = 14;   // paper only
inline constexpr int kVersionRow = 688;  // paper only, then the two contact rows
inline constexpr int kContactRowStep = 21;
inline constexpr int kSummaryRow = 28;
inline constexpr int kSummaryRowStep = 14;
// The summary's second column (verdict and structure), clear of the longest first-column row.
inline constexpr int kVerdictLeft = 472;
inline constexpr int kTopTitleRow = 136;
inline constexpr int kBottomTitleRow = 422;
inline constexpr int kFrequencyLabelRow = 374;
inline constexpr int kTimeLabelRow = 660;

// Axis labels: five per axis, one under every grid line and frame edge, and the unit after
// them; columns of graphs are this far apart.
inline constexpr int kColumnPitch = 340;
inline constexpr int kAxisUnitOffset = 277;  // from the column's left edge

// Value labels left of the frames: the magnitude labels centred about x = 21 (one character
// to the right of it), the phase and group-delay labels centred 21 pixels left of their frame,
// the impulse and step labels ending 7 pixels inside it. Rows are 5 to 7 pixels above the
// grid row they name.
inline constexpr int kMagnitudeLabelCentre = 21;
inline constexpr int kCentredLabelOffset = 21;
inline constexpr int kRightAlignedLabelInset = 7;
inline constexpr int kMagnitudeLabelRaise = 6;
inline constexpr int kPhaseLabelRaise = 7;
inline constexpr int kDelayLabelRaise = 5;
inline constexpr int kResponseLabelRaise = 6;
// The "dB" of the magnitude graph ends 4 characters from the page's left edge.
inline constexpr int kDecibelChars = 4;

}  // namespace qv::page
