// The whole Calculate command: the default design and the heaviest ones of each class, which
// the desktop runs on every "Calculate Filter" and the command-line tool once per run.
#include <benchmark/benchmark.h>

#include "engine/calculate.h"

namespace {

qv::FilterSpec Spec(qv::FilterClass filterClass, qv::FilterModel model, qv::BandType band,
                    int order, int fcut1, int fcut2, int fsample, int taps,
                    qv::Quantization quantization) {
  qv::FilterSpec spec;
  spec.filterClass = filterClass;
  spec.model = model;
  spec.bandType = band;
  spec.order = order;
  spec.fcut1 = fcut1;
  spec.fcut2 = fcut2;
  spec.fsample = fsample;
  spec.taps = taps;
  spec.quantization = quantization;
  return spec;
}

void RunCalculate(benchmark::State& state, qv::FilterSpec spec) {
  for (auto _ : state) {
    const qv::Calculation calculation = qv::Calculate(spec);
    if (!calculation.Succeeded()) {
      state.SkipWithError(calculation.outcome.message.c_str());
      break;
    }
    benchmark::DoNotOptimize(calculation.responses);
  }
}

using qv::BandType;
using qv::FilterClass;
using qv::FilterModel;
using qv::Quantization;

BENCHMARK_CAPTURE(RunCalculate, Default, qv::FilterSpec{});
// Degree-18 band transformation and stability check, quantised simulation.
BENCHMARK_CAPTURE(RunCalculate, HeaviestIirChebyshevBandStop9x16,
                  Spec(FilterClass::Iir, FilterModel::Chebyshev, BandType::BandStop,
                       qv::kMaxBandOrder, 300, 700, 2000, 31, Quantization::Signed16));
BENCHMARK_CAPTURE(RunCalculate, IirChebyshevLowPass19,
                  Spec(FilterClass::Iir, FilterModel::Chebyshev, BandType::LowPass, qv::kMaxOrder,
                       200, 200, 1000, 31, Quantization::Float));
// The longest responses: a narrow band stop of the highest order at 16 bits rings on past
// the 512 samples (largest pole radius 0.9917), so its integer simulation runs on for the
// curves; the same design in float takes them from its transfer function, as does a float
// high pass whose poles cluster near z = 1 (its simulation's rounding would show).
BENCHMARK_CAPTURE(RunCalculate, LongestIirChebyshevBandStop9Narrow16,
                  Spec(FilterClass::Iir, FilterModel::Chebyshev, BandType::BandStop,
                       qv::kMaxBandOrder, 100, 300, 1000, 31, Quantization::Signed16));
BENCHMARK_CAPTURE(RunCalculate, LongIirChebyshevBandPass7Narrow16,
                  Spec(FilterClass::Iir, FilterModel::Chebyshev, BandType::BandPass, 7, 100, 300,
                       1000, 31, Quantization::Signed16));
BENCHMARK_CAPTURE(RunCalculate, LongIirChebyshevBandStop9NarrowFloat,
                  Spec(FilterClass::Iir, FilterModel::Chebyshev, BandType::BandStop,
                       qv::kMaxBandOrder, 100, 300, 1000, 31, Quantization::Float));
BENCHMARK_CAPTURE(RunCalculate, ClusteredIirBesselHighPass11Float,
                  Spec(FilterClass::Iir, FilterModel::Bessel, BandType::HighPass, 11, 1149, 1149,
                       44100, 31, Quantization::Float));
// The IIR model's magnitude sampled for 511 taps, then all of the FIR analysis.
BENCHMARK_CAPTURE(RunCalculate, HeaviestFirChebyshevBandStop9Taps511x16,
                  Spec(FilterClass::Fir, FilterModel::Chebyshev, BandType::BandStop,
                       qv::kMaxBandOrder, 300, 700, 2000, qv::kMaxTaps, Quantization::Signed16));
// The same band stop as a 16-bit fixed-point cascade: the peak searches of its scaling and
// the search for the cycle its output ends in.
BENCHMARK_CAPTURE(RunCalculate, IirChebyshevBandStop9x16Sections, [] {
  qv::FilterSpec spec = Spec(FilterClass::Iir, FilterModel::Chebyshev, BandType::BandStop,
                             qv::kMaxBandOrder, 300, 700, 2000, 31, Quantization::Signed16);
  spec.structure = qv::IirStructure::Sections;
  return spec;
}());
BENCHMARK_CAPTURE(RunCalculate, FirRaisedCosineTaps511x16,
                  Spec(FilterClass::Fir, FilterModel::RaisedCosine, BandType::LowPass, 2, 100, 100,
                       1000, qv::kMaxTaps, Quantization::Signed16));

}  // namespace
