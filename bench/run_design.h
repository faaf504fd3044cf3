// One design of a specification timed on its own: validation and the display scale come first,
// outside the loop, so the figure is the design driver's alone.
#pragma once

#include <benchmark/benchmark.h>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/validation.h"

namespace qv::bench {

inline void RunDesign(benchmark::State& state, FilterSpec spec) {
  if (Validate(spec) != ValidationCode::Valid) {
    state.SkipWithError("specification does not validate");
    return;
  }
  DisplayScale scale;
  DeriveScale(spec, scale);
  FilterDesign design;
  PoleList poles{};
  DesignCode code = DesignCode::Ok;
  for (auto _ : state) {
    FilterSpec working = spec;
    code = Design(working, scale, design, poles);
    benchmark::DoNotOptimize(design);
    benchmark::DoNotOptimize(poles);
  }
  if (code != DesignCode::Ok) state.SkipWithError("design failed");
}

}  // namespace qv::bench
