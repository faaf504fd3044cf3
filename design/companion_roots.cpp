#include "design/companion_roots.h"

#include <Eigen/Eigenvalues>
#include <array>
#include <cmath>

#include "records/filter_spec.h"

namespace qv {
namespace {

constexpr int kNotFound = -2;
constexpr int kPolishSteps = 3;
// Balancing scales rows and columns by powers of this radix, which is exact in binary.
constexpr double kRadix = 2.0;
constexpr double kBalanceSatisfied = 0.95;
constexpr int kMaxBalanceSweeps = 100;

// At most 19 x 19: the matrices live on the stack.
using Matrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, kMaxOrder, kMaxOrder>;
using Roots = std::array<Complex, kMaxCoefficients>;

// The companion matrix of the monic polynomial x^n + c[1] x^(n-1) + ... + c[n].
Matrix Companion(std::span<const double> coef, int n) {
  Matrix m = Matrix::Zero(n, n);
  for (int j = 0; j < n; ++j) m(0, j) = -coef[j + 1] / coef[0];
  for (int i = 1; i < n; ++i) m(i, i - 1) = 1.0;
  return m;
}

// Parlett-Reinsch balancing: a similarity by powers of two that evens out the row and column
// norms, so that coefficients of very different sizes do not spoil the eigenvalues.
void Balance(Matrix& m) {
  const auto n = m.rows();
  for (int sweep = 0; sweep < kMaxBalanceSweeps; ++sweep) {
    bool converged = true;
    for (Eigen::Index i = 0; i < n; ++i) {
      const double c = m.col(i).cwiseAbs().sum() - std::abs(m(i, i));
      const double r = m.row(i).cwiseAbs().sum() - std::abs(m(i, i));
      if (c == 0.0 || r == 0.0) continue;
      double f = 1.0;
      double g = r / kRadix;
      double cs = c;
      const double s = c + r;
      while (cs < g) {
        f *= kRadix;
        cs *= kRadix * kRadix;
      }
      g = r * kRadix;
      while (cs >= g) {
        f /= kRadix;
        cs /= kRadix * kRadix;
      }
      if ((cs + r / (f * f)) / f < kBalanceSatisfied * s) {
        converged = false;
        m.row(i) /= f;
        m.col(i) *= f;
      }
    }
    if (converged) return;
  }
}

struct Value {
  Complex p;
  Complex derivative;
};

// p(z) and p'(z) by Horner's rule, coef highest power first.
Value Evaluate(std::span<const double> coef, int degree, Complex z) {
  Complex p{coef[0], 0.0};
  Complex d{};
  for (int k = 1; k <= degree; ++k) {
    d = d * z + p;
    p = p * z + Complex{coef[k], 0.0};
  }
  return {p, d};
}

// Newton steps on the polynomial itself, each kept only when it lowers |p|.
Complex Polish(std::span<const double> coef, int degree, Complex z) {
  Value v = Evaluate(coef, degree, z);
  for (int step = 0; step < kPolishSteps && !(v.derivative == Complex{}); ++step) {
    const Complex next = z - v.p / v.derivative;
    const Value w = Evaluate(coef, degree, next);
    if (!(Magnitude(w.p) < Magnitude(v.p))) break;
    z = next;
    v = w;
  }
  return z;
}

// Real coefficients give real roots and conjugate pairs. Each root is paired with the nearest
// unused root to its mirror image when that lies nearer than the root's own distance from the
// real axis, and both become the exact conjugates of their mean; a root without a partner is
// real.
void PairConjugates(const Roots& z, int degree, std::span<Complex> out) {
  std::array<bool, kMaxCoefficients> used{};
  int placed = 0;
  for (int i = 0; i < degree; ++i) {
    if (used[i]) continue;
    used[i] = true;
    int partner = -1;
    double nearest = std::abs(z[i].im);
    for (int j = 0; j < degree; ++j) {
      if (used[j]) continue;
      const double distance = Magnitude(z[j] - Conjugate(z[i]));
      if (distance < nearest) {
        nearest = distance;
        partner = j;
      }
    }
    if (partner < 0) {
      out[placed++] = {z[i].re, 0.0};
      continue;
    }
    used[partner] = true;
    const Complex upper = z[i].im >= 0.0 ? z[i] : z[partner];
    const Complex lower = z[i].im >= 0.0 ? z[partner] : z[i];
    const Complex mean{(upper.re + lower.re) * 0.5, (upper.im - lower.im) * 0.5};
    out[placed++] = mean;
    out[placed++] = Conjugate(mean);
  }
}

}  // namespace

int FindRootsCompanion(int degree, std::span<const double> coef, std::span<Complex> roots,
                       std::span<Complex> polished) {
  if (degree < 1 || degree > kMaxOrder || coef.size() < static_cast<std::size_t>(degree) + 1 ||
      roots.size() < static_cast<std::size_t>(degree) ||
      polished.size() < static_cast<std::size_t>(degree)) {
    return kNotFound;
  }
  for (int k = 0; k <= degree; ++k) {
    if (!std::isfinite(coef[k])) return kNotFound;
  }
  if (coef[0] == 0.0) return kNotFound;

  // Roots at 0 are exact: they are the vanishing constant terms.
  int rest = degree;
  while (rest > 0 && coef[rest] == 0.0) --rest;
  Roots found{};
  Roots refined{};
  if (rest > 0) {
    Matrix m = Companion(coef, rest);
    Balance(m);
    const Eigen::EigenSolver<Matrix> solver(m, false);
    if (solver.info() != Eigen::Success) return kNotFound;
    for (int i = 0; i < rest; ++i) {
      const std::complex<double> value = solver.eigenvalues()[i];
      found[i] = {value.real(), value.imag()};
      refined[i] = Polish(coef.first(static_cast<std::size_t>(rest) + 1), rest, found[i]);
    }
  }
  PairConjugates(found, rest, roots);
  PairConjugates(refined, rest, polished);
  for (int i = rest; i < degree; ++i) roots[i] = polished[i] = Complex{};
  return 0;
}

}  // namespace qv
