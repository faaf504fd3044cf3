// The transform of one 512-sample response, as every calculation takes it several times.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

#include "analysis/fourier_spectrum.h"
#include "records/filter_spec.h"

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

}  // namespace
