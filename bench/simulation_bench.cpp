// The simulations of a calculation, against the literal loops.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>

#include "analysis/simulation.h"
#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/validation.h"
#include "literal_loops.h"
#include "records/filter_spec.h"

namespace {

// Step and impulse of a 511-tap FIR at 16 bits.
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

// The design of the Chebyshev band stop of order 9 at 16 bits, or nothing when it fails.
bool HeaviestIir(qv::FilterSpec& spec, qv::FilterDesign& design) {
  spec.model = qv::FilterModel::Chebyshev;
  spec.bandType = qv::BandType::BandStop;
  spec.order = qv::kMaxBandOrder;
  spec.fcut2 = 300;
  spec.quantization = qv::Quantization::Signed16;
  qv::PoleList poles{};
  qv::DisplayScale scale;
  if (qv::Validate(spec) != qv::ValidationCode::Valid) return false;
  qv::DeriveScale(spec, scale);
  return qv::Design(spec, scale, design, poles) == qv::DesignCode::Ok;
}

// Step and impulse of the quantised order-18 recursion: side by side with regrouped sums, one
// after the other, and as the literal loops.
void BM_SimulateIir18(benchmark::State& state) {
  qv::FilterSpec spec;
  qv::FilterDesign design;
  if (!HeaviestIir(spec, design)) {
    state.SkipWithError("design failed");
    return;
  }
  std::array<double, qv::kSimulationSamples> step{};
  std::array<double, qv::kSimulationSamples> impulse{};
  const int variant = static_cast<int>(state.range(0));
  for (auto _ : state) {
    if (variant == 0) {
      benchmark::DoNotOptimize(
          qv::SimulateIirStepAndImpulse(spec, design.numerator, design.denominator, design.shift,
                                        qv::kSimulationSamples, step, impulse));
    } else if (variant == 1) {
      benchmark::DoNotOptimize(qv::SimulateIirStep(spec, design.numerator, design.denominator,
                                                   design.shift, qv::kSimulationSamples, step));
      benchmark::DoNotOptimize(qv::SimulateIirImpulse(spec, design.numerator, design.denominator,
                                                      design.shift, qv::kSimulationSamples,
                                                      impulse));
    } else {
      for (const bool isStep : {true, false}) {
        benchmark::DoNotOptimize(qv::reference::LiteralSimulateIir(
            spec, design.numerator, design.denominator, design.shift, qv::kSimulationSamples,
            isStep, isStep ? step : impulse));
      }
    }
  }
}
// 0: side by side, 1: one after the other, 2: literal loops.
BENCHMARK(BM_SimulateIir18)->DenseRange(0, 2);

}  // namespace
