// Whole designs: the default specification and the heaviest ones, a 511-tap FIR on a
// Chebyshev band-stop model of order 9 and the Chebyshev band-stop IIR of order 9, both at
// 16 bits (degree-18 polynomials for the band transformation and the stability check).
#include <benchmark/benchmark.h>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/validation.h"

namespace {

qv::FilterSpec HeaviestBandStop(qv::FilterClass filterClass) {
  qv::FilterSpec spec;
  spec.filterClass = filterClass;
  spec.model = qv::FilterModel::Chebyshev;
  spec.bandType = qv::BandType::BandStop;
  spec.order = qv::kMaxBandOrder;
  spec.fcut1 = 100;
  spec.fcut2 = 300;
  spec.taps = qv::kMaxTaps;
  spec.quantization = qv::Quantization::Signed16;
  return spec;
}

void RunDesign(benchmark::State& state, qv::FilterSpec spec) {
  if (qv::Validate(spec) != qv::kValid) {
    state.SkipWithError("specification does not validate");
    return;
  }
  qv::DisplayScale scale;
  qv::DeriveScale(spec, scale);
  qv::FilterDesign design;
  qv::PoleList poles{};
  int code = 0;
  for (auto _ : state) {
    qv::FilterSpec working = spec;
    code = qv::Design(working, scale, design, poles);
    benchmark::DoNotOptimize(design);
    benchmark::DoNotOptimize(poles);
  }
  if (code != qv::kDesignOk) state.SkipWithError("design failed");
}

void BM_DesignDefault(benchmark::State& state) { RunDesign(state, qv::FilterSpec{}); }
BENCHMARK(BM_DesignDefault);

void BM_DesignFir511ChebyshevBandStop9(benchmark::State& state) {
  RunDesign(state, HeaviestBandStop(qv::FilterClass::Fir));
}
BENCHMARK(BM_DesignFir511ChebyshevBandStop9);

void BM_DesignIirChebyshevBandStop9(benchmark::State& state) {
  RunDesign(state, HeaviestBandStop(qv::FilterClass::Iir));
}
BENCHMARK(BM_DesignIirChebyshevBandStop9);

}  // namespace
