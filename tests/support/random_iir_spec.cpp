#include "tests/support/random_iir_spec.h"

#include <utility>

namespace qv::test {

void DrawIirSpec(std::mt19937& random, const RandomIirRanges& ranges, FilterSpec& spec) {
  const bool band = IsBandType(spec.bandType);
  spec.order =
      std::uniform_int_distribution<int>(1, band ? kMaxBandOrder : ranges.maxLowPassOrder)(random);
  spec.fsample = std::uniform_int_distribution<int>(1000, ranges.maxFsample)(random);
  const int spacing = spec.fsample / ranges.cutSpacing;
  std::uniform_int_distribution<int> cut(spacing, spec.fsample * 9 / 20);
  spec.fcut1 = cut(random);
  spec.fcut2 = cut(random);
  if (spec.fcut2 < spec.fcut1) std::swap(spec.fcut1, spec.fcut2);
  if (spec.fcut2 - spec.fcut1 < spacing) spec.fcut2 = spec.fcut1 + spacing;
  spec.ripple = std::uniform_real_distribution<double>(0.1, 3.0)(random);
}

}  // namespace qv::test
