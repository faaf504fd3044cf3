#include "design/root_finder.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "design/companion_roots.h"
#include "records/filter_spec.h"

namespace qv {
namespace {

constexpr int kMaxIterations = 1000;
constexpr double kSecantDamping = 0.1;
// Both searches start from the same two points for every root.
constexpr Complex kStartA{0.707, 0.5};
constexpr Complex kStartB{-0.5, -0.707};
// Above this |im/re| a root counts as complex and its conjugate is taken as the next root.
constexpr double kComplexRatio = 0.001;

using WorkingPolynomial = std::array<Complex, kMaxCoefficients + 1>;

// p(x) = sum C[k] x^k for k = 0..degree, powers by repeated multiplication.
Complex Evaluate(const WorkingPolynomial& c, int degree, Complex x) {
  constexpr Complex kOne{1.0, 0.0};
  Complex sum = Complex{} + c[0] * kOne;
  // The first power is 1 * x: (1 x.re - 0 x.im, 1 x.im + 0 x.re). For finite parts that are
  // not zero that is x itself to the bit (only a zero part could turn from -0 to +0), and
  // taking it as such starts the chain of multiplications one step earlier.
  const bool plain = x.re != 0.0 && x.im != 0.0 && std::isfinite(x.re) && std::isfinite(x.im);
  Complex power = plain ? x : kOne * x;
  for (int k = 1; k <= degree; ++k) {
    sum = sum + c[k] * power;
    power = power * x;
  }
  return sum;
}

// Synthetic division by (x - root); the remainder is dropped.
void Deflate(WorkingPolynomial& c, int& degree, Complex root) {
  if (degree < 1) return;
  WorkingPolynomial quotient{};
  for (int k = degree; k >= 1; --k) {
    quotient[k - 1] = c[k];
    c[k - 1] = c[k - 1] + root * c[k];
  }
  c = quotient;
  --degree;
}

// Magnitude(f) <= tol. Magnitude(f) is at least the larger of |re| and |im| (its square-root
// factor is at least 1), so a larger component already decides, and the magnitude's
// data-dependent branches are met only near a root.
bool WithinTolerance(Complex f, double tol) {
  if (std::abs(f.re) > tol || std::abs(f.im) > tol) return false;
  return Magnitude(f) <= tol;
}

// One damped secant search from the fixed start points. Returns false when no point is
// accepted within the iteration limit.
bool SearchRoot(const WorkingPolynomial& c, int degree, double tol, Complex& root) {
  Complex xa = kStartA;
  Complex xb = kStartB;
  // Each step moves x_b into x_a, so p(x_a) is the p(x_b) just computed, to the bit: it is
  // carried over, and every step evaluates the polynomial once.
  Complex fa = Evaluate(c, degree, xa);
  for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
    const Complex fb = Evaluate(c, degree, xb);
    const Complex r = Divide(fb * (xb - xa), fb - fa);
    const Complex next = xb - kSecantDamping * r;
    // The acceptance test judges the point the step started from, yet the root is the point
    // after the step.
    if (WithinTolerance(fb, tol)) {
      root = next;
      return true;
    }
    xa = xb;
    xb = next;
    fa = fb;
  }
  return false;
}

// The damped secant search with deflation into `roots` (degree + 1 places).
int SecantRoots(int degree, std::span<const double> coef, std::span<Complex> roots, double tol) {
  WorkingPolynomial c{};
  for (int k = 0; k <= degree; ++k) c[k] = {coef[degree - k], 0.0};

  int current = degree;
  int found = 0;
  while (found < degree) {
    Complex root{};
    if (!SearchRoot(c, current, tol, root)) return kRootsNotFound;
    roots[found++] = root;
    Deflate(c, current, root);
    if (std::abs(root.im / root.re) > kComplexRatio) {
      const Complex conjugate = Conjugate(root);
      roots[found++] = conjugate;
      Deflate(c, current, conjugate);
    }
  }
  return 0;
}

}  // namespace

bool RootsRebuildPolynomial(int degree, std::span<const double> coef,
                            std::span<const Complex> roots) {
  if (degree < 1 || degree > kMaxOrder || coef.size() < static_cast<std::size_t>(degree) + 1 ||
      roots.size() < static_cast<std::size_t>(degree) || !(coef[0] != 0.0) ||
      !std::isfinite(coef[0])) {
    return false;
  }
  // prod (x - r_i), highest power first, against the coefficients made monic.
  WorkingPolynomial rebuilt{};
  rebuilt[0] = {1.0, 0.0};
  for (int i = 0; i < degree; ++i) {
    for (int k = i + 1; k >= 1; --k) rebuilt[k] = rebuilt[k] - roots[i] * rebuilt[k - 1];
  }
  double largest = 0.0;
  for (int k = 0; k <= degree; ++k) largest = std::max(largest, std::abs(coef[k] / coef[0]));
  for (int k = 0; k <= degree; ++k) {
    const double deviation = Magnitude(rebuilt[k] - Complex{coef[k] / coef[0], 0.0});
    if (!(deviation <= kRebuildTolerance * largest)) return false;
  }
  return true;
}

int FindRootsRobust(int degree, std::span<const double> coef, std::span<Complex> roots) {
  std::array<Complex, kMaxCoefficients> eigenvalues{};
  std::array<Complex, kMaxCoefficients> polished{};
  if (roots.size() < static_cast<std::size_t>(degree) ||
      FindRootsCompanion(degree, coef, eigenvalues, polished) != 0) {
    return kRootsNotFound;
  }
  // Newton's steps sharpen separate roots; within a tight cluster they may spoil what the
  // eigenvalues hold together, and then the eigenvalues stand.
  const auto& chosen = RootsRebuildPolynomial(degree, coef, polished) ? polished : eigenvalues;
  if (!RootsRebuildPolynomial(degree, coef, chosen)) return kRootsNotFound;
  std::copy_n(chosen.begin(), degree, roots.begin());
  return 0;
}

int FindRoots(int degree, std::span<const double> coef, std::span<Complex> roots, double tol) {
  if (degree < 1 || degree > kMaxOrder || coef.size() < static_cast<std::size_t>(degree) + 1 ||
      roots.size() < static_cast<std::size_t>(degree) + 1) {
    return kRootsNotFound;
  }
  // The secant search keeps its roots wherever they are the polynomial's; where it fails, or
  // takes a real root for complex and deflates a conjugate that is no root, the robust method
  // answers instead.
  std::array<Complex, kMaxCoefficients + 1> found{};
  std::copy_n(roots.begin(), degree + 1, found.begin());
  if (SecantRoots(degree, coef, found, tol) == 0 && RootsRebuildPolynomial(degree, coef, found)) {
    std::copy_n(found.begin(), degree + 1, roots.begin());
    return 0;
  }
  return FindRootsRobust(degree, coef, roots);
}

}  // namespace qv
