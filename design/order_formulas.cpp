#include "design/order_formulas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "design/elliptic_functions.h"

namespace qv {
namespace {

// The most discrimination a minimum-order design shares, 30 dB on each side: margins far past
// any rounding. The rest of the order's gain stays in the transition band.
constexpr double kMaxSharedDb = 60.0;
constexpr double kDbPerNeper = 10.0 / std::numbers::ln10;  // of a power ratio

double PowerMinusOne(double db) { return std::expm1(0.1 * db * std::numbers::ln10); }

// ln cosh(x) for x >= 0, without overflow.
double LogCosh(double x) { return x + std::log1p(std::exp(-2.0 * x)) - std::numbers::ln2; }

}  // namespace

double ButterworthOrder(double selectivity, double rippleDb, double attenuationDb) {
  return std::log10(PowerMinusOne(attenuationDb) / PowerMinusOne(rippleDb)) /
         (2.0 * std::log10(selectivity));
}

double ChebyshevOrder(double selectivity, double rippleDb, double attenuationDb) {
  return std::acosh(std::sqrt(PowerMinusOne(attenuationDb) / PowerMinusOne(rippleDb))) /
         std::acosh(selectivity);
}

double EllipticOrder(double selectivity, double rippleDb, double attenuationDb) {
  const double m0 = 1.0 / (selectivity * selectivity);
  const double m1 = PowerMinusOne(rippleDb) / PowerMinusOne(attenuationDb);
  return EllipticK(m0) * EllipticKFromComplement(m1) /
         (EllipticKFromComplement(m0) * EllipticK(m1));
}

PrototypeLimits SharedLimits(FilterModel model, int n, double selectivity,
                             const PrototypeLimits& scheme) {
  const double passPower = PowerMinusOne(scheme.rippleDb);
  const double stopPower = PowerMinusOne(scheme.attenuationDb);
  // ln of the squared discrimination order n reaches.
  double reached = 0.0;
  switch (model) {
    case FilterModel::Butterworth:
      reached = 2.0 * n * std::log(selectivity);
      break;
    case FilterModel::Elliptic: {
      const double m = 1.0 / (selectivity * selectivity);
      reached =
          -std::log(EllipticDiscrimination(n, m, (selectivity - 1.0) * (selectivity + 1.0) * m));
      break;
    }
    default:
      reached = 2.0 * LogCosh(n * std::acosh(selectivity));
      break;
  }
  const double gain =
      std::min(reached - std::log(stopPower / passPower), kMaxSharedDb / kDbPerNeper);
  if (!(gain > 0.0)) return scheme;
  const double half = 0.5 * gain;
  return {kDbPerNeper * std::log1p(passPower * std::exp(-half)),
          kDbPerNeper * std::log1p(stopPower * std::exp(half))};
}

}  // namespace qv
