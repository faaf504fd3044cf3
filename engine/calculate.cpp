#include "engine/calculate.h"

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/validation.h"

namespace qv {

CalculateOutcome Calculate(FilterSpec& spec, DisplayScale& scale, FilterDesign& design,
                           ResponseSet& responses) {
  const int validation = Validate(spec);
  if (validation != kValid) {
    return {validation, ValidationMessage(validation)};
  }
  DeriveScale(spec, scale);
  const int designed = Design(spec, scale, design, responses.poles);
  if (designed != kDesignOk) {
    return {designed, DesignMessage(designed)};
  }
  if (UsesFixedPointSections(spec)) {
    ComputeCascadeResponses(spec, scale, design, responses);
  } else {
    ComputeResponses(spec, scale, design, responses);
  }
  return {};
}

}  // namespace qv
