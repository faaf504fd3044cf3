#include "design/display_scale.h"

#include <cmath>
#include <cstdint>

namespace qv {
namespace {

constexpr float kColumnsPerPoint = 0.00390625f;  // 1 / 256 plotted columns
// 2^9 = 512 points already; larger exponents are limited to 512 without computing 2^e.
constexpr int kLargestExponent = 9;

std::int32_t IirPoints(const FilterSpec& spec) {
  // Integer divisions, as the classic scale derivation does; 64-bit so the sum cannot overflow.
  const std::int64_t sum = static_cast<std::int64_t>(spec.fcut1) + spec.fcut2;
  const std::int64_t x = (spec.fsample / sum) / 2;
  int e = 3;
  if (x != 0) e += static_cast<int>(std::trunc(3.0 * std::log10(static_cast<double>(x))));
  if (spec.model == FilterModel::Chebyshev) {
    e += 2;
  }
  if (IsBandType(spec.bandType)) e += 1;
  if (e >= kLargestExponent) return kSimulationSamples;
  const std::int32_t points = e <= 0 ? 1 : (std::int32_t{1} << e);
  return points < kMinPoints ? kMinPoints : points;
}

}  // namespace

void DeriveScale(const FilterSpec& spec, DisplayScale& scale) {
  scale.points = spec.filterClass == FilterClass::Fir ? spec.taps : IirPoints(spec);
  scale.columnStep = static_cast<float>(scale.points) * kColumnsPerPoint;

  // Each test reads the value that the previous one may have rescaled.
  float step = scale.columnStep / static_cast<float>(spec.fsample);
  scale.timeUnit = "s";
  if (step * 256 < 1 && step * 256 >= 0.001) {
    scale.timeUnit = "ms";
    step = step * 1000;
  }
  if (step * 256 < 0.001 && step * 256 >= 1e-6) {
    scale.timeUnit = "us";
    step = step * 1000000;
  }
  if (step * 256 < 1e-6) {
    scale.timeUnit = "ns";
    step = step * 1000000000;
  }
  scale.timeStep = step;

  scale.freqUnit = "Hz";
  scale.freqDivisor = 1;
  if (spec.fsample > 2000 && spec.fsample < 1999999) {
    scale.freqUnit = "KHz";
    scale.freqDivisor = 1000;
  }
  if (spec.fsample > 2000000 && spec.fsample < 1999999999) {
    scale.freqUnit = "MHz";
    scale.freqDivisor = 1000000;
  }
  if (spec.fsample > 2000000000) {
    scale.freqUnit = "GHz";
    scale.freqDivisor = 1000000000;
  }
}

}  // namespace qv
