// Conversion of real drawing positions to pixels, and the value-to-row mappings of the curves.
// Every conversion truncates toward zero and stays inside int, whatever the value. Rows count
// downwards from the top of the picture; the frame and centre positions are those of the
// picture being drawn (the exported image and the graph page place their graphs differently).
#pragma once

namespace qv {

// Positions are held within this many pixels of the origin: far outside the picture, so that
// a held line still leaves the picture in the right direction.
inline constexpr int kPixelLimit = 16384;

// Takes a position in pixels; returns it truncated toward zero, held within
// [-kPixelLimit, kPixelLimit], or `fallback` when the position is not a number.
int TruncatePixel(double position, int fallback);

// Takes a magnitude in dB, the graph's range (minDb..maxDb) and the row of the frame's top
// edge (pixels); returns the row in the 200-pixel frequency-response frame: maxDb on the top
// edge, minDb on the bottom edge. A range of zero width, or a value that has no place, gives
// the frame's middle row.
int MagnitudeRow(double db, double minDb, double maxDb, int frameTop);

// Takes a phase in radians and the row of the frame's top edge (pixels); returns the row in
// the 200-pixel phase frame: +pi on the top edge, -pi on the bottom edge (100/pi pixels per
// radian). A value that has no place gives the middle row.
int PhaseRow(double radians, int frameTop);

// Takes a group delay in seconds, the graph's range (min..max) and the row of the frame's top
// edge (pixels); returns the row in the 200-pixel group-delay frame: min on the bottom edge, max
// on the top edge. A range of zero width, or a value that has no place, gives the middle row.
int GroupDelayRow(double seconds, double min, double max, int frameTop);

// Takes a value of the normalised impulse or step response (-1..1) or the imaginary part of a
// zero or pole, and the row (pixels) of the zero-pole centre; returns the row in the bottom
// row of graphs: 100 pixels per unit above and below the centre row. A value that has no place
// gives the centre row.
int BottomRow(double value, int centreRow);

// Takes the real part of a zero or pole and the column (pixels) of the zero-pole centre;
// returns its column, 100 pixels per unit from the centre. A value that has no place gives the
// centre column.
int ZeroPoleColumn(double re, int centreColumn);

}  // namespace qv
