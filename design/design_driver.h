// The design driver: IIR and FIR design, gain normalisation, quantisation and the
// stability check, turning a validated FilterSpec into a FilterDesign and its poles.
#pragma once

#include <array>
#include <string>

#include "records/complex.h"
#include "records/filter_spec.h"

namespace qv {

using PoleList = std::array<Complex, kMaxCoefficients>;

enum class DesignCode : int {
  Ok = 0,
  GainOutOfRange = -1,           // measured gain above 1e16
  RootSearchFailed = -2,         // a root search found no root within its iteration limit
  QuantizationNotPossible = -3,  // quantisation exponent out of its range
  NotStable = -4,                // a pole on or outside the unit circle
  ZeroGain = -5,                 // measured gain 0 or all coefficients 0
  RemezFailed = -6,              // the equiripple exchange did not converge
};

// Designs the filter of a validated `spec` (Validate and DeriveScale have run; `scale.points`
// is the length of the gain measurement). Writes `design`, for IIR models the m digital poles
// into `poles`, and for band designs spec.fcenter (Hz). Returns a DesignCode.
[[nodiscard]] DesignCode Design(FilterSpec& spec, const DisplayScale& scale, FilterDesign& design,
                                PoleList& poles);

// The exact message for a design failure code; empty for DesignCode::Ok and unknown codes.
std::string DesignMessage(DesignCode code);

}  // namespace qv
