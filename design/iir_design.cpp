#include "design/iir_design.h"

#include <array>
#include <cmath>
#include <numbers>

#include "design/iir_prototype.h"
#include "design/order_formulas.h"
#include "design/root_finder.h"
#include "design/scheme_band.h"

namespace qv {
namespace {

// Coefficients indexed by power. The band transformation multiplies by quadratics and writes
// up to two places beyond the current degree, hence one place more than the coefficients.
using Polynomial = std::array<Complex, kMaxCoefficients + 1>;

// poly *= (x - root); `degree` grows by one.
void MultiplyLinear(Polynomial& poly, int& degree, Complex root) {
  for (int j = degree + 1; j >= 0; --j) {
    const Complex lower = j > 0 ? poly[j - 1] : Complex{};
    poly[j] = lower - root * poly[j];
  }
  ++degree;
}

// poly *= (x^2 - middle x + 1); `degree` grows by two.
void MultiplyQuadratic(Polynomial& poly, int& degree, Complex middle) {
  for (int j = degree + 2; j >= 0; --j) {
    const Complex lower2 = j > 1 ? poly[j - 2] : Complex{};
    const Complex lower1 = j > 0 ? poly[j - 1] : Complex{};
    poly[j] = lower2 - middle * lower1 + poly[j];
  }
  degree += 2;
}

// poly *= (alpha z - beta); `degree` grows by one.
void MultiplyBilinearFactor(Polynomial& poly, int& degree, Complex alpha, Complex beta) {
  for (int j = degree + 1; j >= 0; --j) {
    const Complex lower = j > 0 ? poly[j - 1] : Complex{};
    poly[j] = alpha * lower - beta * poly[j];
  }
  ++degree;
}

Polynomial One() {
  Polynomial poly{};
  poly[0] = {1.0, 0.0};
  return poly;
}

// Roots of the real parts of `poly` (degree `degree`), handed over highest power first.
int RootsOfRealParts(const Polynomial& poly, int degree, PoleArray& roots) {
  std::array<double, kMaxCoefficients + 1> coef{};
  for (int i = 0; i <= degree; ++i) coef[i] = poly[degree - i].re;
  return FindRoots(degree, std::span<const double>(coef.data(), degree + 1), roots, kRootTolerance);
}

// High pass: the reciprocals of the prototype poles, as the roots of x^n P(1/x).
int HighPassPoles(const PoleArray& prototype, int n, PoleArray& poles) {
  Polynomial poly = One();
  int degree = 0;
  for (int k = 0; k < n; ++k) MultiplyLinear(poly, degree, prototype[k]);
  std::array<double, kMaxCoefficients + 1> coef{};
  for (int j = 0; j <= n; ++j) coef[j] = poly[j].re;  // c_0 as the highest power: reversed
  return FindRoots(n, std::span<const double>(coef.data(), n + 1), poles, kRootTolerance);
}

// Band pass (or band stop with reciprocal prototype poles): roots of
// prod (x^2 - (p_k / Q) x + 1), 2n of them.
int BandPoles(const PoleArray& prototype, int n, double q, bool reciprocal, PoleArray& poles) {
  Polynomial poly = One();
  int degree = 0;
  for (int k = 0; k < n; ++k) {
    const Complex p = reciprocal ? Divide({1.0, 0.0}, prototype[k]) : prototype[k];
    MultiplyQuadratic(poly, degree, Divide(p, {q, 0.0}));
  }
  return RootsOfRealParts(poly, degree, poles);
}

// a[i] = Re(A_{m-i}) / Re(A_m) with A(z) = prod ((K - q_j) z - (K + q_j)).
void BilinearDenominator(const PoleArray& analog, int m, double k, FilterDesign& design) {
  Polynomial poly = One();
  int degree = 0;
  const Complex kk{k, 0.0};
  for (int j = 0; j < m; ++j) MultiplyBilinearFactor(poly, degree, kk - analog[j], kk + analog[j]);
  for (int i = 0; i <= m; ++i) design.denominator[i] = poly[m - i].re / poly[m].re;
}

// Zeros at z = -1 (low pass), z = +1 (high pass) or both (band pass), as binomial products
// in z^-1: n factors (1 + z^-1) for all but high pass, n factors (1 - z^-1) for all but low.
void PlacedNumerator(BandType band, int n, FilterDesign& design) {
  std::array<double, kMaxCoefficients> b{};
  b[0] = 1.0;
  int degree = 0;
  const auto multiply = [&](double sign) {
    for (int i = degree + 1; i >= 1; --i) b[i] = b[i] + sign * b[i - 1];
    ++degree;
  };
  if (band != BandType::HighPass) {
    for (int k = 0; k < n; ++k) multiply(1.0);
  }
  if (band != BandType::LowPass) {
    for (int k = 0; k < n; ++k) multiply(-1.0);
  }
  for (int i = 0; i <= degree; ++i) design.numerator[i] = b[i];
}

// Band stop: zeros on the unit circle at the notch, N(z) = prod ((K - i s_j) z - (K + i s_j))
// with s_j = -1, +1, -1, ...
void BandStopNumerator(int m, double k, FilterDesign& design) {
  Polynomial poly = One();
  int degree = 0;
  const Complex kk{k, 0.0};
  for (int j = 0; j < m; ++j) {
    const Complex is{0.0, j % 2 == 0 ? -1.0 : 1.0};
    MultiplyBilinearFactor(poly, degree, kk - is, kk + is);
  }
  for (int i = 0; i <= m; ++i) design.numerator[i] = poly[m - i].re / poly[m].re;
}

}  // namespace

double PrewarpHz(double fcutHz, double fsampleHz) {
  return (fsampleHz / std::numbers::pi) * std::tan(std::numbers::pi * fcutHz / fsampleHz);
}

double BandCentreHz(const FilterSpec& spec) {
  const auto fsample = static_cast<double>(spec.fsample);
  const double fa1 = PrewarpHz(spec.fcut1, fsample);
  const double fa2 = PrewarpHz(spec.fcut2, fsample);
  return std::pow(10.0, (std::log10(fa2) + std::log10(fa1)) * 0.5);
}

namespace {

// The ripple (dB) a Chebyshev design is made to: the ripple field, or, for quantised
// coefficients where minimum order has chosen the order, the order's share of the scheme's Rp
// (which the field then holds), leaving room for the rounding of the coefficients. A float
// design keeps the field's ripple: the whole order's room then goes to rounding the cut
// frequencies to whole hertz, which a share of it would sometimes not cover.
double DesignRipple(const FilterSpec& spec) {
  if (!(spec.scheme.active && spec.scheme.minimumOrder && spec.filterClass == FilterClass::Iir &&
        spec.quantization != Quantization::Float)) {
    return spec.ripple;
  }
  return SharedLimits(FilterModel::Chebyshev, spec.order, SchemeAnalogBand(spec, true).selectivity,
                      {spec.ripple, spec.scheme.attenuation})
      .rippleDb;
}

// The analog poles of the band-transformed prototype and the bilinear constant K = fs / (pi w)
// that maps them; writes spec.fcenter for the band types.
int AnalogPoles(FilterSpec& spec, PoleArray& analog, double& k) {
  const int n = spec.order;
  const auto fsample = static_cast<double>(spec.fsample);

  const double fa1 = PrewarpHz(spec.fcut1, fsample);
  double q = 0.0;
  if (IsBandType(spec.bandType)) {
    const double fa2 = PrewarpHz(spec.fcut2, fsample);
    spec.fcenter = BandCentreHz(spec);
    q = spec.fcenter / std::abs(fa2 - fa1);
  }

  PoleArray prototype{};
  switch (spec.model) {
    case FilterModel::Chebyshev:
      ChebyshevPrototype(n, DesignRipple(spec), prototype);
      break;
    case FilterModel::Bessel:
      BesselPrototype(n, prototype);
      break;
    default:
      ButterworthPrototype(n, prototype);
      break;
  }

  int result = 0;
  switch (spec.bandType) {
    case BandType::HighPass:
      result = HighPassPoles(prototype, n, analog);
      break;
    case BandType::BandPass:
      result = BandPoles(prototype, n, q, false, analog);
      break;
    case BandType::BandStop:
      result = BandPoles(prototype, n, q, true, analog);
      break;
    default:
      analog = prototype;
      break;
  }
  if (result != 0) return kRootsNotFound;

  const double w = IsBandType(spec.bandType) ? spec.fcenter : fa1;
  k = fsample / (std::numbers::pi * w);
  return 0;
}

}  // namespace

int DesignIir(FilterSpec& spec, FilterDesign& design) {
  const int m = spec.effectiveOrder;
  PoleArray analog{};
  double k = 0.0;
  if (AnalogPoles(spec, analog, k) != 0) return kRootsNotFound;
  BilinearDenominator(analog, m, k, design);
  if (spec.bandType == BandType::BandStop) {
    BandStopNumerator(m, k, design);
  } else {
    PlacedNumerator(spec.bandType, spec.order, design);
  }
  return 0;
}

int DesignIirPoles(FilterSpec& spec, std::span<Complex> poles) {
  const int m = spec.effectiveOrder;
  if (m < 0 || poles.size() < static_cast<std::size_t>(m)) return kRootsNotFound;
  PoleArray analog{};
  double k = 0.0;
  if (AnalogPoles(spec, analog, k) != 0) return kRootsNotFound;
  const Complex kk{k, 0.0};
  for (int j = 0; j < m; ++j) poles[j] = Divide(kk + analog[j], kk - analog[j]);
  return 0;
}

}  // namespace qv
