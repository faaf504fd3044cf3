// The JSON printout of a calculated design, written directly, against the ordered document
// that was built and dumped before: the default design and the heaviest ones.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "cli/json_number.h"
#include "cli/json_output.h"
#include "cli/shortest_decimal.h"
#include "dom_json_printout.h"
#include "engine/calculate.h"

namespace {

qv::Calculation Calculated(qv::FilterClass filterClass, qv::BandType band, int order,
                           qv::Quantization quantization, int taps) {
  qv::FilterSpec spec;
  spec.filterClass = filterClass;
  spec.bandType = band;
  spec.order = order;
  spec.quantization = quantization;
  spec.taps = taps;
  if (band == qv::BandType::BandStop) {
    spec.model = qv::FilterModel::Chebyshev;
    spec.fcut1 = 300;
    spec.fcut2 = 700;
    spec.fsample = 2000;
  }
  return qv::Calculate(spec);
}

const qv::Calculation& Design(int which) {
  static const qv::Calculation designs[] = {
      Calculated(qv::FilterClass::Iir, qv::BandType::LowPass, 2, qv::Quantization::Float, 31),
      Calculated(qv::FilterClass::Iir, qv::BandType::BandStop, qv::kMaxBandOrder,
                 qv::Quantization::Signed16, 31),
      Calculated(qv::FilterClass::Fir, qv::BandType::BandStop, qv::kMaxBandOrder,
                 qv::Quantization::Signed16, qv::kMaxTaps)};
  return designs[which];
}

void BM_JsonPrintout(benchmark::State& state) {
  const qv::Calculation& calculated = Design(static_cast<int>(state.range(0)));
  fmt::memory_buffer text;
  for (auto _ : state) {
    text.clear();
    qv::cli::AppendDesignJson(text, calculated);
    benchmark::DoNotOptimize(text.data());
  }
}

void BM_JsonPrintoutDocument(benchmark::State& state) {
  const qv::Calculation& calculated = Design(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string text = qv::reference::DomDesignJson(calculated).dump();
    benchmark::DoNotOptimize(text.data());
  }
}

// The shortest round-trip digits alone of the reals of the curves, which every printout must
// find: the bound of the printout itself. The search the printout uses (Dragonbox where {fmt}
// has it), and the std::to_chars fallback.
template <qv::cli::ShortestDecimal (*Search)(double)>
void ShortestDigitsOnly(benchmark::State& state) {
  const qv::ResponseSet& r = Design(static_cast<int>(state.range(0))).responses;
  for (auto _ : state) {
    for (const auto* curve : {&r.magnitudeDb, &r.phase, &r.groupDelay, &r.impulse, &r.step}) {
      for (const double value : *curve) {
        if (value != 0.0) benchmark::DoNotOptimize(Search(std::abs(value)));
      }
    }
  }
}

void BM_JsonShortestDigitsOnly(benchmark::State& state) {
  ShortestDigitsOnly<qv::cli::FindShortestDecimal>(state);
}

void BM_JsonShortestDigitsByToChars(benchmark::State& state) {
  ShortestDigitsOnly<qv::cli::ShortestDecimalByToChars>(state);
}

// The layout alone of the same reals, their shortest decimals found beforehand: the other part
// of the printout's cost.
void BM_JsonLayoutOnly(benchmark::State& state) {
  const qv::ResponseSet& r = Design(static_cast<int>(state.range(0))).responses;
  std::vector<qv::cli::ShortestDecimal> decimals;
  for (const auto* curve : {&r.magnitudeDb, &r.phase, &r.groupDelay, &r.impulse, &r.step}) {
    for (const double value : *curve) {
      if (value != 0.0) decimals.push_back(qv::cli::FindShortestDecimal(std::abs(value)));
    }
  }
  std::vector<char> text(decimals.size() * (qv::cli::kJsonRealRoom + 1));
  for (auto _ : state) {
    char* cursor = text.data();
    for (const qv::cli::ShortestDecimal& decimal : decimals) {
      cursor = qv::cli::WriteJsonDecimal(cursor, decimal);
      *cursor++ = ',';
    }
    benchmark::DoNotOptimize(cursor);
  }
}

// 0: default design, 1: heaviest IIR, 2: heaviest FIR (511 taps).
BENCHMARK(BM_JsonPrintout)->DenseRange(0, 2);
BENCHMARK(BM_JsonPrintoutDocument)->DenseRange(0, 2);
BENCHMARK(BM_JsonShortestDigitsOnly)->DenseRange(0, 2);
BENCHMARK(BM_JsonShortestDigitsByToChars)->DenseRange(0, 2);
BENCHMARK(BM_JsonLayoutOnly)->DenseRange(0, 2);

}  // namespace
