// The graph page: the summary of the specification and the six graphs of a calculated design,
// drawn on the screen page, a printer or a print preview.
#pragma once

#include "analysis/responses.h"
#include "design/scheme_check.h"
#include "framework/device_context.h"
#include "records/filter_spec.h"

namespace qv {

// Takes the target, the specification, its display scale and responses, the check against its
// tolerance scheme, and whether the design is calculated. Sets the target's mapping (on the
// screen one logical unit is one pixel of the 1024 x 700 page, y upwards from the top edge at 0
// to the bottom at -700; on paper 0.01 inch, the page 10.24 x 7 inches) and draws the summary
// and the six graphs; on paper also the heading, the version line and the two contact lines.
// With a scheme the summary's second column gives the verdict and the magnitude graph the
// scheme's mask; so does a fixed-point cascade its structure. A design that is not calculated
// leaves the page blank. The selected pen and font are restored at the end.
void DrawGraphPage(CDC& dc, const FilterSpec& spec, const DisplayScale& scale,
                   const ResponseSet& responses, const SchemeCheck& scheme, bool calculated);

}  // namespace qv
