#include "engine/calculate.h"

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/validation.h"

namespace qv {

Calculation Calculate(const FilterSpec& spec, CurveWork curves) {
  Calculation calculation;
  calculation.spec = spec;
  const int validation = Validate(calculation.spec);
  if (validation != kValid) {
    calculation.outcome = {validation, ValidationMessage(validation)};
    return calculation;
  }
  DeriveScale(calculation.spec, calculation.scale);
  const int designed =
      Design(calculation.spec, calculation.scale, calculation.design, calculation.responses.poles);
  if (designed != kDesignOk) {
    calculation.outcome = {designed, DesignMessage(designed)};
    return calculation;
  }
  if (curves == CurveWork::Compute) {
    ComputeResponses(calculation.spec, calculation.scale, calculation.design,
                     calculation.responses);
  }
  return calculation;
}

}  // namespace qv
