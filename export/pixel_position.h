// Conversion of real drawing positions to pixels, and the value-to-row mappings of the curves.
// Every conversion truncates toward zero and stays inside int, whatever the value.
#pragma once

namespace qv {

// Positions are held within this many pixels of the origin: far outside the picture, so that
// a held line still leaves the picture in the right direction.
inline constexpr int kPixelLimit = 16384;

// Takes a position in pixels; returns it truncated toward zero, held within
// [-kPixelLimit, kPixelLimit], or `fallback` when the position is not a number.
int TruncatePixel(double position, int fallback);

// Takes a magnitude in dB and the graph's range (minDb..maxDb); returns the row in the
// frequency-response frame: maxDb on the top edge, minDb on the bottom edge. A range of zero
// width, or a value that has no place, gives the frame's middle row.
int MagnitudeRow(double db, double minDb, double maxDb);

// Takes a phase in radians; returns the row in the phase frame: +pi on the top edge, -pi on the
// bottom edge (100/pi pixels per radian). A value that has no place gives the middle row.
int PhaseRow(double radians);

// Takes a group delay in seconds and the graph's range (min..max); returns the row in the
// group-delay frame: min on the bottom edge, max on the top edge. A range of zero width, or a
// value that has no place, gives the frame's middle row.
int GroupDelayRow(double seconds, double min, double max);

// Takes a value of the normalised impulse or step response (-1..1) or the imaginary part of a
// zero or pole; returns the row in the bottom row of graphs: 100 pixels per unit above and
// below the zero-pole centre row. A value that has no place gives the centre row.
int BottomRow(double value);

// Takes the real part of a zero or pole; returns its column in the zero-pole graph, 100 pixels
// per unit from the centre. A value that has no place gives the centre column.
int ZeroPoleColumn(double re);

}  // namespace qv
