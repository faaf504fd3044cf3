#include "engine/calculate.h"

#include <utility>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/minimum_order.h"
#include "design/model_roots.h"
#include "design/validation.h"

namespace qv {
namespace {

CalculateOutcome Refused(int code, std::string message) {
  CalculateOutcome outcome;
  outcome.code = code;
  outcome.message = std::move(message);
  return outcome;
}

}  // namespace

Calculation Calculate(const FilterSpec& spec, CurveWork curves) {
  Calculation calculation;
  calculation.spec = spec;
  FilterSpec prepared = spec;
  MinimumOrder found;
  if (const int code = PrepareScheme(prepared, found);
      code != static_cast<int>(ValidationCode::Valid)) {
    calculation.outcome = Refused(code, found.code != MinimumOrderCode::Found
                                            ? MinimumOrderMessage(found)
                                            : ValidationMessage(static_cast<ValidationCode>(code)));
    return calculation;
  }
  const ValidationCode validation = Validate(prepared);
  if (validation != ValidationCode::Valid) {
    calculation.outcome = Refused(static_cast<int>(validation), ValidationMessage(validation));
    return calculation;
  }
  calculation.spec = prepared;
  FilterSpec& s = calculation.spec;
  DeriveScale(s, calculation.scale);
  const DesignCode designed =
      Design(s, calculation.scale, calculation.design, calculation.responses.poles);
  if (designed != DesignCode::Ok) {
    calculation.outcome = Refused(static_cast<int>(designed), DesignMessage(designed));
    return calculation;
  }
  if (curves == CurveWork::Compute) {
    if (UsesFixedPointSections(s)) {
      ComputeCascadeResponses(s, calculation.scale, calculation.design, calculation.responses);
    } else {
      ComputeResponses(s, calculation.scale, calculation.design, calculation.responses);
      // The curves place the zeros from the band type alone; these models put theirs in the
      // stop band. A cascade shows its quantised sections' zeros.
      if (s.filterClass == FilterClass::Iir && HasPrototypeZeros(s.model)) {
        DesignModelZeros(s, calculation.responses.zeros);
      }
    }
  }
  calculation.outcome.scheme = CheckAgainstScheme(s, calculation.design);
  return calculation;
}

}  // namespace qv
