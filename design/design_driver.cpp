#include "design/design_driver.h"

#include <algorithm>

#include "analysis/cascade_roots.h"
#include "design/cauer_design.h"
#include "design/equiripple_design.h"
#include "design/fir_design.h"
#include "design/fixed_point_sections.h"
#include "design/gain_measurement.h"
#include "design/iir_design.h"
#include "design/kaiser_design.h"
#include "design/model_roots.h"
#include "design/quantization.h"
#include "design/stability_check.h"

namespace qv {
namespace {

constexpr double kLargestGain = 1e16;

void Normalise(const FilterSpec& spec, double gain, FilterDesign& design) {
  if (spec.filterClass == FilterClass::Fir) {
    const int taps = std::clamp(spec.taps, 0, kMaxTaps);
    for (int k = 0; k < taps; ++k) design.firTaps[k] /= gain;
  } else {
    const int order = std::clamp(spec.effectiveOrder, 0, kMaxCoefficients - 1);
    for (int k = 0; k <= order; ++k) design.numerator[k] /= gain;
  }
}

// The quantised cascade of the normalised float design, whose arrays stay as they are; the
// poles are those of the quantised sections.
DesignCode DesignFixedPointSections(const FilterSpec& spec, FilterDesign& design, PoleList& poles) {
  design.shift = 0;
  const DesignCode code =
      BuildFixedPointCascade(spec, design.numerator, design.denominator, design.cascade);
  if (code != DesignCode::Ok && code != DesignCode::NotStable) return code;
  std::array<Complex, kMaxCoefficients> zeros{};
  CascadeRoots(design.cascade, spec.effectiveOrder, zeros, poles);
  return code;
}

}  // namespace

DesignCode Design(FilterSpec& spec, const DisplayScale& scale, FilterDesign& design,
                  PoleList& poles) {
  const bool iirModel = IsIirModel(spec.model);
  if (HasPrototypeZeros(spec.model)) {
    DesignCauer(spec, design);
  } else if (iirModel && DesignIir(spec, design) != 0) {
    return DesignCode::RootSearchFailed;
  }
  if (spec.filterClass == FilterClass::Fir) {
    if (spec.model == FilterModel::Kaiser) {
      DesignKaiser(spec, design);
    } else if (spec.model == FilterModel::Equiripple) {
      if (DesignEquiripple(spec, design) != RemezCode::Converged) return DesignCode::RemezFailed;
    } else {
      DesignFir(spec, design);
    }
    // The FIR models have no band centre of their own; the band pass is normalised at the
    // centre that the IIR design of the same band would have.
    if (!iirModel && spec.bandType == BandType::BandPass) spec.fcenter = BandCentreHz(spec);
  }

  const double gain = MeasureGain(spec, design, scale.points);
  if (!(gain <= kLargestGain)) return DesignCode::GainOutOfRange;
  if (!(gain > 0.0)) return DesignCode::ZeroGain;
  Normalise(spec, gain, design);

  if (UsesFixedPointSections(spec)) return DesignFixedPointSections(spec, design, poles);
  design.cascade = {};  // no sections of an earlier design stay behind
  if (const DesignCode code = QuantizeDesign(spec, design); code != DesignCode::Ok) return code;
  if (iirModel) return CheckStability(spec.effectiveOrder, design, poles);
  return DesignCode::Ok;
}

std::string DesignMessage(DesignCode code) {
  switch (code) {
    case DesignCode::GainOutOfRange:
      return "Error: Calculus out of range!\nReduce Fs/Fc or the Filter Order.\n\n";
    case DesignCode::RootSearchFailed:
      return "Error: The function did not find the roots!\n\n";
    case DesignCode::QuantizationNotPossible:
      return "Error: Quantization not possible!\nReduce Fs/Fc or the Filter Order. Or increase "
             "the quantization coefficients precision\n\n";
    case DesignCode::NotStable:
      return "Error: This filter is not stable!\nReduce Fs/Fc or the Filter Order. Or increase "
             "the quantization coefficients precision\n\n";
    case DesignCode::ZeroGain:
      return "Error: The filter has no gain!\nChange the cut frequencies or the number of "
             "taps.\n\n";
    case DesignCode::RemezFailed:
      return "Error: The equiripple design did not converge!\nChange the band edges or the "
             "number of taps.\n\n";
    default:
      return {};
  }
}

}  // namespace qv
