// The root search against the literal loop that evaluates p(x_a) again in every step: the
// degree-18 band-stop polynomial of the heaviest IIR design and the default quadratic.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "design/design_driver.h"
#include "design/display_scale.h"
#include "design/root_finder.h"
#include "design/validation.h"
#include "literal_loops.h"

namespace {

// The quantised denominator of the Chebyshev band stop of order 9 at 16 bits, and of the
// default design: the polynomials of their stability checks.
std::vector<double> Denominator(qv::FilterSpec spec) {
  qv::DisplayScale scale;
  qv::FilterDesign design;
  qv::PoleList poles{};
  if (qv::Validate(spec) != qv::ValidationCode::Valid) return {};
  qv::DeriveScale(spec, scale);
  static_cast<void>(qv::Design(spec, scale, design, poles));
  return {design.denominator.begin(), design.denominator.begin() + spec.effectiveOrder + 1};
}

qv::FilterSpec HeaviestBandStop() {
  qv::FilterSpec spec;
  spec.model = qv::FilterModel::Chebyshev;
  spec.bandType = qv::BandType::BandStop;
  spec.order = qv::kMaxBandOrder;
  spec.fcut1 = 300;
  spec.fcut2 = 700;
  spec.fsample = 2000;
  spec.quantization = qv::Quantization::Signed16;
  return spec;
}

template <typename Search>
void RunSearch(benchmark::State& state, const std::vector<double>& coef, Search search) {
  std::array<qv::Complex, qv::kMaxCoefficients + 1> roots{};
  const int degree = static_cast<int>(coef.size()) - 1;
  for (auto _ : state) {
    if (search(degree, coef, roots, qv::kRootTolerance) != 0) {
      state.SkipWithError("no roots");
      break;
    }
    benchmark::DoNotOptimize(roots);
  }
}

void BM_FindRootsBandStop18(benchmark::State& state) {
  RunSearch(state, Denominator(HeaviestBandStop()), qv::FindRoots);
}
void BM_FindRootsBandStop18Literal(benchmark::State& state) {
  RunSearch(state, Denominator(HeaviestBandStop()), qv::reference::LiteralFindRoots);
}
void BM_FindRootsDefaultQuadratic(benchmark::State& state) {
  RunSearch(state, Denominator(qv::FilterSpec{}), qv::FindRoots);
}
void BM_FindRootsDefaultQuadraticLiteral(benchmark::State& state) {
  RunSearch(state, Denominator(qv::FilterSpec{}), qv::reference::LiteralFindRoots);
}
BENCHMARK(BM_FindRootsBandStop18);
BENCHMARK(BM_FindRootsBandStop18Literal);
BENCHMARK(BM_FindRootsDefaultQuadratic);
BENCHMARK(BM_FindRootsDefaultQuadraticLiteral);

}  // namespace
