#include "analysis/zero_placement.h"

#include <algorithm>
#include <cmath>

namespace qv {

double BandCentreAngle(double fcenter, double fsample) {
  constexpr double kPi = 3.141592653589793;
  const double ratio = fcenter * kPi / fsample;
  if (ratio == 0.0) return 0.0;  // atan2(1, 1/0) would be atan2(1, inf)
  return 2.0 * std::atan2(1.0, 1.0 / ratio);
}

int PlaceIirZeros(const FilterSpec& spec, std::span<Complex> zeros) {
  const bool band = IsBandType(spec.bandType);
  const auto room = static_cast<int>(std::min<std::size_t>(zeros.size(), kMaxCoefficients));
  const int n = std::clamp(spec.order, 0, band ? room / 2 : room);

  Complex first{};
  Complex second{};
  switch (spec.bandType) {
    case BandType::HighPass:
      first = {1.0, 0.0};
      break;
    case BandType::BandPass:
      first = {-1.0, 0.0};
      second = {1.0, 0.0};
      break;
    case BandType::BandStop: {
      const double theta = BandCentreAngle(spec.fcenter, static_cast<double>(spec.fsample));
      first = {std::cos(theta), std::sin(theta)};
      second = Conjugate(first);
      break;
    }
    default:
      first = {-1.0, 0.0};
      break;
  }
  for (int i = 0; i < n; ++i) {
    zeros[i] = first;
    if (band) zeros[n + i] = second;
  }
  return 0;
}

}  // namespace qv
