#include "design/cauer_design.h"

#include <array>
#include <complex>
#include <numbers>

#include "design/cauer_prototype.h"
#include "design/order_formulas.h"
#include "design/scheme_band.h"

namespace qv {
namespace {

using Root = std::complex<double>;

// Analog roots of the transformed prototype: a low- or high-pass root stays one root, a band
// root becomes two.
struct AnalogRoots {
  std::array<Root, kMaxCoefficients> values{};
  int count = 0;
  void Add(Root r) { values[count++] = r; }
};

void Transform(const AnalogBand& band, BandType type, Root r, AnalogRoots& out) {
  const double halfWidth = 0.5 * band.width;
  const double centre2 = band.centre * band.centre;
  switch (type) {
    case BandType::HighPass:
      out.Add(band.pass1 / r);
      break;
    case BandType::BandPass: {
      const Root scaled = r * halfWidth;
      const Root root = std::sqrt(scaled * scaled - centre2);
      out.Add(scaled + root);
      out.Add(scaled - root);
      break;
    }
    case BandType::BandStop: {
      const Root scaled = halfWidth / r;
      const Root root = std::sqrt(scaled * scaled - centre2);
      out.Add(scaled + root);
      out.Add(scaled - root);
      break;
    }
    default:
      out.Add(r * band.pass1);
      break;
  }
}

// The zeros that the prototype has at infinity, once transformed: at infinity (low pass), at
// 0 (high pass), half at each (band pass), at +-j centre (band stop).
void AddZerosAtInfinity(const AnalogBand& band, BandType type, int count, AnalogRoots& out,
                        int& atInfinity) {
  for (int i = 0; i < count; ++i) {
    switch (type) {
      case BandType::HighPass:
        out.Add(0.0);
        break;
      case BandType::BandPass:
        out.Add(0.0);
        ++atInfinity;
        break;
      case BandType::BandStop:
        out.Add(Root(0.0, band.centre));
        out.Add(Root(0.0, -band.centre));
        break;
      default:
        ++atInfinity;
        break;
    }
  }
}

Complex Bilinear(Root s, double twoFs) {
  const Root z = (twoFs + s) / (twoFs - s);
  return {z.real(), z.imag()};
}

// Real parts of prod (1 - r z^-1), the coefficients of z^-k.
void Polynomial(std::span<const Complex> roots, std::array<double, kMaxCoefficients>& out) {
  std::array<Root, kMaxCoefficients> poly{};
  poly[0] = 1.0;
  int degree = 0;
  for (const Complex& c : roots) {
    const Root r(c.re, c.im);
    for (int j = degree + 1; j >= 1; --j) poly[j] -= r * poly[j - 1];
    ++degree;
  }
  for (int j = 0; j <= degree; ++j) out[j] = poly[j].real();
}

}  // namespace

void DesignCauerZerosPoles(FilterSpec& spec, std::span<Complex> zeros, std::span<Complex> poles) {
  const bool minimumOrder = spec.scheme.minimumOrder;
  const AnalogBand band = SchemeAnalogBand(spec, minimumOrder);
  PrototypeLimits limits{spec.ripple, spec.scheme.attenuation};
  // Only the IIR class chooses its order; the FIR class samples the design of the order entered.
  if (minimumOrder && spec.filterClass == FilterClass::Iir) {
    limits = SharedLimits(spec.model, spec.order, band.selectivity, limits);
  }
  ZeroPolePrototype proto;
  if (spec.model == FilterModel::Elliptic) {
    EllipticPrototype(spec.order, limits.rippleDb, limits.attenuationDb, proto);
  } else {
    ChebyshevIIPrototype(spec.order, limits.rippleDb, limits.attenuationDb, proto);
  }
  const double twoFs = 2.0 * spec.fsample;
  if (IsBandType(spec.bandType)) {
    spec.fcenter = band.centre / (2.0 * std::numbers::pi);
  }

  AnalogRoots analogZeros;
  int atInfinity = 0;
  for (int i = 0; i < proto.zeroCount; ++i) {
    Transform(band, spec.bandType, {proto.zeros[i].re, proto.zeros[i].im}, analogZeros);
  }
  AddZerosAtInfinity(band, spec.bandType, proto.poleCount - proto.zeroCount, analogZeros,
                     atInfinity);
  int z = 0;
  for (int i = 0; i < analogZeros.count; ++i) zeros[z++] = Bilinear(analogZeros.values[i], twoFs);
  for (int i = 0; i < atInfinity; ++i) zeros[z++] = {-1.0, 0.0};

  AnalogRoots analogPoles;
  for (int i = 0; i < proto.poleCount; ++i) {
    Transform(band, spec.bandType, {proto.poles[i].re, proto.poles[i].im}, analogPoles);
  }
  for (int i = 0; i < analogPoles.count; ++i) poles[i] = Bilinear(analogPoles.values[i], twoFs);
}

void DesignCauer(FilterSpec& spec, FilterDesign& design) {
  const int m = spec.effectiveOrder;
  std::array<Complex, kMaxCoefficients> zeros{};
  std::array<Complex, kMaxCoefficients> poles{};
  DesignCauerZerosPoles(spec, zeros, poles);
  Polynomial(std::span<const Complex>(zeros).first(m), design.numerator);
  Polynomial(std::span<const Complex>(poles).first(m), design.denominator);
}

}  // namespace qv
