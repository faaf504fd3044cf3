// The tolerance scheme over the magnitude graph: the least pass-band gain (Rp below the
// largest pass-band gain) with the pass-band edges, and the greatest stop-band gain (As below
// it) with the stop-band edges, as horizontal and vertical lines inside the frame. The same
// lines serve the exported picture and the graph page.
#pragma once

#include <array>

#include "analysis/responses.h"
#include "records/filter_spec.h"

namespace qv {

// A line of the mask in pixels, both ends included: columns to the right, rows downwards.
struct MaskLine {
  int x1 = 0;
  int row1 = 0;
  int x2 = 0;
  int row2 = 0;

  friend bool operator==(const MaskLine&, const MaskLine&) = default;
};

// A band stop has two pass bands (a limit and an edge each) and one stop band (a limit and two
// edges); a band pass the reverse. No mask needs more lines.
inline constexpr int kMaxMaskLines = 8;

struct ToleranceMask {
  std::array<MaskLine, kMaxMaskLines> lines{};
  int count = 0;
  double passLimitDb = 0.0;  // the pass-band limit on the curve's scale: reference - Rp
  double stopLimitDb = 0.0;  // the stop-band limit on the curve's scale: reference - As
};

// Takes a calculated specification, its responses and the magnitude frame's left column and top
// row (pixels). Returns no lines when the specification has no active scheme. Otherwise the
// limits are taken from the largest magnitude shown inside the pass bands (the scheme measures
// its losses from the largest pass-band gain; the whole curve's largest value when no display
// point falls inside them): each pass band gets its limit line with a vertical line at each
// edge from the limit down to the frame's bottom, each stop band its limit line with a vertical
// line at each edge from the limit up to the frame's top, so that the two forbidden regions are
// outlined. A frequency f lies in column frameLeft + f x 512 / fsample (display point k is
// k x fsample / 512). Lines stay strictly inside the frame, off its edges; a limit whose row
// falls outside the frame's range is left out, and an edge reaching beyond it is cut there.
ToleranceMask MakeToleranceMask(const FilterSpec& spec, const ResponseSet& responses, int frameLeft,
                                int frameTop);

}  // namespace qv
