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

// Whether a calculation computes the curves after the design; a caller that shows none of them
// (a sweep that prints only the coefficients) skips their cost.
enum class CurveWork { Compute, Skip };

// One calculation, made from nothing but its specification: every record starts from its
// defaults, so the same specification always gives the same design and curves.
struct Calculation {
  FilterSpec spec;        // as the calculation left it: validated, with its derived fields
  DisplayScale scale;     // derived once validation accepted the specification
  FilterDesign design;    // the coefficients; partly written when the design was refused
  ResponseSet responses;  // the curves; only the poles when the design was refused
  CalculateOutcome outcome;

  bool Succeeded() const { return outcome.Succeeded(); }
};

// Prepares the tolerance scheme of a copy of `spec` (cut frequencies of the models designed from
// it, the minimum order when asked), validates and normalises it, derives the scale, designs
// (poles into responses.poles), unless `curves` is Skip computes the responses, and checks the
// design against its scheme. A refused validation leaves the specification as given and the
// other records at their defaults; a refused design keeps the scale and the specification's
// derived fields.
[[nodiscard]] Calculation Calculate(const FilterSpec& spec, CurveWork curves = CurveWork::Compute);

}  // namespace qv
