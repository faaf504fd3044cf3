#include "design_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "design/display_scale.h"
#include "design/validation.h"

namespace qv::design_test {

DesignRun RunDesign(FilterSpec spec) {
  DesignRun run;
  EXPECT_EQ(Validate(spec), ValidationCode::Valid);
  DeriveScale(spec, run.scale);
  run.poles.fill(kPoleSentinel);
  run.code = Design(spec, run.scale, run.design, run.poles);
  run.spec = spec;
  return run;
}

std::complex<double> Response(const FilterSpec& spec, const FilterDesign& design, double hz) {
  const double w = 2.0 * std::numbers::pi * hz / spec.fsample;
  const double scale = std::ldexp(1.0, design.shift);
  std::complex<double> num = 0.0;
  std::complex<double> den = 0.0;
  if (spec.filterClass == FilterClass::Fir) {
    for (int k = 0; k < spec.taps; ++k) num += design.firTaps[k] * std::polar(1.0, -w * k);
    return num / scale;
  }
  for (int k = 0; k <= spec.effectiveOrder; ++k) {
    num += design.numerator[k] * std::polar(1.0, -w * k);
    den += design.denominator[k] * std::polar(1.0, -w * k);
  }
  return num / scale / den;
}

double GainDb(const FilterSpec& spec, const FilterDesign& design, double hz) {
  return 20.0 * std::log10(std::abs(Response(spec, design, hz)));
}

}  // namespace qv::design_test
