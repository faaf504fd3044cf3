// Drawing the graph page through the screen device context into the 1024 x 700 backing image,
// which the view does on every repaint after a calculation: the default design and the
// heaviest pages (an order-9 IIR Chebyshev band stop with 18 zeros and poles, a 511-tap FIR).
// Its own program: it needs a QGuiApplication, on the offscreen platform unless one is chosen.
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "engine/calculate.h"
#include "framework/screen_dc.h"
#include "view/graph_page.h"

namespace {

using qv::BandType;
using qv::FilterClass;
using qv::FilterModel;

qv::FilterSpec ChebyshevBandStop(FilterClass filterClass) {
  qv::FilterSpec spec;
  spec.filterClass = filterClass;
  spec.model = FilterModel::Chebyshev;
  spec.bandType = BandType::BandStop;
  spec.order = qv::kMaxBandOrder;
  spec.fcut1 = 300;
  spec.fcut2 = 700;
  spec.fsample = 2000;
  spec.taps = qv::kMaxTaps;
  spec.quantization = qv::Quantization::Signed16;
  return spec;
}

void DrawPage(benchmark::State& state, qv::FilterSpec spec) {
  const qv::Calculation calculation = qv::Calculate(spec);
  if (!calculation.Succeeded()) {
    state.SkipWithError(calculation.outcome.message.c_str());
    return;
  }
  QImage page(1024, 700, QImage::Format_RGB32);
  for (auto _ : state) {
    page.fill(Qt::white);
    qv::CScreenDC dc(page);
    qv::DrawGraphPage(dc, calculation.spec, calculation.scale, calculation.responses,
                      calculation.outcome.scheme, true);
    benchmark::DoNotOptimize(page.constBits());
  }
}

BENCHMARK_CAPTURE(DrawPage, Default, qv::FilterSpec{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawPage, IirChebyshevBandStop9x16, ChebyshevBandStop(FilterClass::Iir))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DrawPage, FirChebyshevBandStop9Taps511x16, ChebyshevBandStop(FilterClass::Fir))
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
