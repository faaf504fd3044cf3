// Whole designs: the default specification and the heaviest ones, a 511-tap FIR on a
// Chebyshev band-stop model of order 9 and the Chebyshev band-stop IIR of order 9, both at
// 16 bits (degree-18 polynomials for the band transformation and the stability check).
#include <benchmark/benchmark.h>

#include "bench/run_design.h"

namespace {

using qv::bench::RunDesign;

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
