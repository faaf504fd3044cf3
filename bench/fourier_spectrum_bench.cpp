// The transform of one 512-sample response, as every calculation takes it several times.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

#include "analysis/simulation.h"
#include "analysis/fourier_spectrum.h"
#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/filter_spec.h"
#include "design/validation.h"

namespace {

void BM_ComputeSpectrum(benchmark::State& state) {
  std::array<double, qv::kSimulationSamples> samples{};
  for (int t = 0; t < qv::kSimulationSamples; ++t) {
    samples[t] = std::exp(-0.01 * t) * std::sin(0.3 * t);
  }
  std::array<qv::Complex, qv::kSimulationSamples> spectrum{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(qv::ComputeSpectrum(samples, spectrum));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ComputeSpectrum);

// The simulations of a calculation: step and impulse of a 511-tap FIR and of the order-18
// IIR Chebyshev band stop at 16 bits.
void BM_SimulateFir511(benchmark::State& state) {
  qv::FilterSpec spec;
  spec.filterClass = qv::FilterClass::Fir;
  spec.taps = qv::kMaxTaps;
  spec.quantization = qv::Quantization::Signed16;
  std::array<double, qv::kTapCapacity> taps{};
  for (int k = 0; k < qv::kMaxTaps; ++k) taps[k] = std::trunc(1000.0 * std::sin(0.1 * k));
  std::array<double, qv::kSimulationSamples> out{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(qv::SimulateFirStep(spec, taps, 14, qv::kSimulationSamples, out));
    benchmark::DoNotOptimize(qv::SimulateFirImpulse(spec, taps, 14, qv::kSimulationSamples, out));
  }
}
BENCHMARK(BM_SimulateFir511);

void BM_SimulateIir18(benchmark::State& state) {
  qv::FilterSpec spec;
  spec.model = qv::FilterModel::Chebyshev;
  spec.bandType = qv::BandType::BandStop;
  spec.order = qv::kMaxBandOrder;
  spec.fcut2 = 300;
  spec.quantization = qv::Quantization::Signed16;
  qv::FilterDesign design;
  qv::PoleList poles{};
  qv::DisplayScale scale;
  if (qv::Validate(spec) != qv::kValid) {
    state.SkipWithError("specification does not validate");
    return;
  }
  qv::DeriveScale(spec, scale);
  if (qv::Design(spec, scale, design, poles) != qv::kDesignOk) {
    state.SkipWithError("design failed");
    return;
  }
  std::array<double, qv::kSimulationSamples> out{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(qv::SimulateIirStep(spec, design.numerator, design.denominator,
                                                 design.shift, qv::kSimulationSamples, out));
    benchmark::DoNotOptimize(qv::SimulateIirImpulse(spec, design.numerator, design.denominator,
                                                    design.shift, qv::kSimulationSamples, out));
  }
}
BENCHMARK(BM_SimulateIir18);

}  // namespace
