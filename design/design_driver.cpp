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
int DesignFixedPointSections(const FilterSpec& spec, FilterDesign& design, PoleList& poles) {
  design.shift = 0;
  const int code =
      BuildFixedPointCascade(spec, design.numerator, design.denominator, design.cascade);
  if (code != kDesignOk && code != kNotStable) return code;
  std::array<Complex, kMaxCoefficients> zeros{};
  CascadeRoots(design.cascade, spec.effectiveOrder, zeros, poles);
  return code;
}

}  // namespace

int Design(FilterSpec& spec, const DisplayScale& scale, FilterDesign& design, PoleList& poles) {
  const bool iirModel = IsIirModel(spec.model);
  if (HasPrototypeZeros(spec.model)) {
    DesignCauer(spec, design);
  } else if (iirModel && DesignIir(spec, design) != 0) {
    return kRootSearchFailed;
  }
  if (spec.filterClass == FilterClass::Fir) {
    if (spec.model == FilterModel::Kaiser) {
      DesignKaiser(spec, design);
    } else if (spec.model == FilterModel::Equiripple) {
      if (DesignEquiripple(spec, design) != kRemezConverged) return kRemezFailed;
    } else {
      DesignFir(spec, design);
    }
    // The FIR models have no band centre of their own; the band pass is normalised at the
    // centre that the IIR design of the same band would have.
    if (!iirModel && spec.bandType == BandType::BandPass) spec.fcenter = BandCentreHz(spec);
  }

  const double gain = MeasureGain(spec, design, scale.points);
  if (!(gain <= kLargestGain)) return kGainOutOfRange;
  if (!(gain > 0.0)) return kZeroGain;
  Normalise(spec, gain, design);

  if (UsesFixedPointSections(spec)) return DesignFixedPointSections(spec, design, poles);
  design.cascade = {};  // no sections of an earlier design stay behind
  if (const int code = QuantizeDesign(spec, design)) return code;
  if (iirModel) return CheckStability(spec.effectiveOrder, design, poles);
  return kDesignOk;
}

std::string DesignMessage(int code) {
  switch (code) {
    case kGainOutOfRange:
      return "Error: Calculus out of range!\nReduce Fs/Fc or the Filter Order.\n\n";
    case kRootSearchFailed:
      return "Error: The function did not find the roots!\n\n";
    case kQuantizationNotPossible:
      return "Error: Quantization not possible!\nReduce Fs/Fc or the Filter Order. Or increase "
             "the quantization coefficients precision\n\n";
    case kNotStable:
      return "Error: This filter is not stable!\nReduce Fs/Fc or the Filter Order. Or increase "
             "the quantization coefficients precision\n\n";
    case kZeroGain:
      return "Error: The filter has no gain!\nChange the cut frequencies or the number of "
             "taps.\n\n";
    case kRemezFailed:
      return "Error: The equiripple design did not converge!\nChange the band edges or the "
             "number of taps.\n\n";
    default:
      return {};
  }
}

}  // namespace qv
