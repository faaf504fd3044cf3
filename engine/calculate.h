// The Calculate command: validation, display scale, design and responses in one call.
#pragma once

#include <string>

#include "analysis/responses.h"
#include "design/scheme_check.h"
#include "records/filter_spec.h"

namespace qv {

struct CalculateOutcome {
  int code = 0;         // 0, a validation code (-20..) or a design code (-1..)
  std::string message;  // the exact text to show; empty on success
  SchemeCheck scheme;   // the design against its tolerance scheme (checked when one is set)
  bool Succeeded() const { return code == 0; }
};

// Prepares the tolerance scheme (cut frequencies of the models designed from it, the minimum
// order when asked), validates and normalises `spec`, derives `scale`, designs into `design` (poles
// into responses.poles) and computes `responses`. On a validation failure nothing but the outcome
// changes; on a design failure the scale is already rewritten and the responses keep their
// previous curves.
CalculateOutcome Calculate(FilterSpec& spec, DisplayScale& scale, FilterDesign& design,
                           ResponseSet& responses);

}  // namespace qv
