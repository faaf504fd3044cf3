// The summary's second column: whether the design meets its tolerance scheme, with the margins,
// and the structure of a fixed-point cascade with the way its output ends; and the one line
// that the status bar shows after a calculation.
#pragma once

#include <array>

#include "analysis/responses.h"
#include "design/scheme_check.h"
#include "graph/graph_text.h"
#include "records/filter_spec.h"

namespace qv {

// Verdict, pass band, stop band, minimum order, structure, the cascade's output.
inline constexpr int kVerdictRows = 6;
using VerdictText = std::array<GraphText, kVerdictRows>;

// Takes a calculated specification, its responses and the check against its scheme; returns
// the rows that apply, from the top, the others empty: with a checked scheme whether the design
// meets it, the worst pass-band loss and the least stop-band attenuation with Rp, As and their
// margins, and whether the order or tap count was chosen for the scheme; for a fixed-point
// cascade the sections, word and scaling, and whether its output settles.
VerdictText FormatVerdict(const FilterSpec& spec, const ResponseSet& responses,
                          const SchemeCheck& check);

// Takes a calculated specification and the check against its scheme; returns the verdict and
// both margins on one line, or the empty text when no scheme was checked.
GraphText VerdictLine(const FilterSpec& spec, const SchemeCheck& check);

}  // namespace qv
