// The cursor readout: what the graph page shows for the mouse at a page pixel, the value of
// the curve under it and where the small cross marking it goes.
#pragma once

#include <string>

#include "analysis/responses.h"
#include "records/filter_spec.h"

namespace qv {

enum class ReadoutKind {
  Ignored,  // over the zero-pole plot of a rectangle-window or raised-cosine design: change nothing
  Miss,     // outside every graph: empty texts, no cross
  Hit,      // over a graph: the texts and the cross
};

struct CursorReadout {
  ReadoutKind kind = ReadoutKind::Miss;
  // Page pixels, rows counted downwards; -1 when there is no cross.
  int crossX = -1;
  int crossY = -1;
  std::string horizontalText;  // frequency, time or real part, with its unit
  std::string verticalText;    // magnitude, phase, group delay, imaginary part or response value
};

// Takes the page pixel under the mouse (x, y with y downwards, the scroll offset added) and a
// calculated design: its specification, display scale and responses. Returns the readout:
// on the magnitude, phase and group-delay graphs (rows 170..368) and the impulse and step
// graphs (rows 456..654), the frequency or time of the column's display point and the curve's
// value there, the cross on the curve in that column; on the zero-pole plot (columns 70..269)
// the nearest zero or pole (zeros before poles, the earlier on a tie) and the cross on it, or
// Ignored for the window models, or a Miss for a design without zeros and poles.
CursorReadout ReadCursor(int x, int y, const FilterSpec& spec, const DisplayScale& scale,
                         const ResponseSet& responses);

}  // namespace qv
