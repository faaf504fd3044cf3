#include "design/kaiser_design.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "design/scheme_band.h"

namespace qv {
namespace {

constexpr double kPi = std::numbers::pi;

// sin(pi x) / (pi x).
double Sinc(double x) { return x == 0.0 ? 1.0 : std::sin(kPi * x) / (kPi * x); }

}  // namespace

KaiserParameters KaiserEstimate(double attenuationDb, double width) {
  const double a = attenuationDb;
  KaiserParameters out;
  if (a > 50.0) {
    out.beta = 0.1102 * (a - 8.7);
  } else if (a > 21.0) {
    out.beta = 0.5842 * std::pow(a - 21.0, 0.4) + 0.07886 * (a - 21.0);
  }
  const double taps = std::ceil((a - 7.95) / 2.285 / (kPi * 2.0 * width) + 1.0);
  // Above the largest tap count the estimate only tells how far the scheme is beyond reach.
  out.taps = taps < 1.0 ? 1 : static_cast<int>(std::min(taps, 1e9));
  return out;
}

double KaiserAttenuation(const FilterSpec& spec) {
  const FirBands bands = SchemeFirBands(spec);
  return std::max(spec.scheme.attenuation, -20.0 * std::log10(bands.deltaPass));
}

void DesignKaiser(const FilterSpec& spec, FilterDesign& design) {
  const FirBands bands = SchemeFirBands(spec);
  const double beta = KaiserEstimate(KaiserAttenuation(spec), bands.narrowestTransition).beta;
  const int n = std::clamp(spec.taps, 1, kMaxTaps);
  const double middle = 0.5 * (n - 1);
  const double i0Beta = std::cyl_bessel_i(0.0, beta);
  for (int k = 0; k < n; ++k) {
    const double t = k - middle;
    double ideal = 0.0;
    // Each pass band [l, h] adds 2h sinc(2h t) - 2l sinc(2l t), its edges moved to the middle
    // of the transitions next to them.
    for (int b = 0; b < bands.count; ++b) {
      if (bands.bands[b].desired == 0.0) continue;
      const double low = b == 0 ? 0.0 : 0.5 * (bands.bands[b - 1].high + bands.bands[b].low);
      const double high =
          b == bands.count - 1 ? 0.5 : 0.5 * (bands.bands[b].high + bands.bands[b + 1].low);
      ideal += 2.0 * high * Sinc(2.0 * high * t) - 2.0 * low * Sinc(2.0 * low * t);
    }
    const double ratio = n == 1 ? 0.0 : 2.0 * k / (n - 1) - 1.0;
    const double window =
        std::cyl_bessel_i(0.0, beta * std::sqrt(std::max(0.0, 1.0 - ratio * ratio)));
    design.firTaps[k] = ideal * window / i0Beta;
  }
}

}  // namespace qv
