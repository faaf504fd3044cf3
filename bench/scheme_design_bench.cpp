// Design from requirements: the minimum order of every model, an elliptic design of order 9
// against the Chebyshev Calculate it is measured with, and a 511-tap equiripple design.
#include <benchmark/benchmark.h>

#include "bench/run_design.h"
#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/minimum_order.h"
#include "design/validation.h"
#include "engine/calculate.h"

namespace {

qv::FilterSpec Scheme(qv::FilterModel model, qv::BandType band) {
  qv::FilterSpec spec;
  spec.model = model;
  spec.bandType = band;
  spec.fsample = 8000;
  spec.ripple = 0.5;
  const bool fir = model == qv::FilterModel::Kaiser || model == qv::FilterModel::Equiripple;
  spec.filterClass = fir ? qv::FilterClass::Fir : qv::FilterClass::Iir;
  if (band == qv::BandType::LowPass) {
    spec.scheme = {
        .active = true, .minimumOrder = true, .pass1 = 1000, .stop1 = 1300, .attenuation = 60};
  } else {
    spec.scheme = {.active = true,
                   .minimumOrder = true,
                   .pass1 = 1000,
                   .pass2 = 2000,
                   .stop1 = 800,
                   .stop2 = 2300,
                   .attenuation = 60};
  }
  return spec;
}

void MinimumOrder(benchmark::State& state, qv::FilterModel model, qv::BandType band) {
  const qv::FilterSpec spec = Scheme(model, band);
  for (auto _ : state) {
    qv::FilterSpec working = spec;
    qv::MinimumOrder found;
    benchmark::DoNotOptimize(qv::PrepareScheme(working, found));
    benchmark::DoNotOptimize(working);
  }
}
BENCHMARK_CAPTURE(MinimumOrder, Butterworth, qv::FilterModel::Butterworth, qv::BandType::LowPass)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MinimumOrder, Chebyshev, qv::FilterModel::Chebyshev, qv::BandType::LowPass)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MinimumOrder, ChebyshevII, qv::FilterModel::ChebyshevII, qv::BandType::LowPass)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MinimumOrder, Elliptic, qv::FilterModel::Elliptic, qv::BandType::LowPass)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MinimumOrder, EllipticBandPass, qv::FilterModel::Elliptic, qv::BandType::BandPass)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MinimumOrder, Kaiser, qv::FilterModel::Kaiser, qv::BandType::LowPass)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MinimumOrder, Equiripple, qv::FilterModel::Equiripple, qv::BandType::LowPass)
    ->Unit(benchmark::kMicrosecond);

// Calculate of an elliptic low pass of order 9 and of the Chebyshev low pass of the same
// order: the elliptic one should take at most twice as long.
void CalculateOrder9(benchmark::State& state, qv::FilterModel model) {
  qv::FilterSpec spec = Scheme(model, qv::BandType::LowPass);
  spec.scheme.minimumOrder = false;
  spec.order = 9;
  spec.fcut1 = 1000;
  for (auto _ : state) {
    benchmark::DoNotOptimize(qv::Calculate(spec));
  }
}
BENCHMARK_CAPTURE(CalculateOrder9, Chebyshev, qv::FilterModel::Chebyshev)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CalculateOrder9, Elliptic, qv::FilterModel::Elliptic)
    ->Unit(benchmark::kMicrosecond);

// The longest equiripple design (scipy's remez takes about 10 ms for it).
void Equiripple511(benchmark::State& state) {
  qv::FilterSpec spec = Scheme(qv::FilterModel::Equiripple, qv::BandType::LowPass);
  spec.scheme = {.active = true, .pass1 = 1000, .stop1 = 1100, .attenuation = 60};
  spec.taps = qv::kMaxTaps;
  qv::bench::RunDesign(state, spec);
}
BENCHMARK(Equiripple511)->Unit(benchmark::kMillisecond);

}  // namespace
