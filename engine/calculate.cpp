#include "engine/calculate.h"

#include <array>
#include <utility>

#include "design/cauer_design.h"
#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/minimum_order.h"
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
  if (const int code = PrepareScheme(prepared, found); code != kValid) {
    calculation.outcome =
        Refused(code, found.code != MinimumOrderCode::Found ? MinimumOrderMessage(found)
                                                            : ValidationMessage(code));
    return calculation;
  }
  const int validation = Validate(prepared);
  if (validation != kValid) {
    calculation.outcome = Refused(validation, ValidationMessage(validation));
    return calculation;
  }
  calculation.spec = prepared;
  FilterSpec& s = calculation.spec;
  DeriveScale(s, calculation.scale);
  const int designed =
      Design(s, calculation.scale, calculation.design, calculation.responses.poles);
  if (designed != kDesignOk) {
    calculation.outcome = Refused(designed, DesignMessage(designed));
    return calculation;
  }
  if (curves == CurveWork::Compute) {
    if (UsesFixedPointSections(s)) {
      ComputeCascadeResponses(s, calculation.scale, calculation.design, calculation.responses);
    } else {
      ComputeResponses(s, calculation.scale, calculation.design, calculation.responses);
    }
    if (s.filterClass == FilterClass::Iir &&
        (s.model == FilterModel::ChebyshevII || s.model == FilterModel::Elliptic)) {
      // Their zeros lie in the stop band, where the design put them, not where the band type
      // alone would place them.
      std::array<Complex, kMaxCoefficients> poles{};
      DesignCauerZerosPoles(s, calculation.responses.zeros, poles);
    }
  }
  calculation.outcome.scheme = CheckAgainstScheme(s, calculation.design);
  return calculation;
}

}  // namespace qv
