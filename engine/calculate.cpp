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

CalculateOutcome Calculate(FilterSpec& spec, DisplayScale& scale, FilterDesign& design,
                           ResponseSet& responses) {
  FilterSpec prepared = spec;
  MinimumOrder found;
  if (const int code = PrepareScheme(prepared, found); code != kValid) {
    return Refused(code, found.code != kMinimumOrderFound ? MinimumOrderMessage(found)
                                                          : ValidationMessage(code));
  }
  const int validation = Validate(prepared);
  if (validation != kValid) {
    return Refused(validation, ValidationMessage(validation));
  }
  spec = prepared;
  DeriveScale(spec, scale);
  const int designed = Design(spec, scale, design, responses.poles);
  if (designed != kDesignOk) {
    return Refused(designed, DesignMessage(designed));
  }
  ComputeResponses(spec, scale, design, responses);
  if (spec.filterClass == FilterClass::Iir &&
      (spec.model == FilterModel::ChebyshevII || spec.model == FilterModel::Elliptic)) {
    // Their zeros lie in the stop band, where the design put them, not where the band type
    // alone would place them.
    std::array<Complex, kMaxCoefficients> poles{};
    DesignCauerZerosPoles(spec, responses.zeros, poles);
  }
  CalculateOutcome outcome;
  outcome.scheme = CheckAgainstScheme(spec, design);
  return outcome;
}

}  // namespace qv
