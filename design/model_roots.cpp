#include "design/model_roots.h"

#include <array>

#include "analysis/zero_placement.h"
#include "design/cauer_design.h"
#include "design/iir_design.h"

namespace qv {

void DesignModelZeros(const FilterSpec& spec, std::span<Complex> zeros) {
  if (!HasPrototypeZeros(spec.model)) {
    PlaceIirZeros(spec, zeros);
    return;
  }
  std::array<Complex, kMaxCoefficients> poles{};
  FilterSpec designed = spec;
  DesignCauerZerosPoles(designed, zeros, poles);
}

int DesignModelZerosPoles(const FilterSpec& spec, std::span<Complex> zeros,
                          std::span<Complex> poles) {
  FilterSpec designed = spec;
  if (HasPrototypeZeros(spec.model)) {
    DesignCauerZerosPoles(designed, zeros, poles);
    return 0;
  }
  PlaceIirZeros(spec, zeros);
  return DesignIirPoles(designed, poles);
}

}  // namespace qv
