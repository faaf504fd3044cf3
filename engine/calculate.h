// The Calculate command: validation, display scale, design and responses in one call.
#pragma once

#include <string>

#include "analysis/responses.h"
#include "records/filter_spec.h"

namespace qv {

struct CalculateOutcome {
  int code = 0;         // 0, a validation code (-20..) or a design code (-1..)
  std::string message;  // the exact text to show; empty on success
  bool Succeeded() const { return code == 0; }
};

// Whether a calculation computes the curves after the design; a caller that shows none of them
// (a sweep that prints only the coefficients) skips their cost.
enum class CurveWork { Compute, Skip };

// Validates and normalises `spec`, derives `scale`, designs into `design` (poles into
// responses.poles) and, unless `curves` is Skip, computes `responses`. On a validation failure
// nothing but the outcome changes; on a design failure the scale is already rewritten and the
// responses keep their previous curves.
CalculateOutcome Calculate(FilterSpec& spec, DisplayScale& scale, FilterDesign& design,
                           ResponseSet& responses, CurveWork curves = CurveWork::Compute);

}  // namespace qv
